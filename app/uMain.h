#pragma once

#include <QImage>
#include <QMainWindow>

#include "IUserDialogs.h"

class QAction;
class QMenu;
class QMenuBar;
class QScrollArea;
class TImageControl;
class TKelvProgram;
class TUniverse;

// The main window "Kelv Map": the map in a scroll box and the menu.
//
// Menu bar: "Файл" (Настройки Ctrl+O, Сохранить (JPEG), Сохранить как ...,
// Экспорт в PDF..., Выход Alt+X), "Debug" (Load All; shown only in debug mode) and
// "О программе...". The "DBs" menu with the per-table create and load
// commands, "Fit Image" and "DrawMap" exist but are never shown.
//
// Every command runs through RunCommand: an error ends the command, its text
// goes to the error box, and the window goes on with the state reached.
//
// Saving: both save commands write the picture of the last drawing that
// completed, cut to that drawing's map height. While no drawing has
// completed (the first one failed, e.g. on missing table files) there is no
// map to save: they say so in a message and write nothing, and "Сохранить
// как ..." does not open its dialog.
class TKelv : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kNothingToSave = "Карта ещё не нарисована: сохранять нечего.";
    static constexpr const char* kQuickSaveFile = "kelvmap.jpg";

    // Builds the window and runs FormCreate (tables opened, map drawn).
    explicit TKelv(TKelvProgram& program);

    // Members, named as the window's controls.
    QScrollArea* ScrollBox1;
    TImageControl* Map;
    QMenuBar* MainMenu1;
    QMenu* miFile;
    QMenu* miDebug;
    QAction* miExit;
    QAction* miCreateSectorsDB;
    QAction* miLoadSectorsDB;
    QAction* N1;
    QAction* miSaveMap;
    QAction* N2;
    QAction* miCreateResourceDB;
    QAction* miLoadResourceDB;
    QAction* miLoadAll;
    QAction* N3;
    QAction* miCreateFabsDB;
    QAction* miLoadFabsDB;
    QAction* N4;
    QAction* miCreateSectorsFabsDB;
    QAction* LoadSectorsFabsDB;
    QMenu* miDBs;
    QAction* CreateFabsResourcesDB;
    QAction* miLoadFabsResourcesDB;
    QAction* miDrawMap;
    QAction* N5;
    QAction* miOptions;
    QAction* N6;
    QAction* N7;
    QAction* miSaveMapAs;
    QAction* miExportPdf;
    TSaveDialog SaveDialog1;
    QAction* miAbout;
    QAction* miFitImage;

    // Caption from the renderer's mode: "Kelv Map - Полная", "Kelv Map -
    // Продукт <name>", "Kelv Map - Ресурс <name>"; unchanged for other modes.
    void SetTitle();
    // Paints the whole map and shows it; then SetTitle. A failing painting
    // raises and leaves the shown map and the caption as they were.
    void DrawMap();

    // True once a drawing has completed, i.e. there is a map to save.
    bool HasMap() const;
    // The picture the save commands write: the map of the last completed
    // drawing, the full width by that drawing's map height. Null before.
    QImage SavedMap() const;

    // Handlers. Each raises its errors; the menu runs them through RunCommand.
    void FormCreate();
    void FormClose();
    void miOptionsClick();
    void miFitImageClick();
    void miSaveMapClick();
    void miSaveMapAsClick();
    // The last completed drawing as a PDF page with its text as text, to a
    // file chosen in a save dialog of its own.
    void miExportPdfClick();
    void miExitClick();
    void miDrawMapClick();
    void miLoadAllClick();
    void miAboutClick();
    void miCreateSectorsDBClick();
    void miLoadSectorsDBClick();
    void miCreateResourceDBClick();
    void miLoadResourceDBClick();
    void miCreateFabsDBClick();
    void miLoadFabsDBClick();
    void miCreateSectorsFabsDBClick();
    void LoadSectorsFabsDBClick();
    void CreateFabsResourcesDBClick();
    void miLoadFabsResourcesDBClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The tables the window's commands work on.
    TUniverse& Universe() const;
    void BuildMenu();
    // A menu item whose click runs `handler` through the command handler.
    QAction* AddItem(QMenu* menu, const QString& caption, const char* name, void (TKelv::*handler)());
    QAction* AddSeparator(QMenu* menu, const char* name);
    void Run(void (TKelv::*handler)());

    TKelvProgram& program_;
    // Height of the map of the last completed drawing; 0 before the first.
    int savedHeight_ = 0;
};
