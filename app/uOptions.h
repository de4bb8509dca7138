#pragma once

#include <QDialog>

class IUserDialogs;
class QCheckBox;
class QComboBox;
class QPushButton;
class TGSector;
class TRadioGroup;
class TResources;

// The options dialog "Options": the map mode, the product or resource name
// for the two counting modes, and whether docks and trading stations count.
//
// Opened modally from the main window. Every opening (FormActivate, run from
// showEvent) selects the mode from the renderer and rebuilds the name list
// from the Resources table, sorted alphabetically, selecting the position
// accepted last. OK writes the mode and the name into the renderer; Cancel,
// Esc and the close box write nothing. The station check box is never copied:
// the map reads it through StationsCounted() while drawing, so a change to it
// stays in effect even when the dialog is cancelled.
//
// The first opening starts with the focus on OK, so Enter accepts; Enter on
// whichever button has the focus presses it, elsewhere it presses the
// default button Cancel, and Esc cancels.
class TfrmOptions : public QDialog {
    Q_OBJECT
public:
    // The renderer, the table and the dialogs must outlive the form. Errors
    // while filling the list go to the error box of `dialogs`.
    TfrmOptions(TGSector& sector, TResources& resources, IUserDialogs& dialogs, QWidget* parent = nullptr);

    // Members, named as the form's controls.
    QPushButton* btOK;
    QPushButton* btCancel;
    TRadioGroup* rgType;
    QComboBox* cbResource;
    QCheckBox* cbStation;

    // Position in the sorted list of the name selected at the last OK; -1
    // when none was selected then. 0 when the dialog is created.
    int SelectedResourceIndex = 0;

    // Whether docks and trading stations count in the resource mode: the
    // state of cbStation, ticked at creation.
    bool StationsCounted() const;

    void FormCreate();
    // Selects the radio item of the renderer's mode, refills the list and
    // selects SelectedResourceIndex. Raises the table engine's errors; the
    // list keeps the names read until then.
    void FormActivate();
    // Shows the list unless "Полная" is selected; puts it level with the
    // selected counting mode (top 72 or 104).
    void rgTypeClick();
    // Stores the name, its position and the mode, and closes with OK.
    void btOKClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Inserts a Windows-1251 name at its alphabetical position.
    void AddSorted(const std::string& name);

    TGSector& sector_;
    TResources& resources_;
    IUserDialogs& dialogs_;
};
