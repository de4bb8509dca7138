#pragma once

#include <vector>

#include <QImage>
#include <QMainWindow>

#include "IUserDialogs.h"
#include "MapGrid.h"
#include "SectorInfo.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class TFindBar;
class TImageControl;
class TKelvProgram;
class TLegend;
class TSectorPanel;
class TUniverse;

// The main window "Kelv Map": the map in a scroll box and the menu.
//
// Menu bar: "Файл" (Настройки Ctrl+O, Сохранить (JPEG), Сохранить как ...,
// Экспорт в PDF..., Выход Alt+X), "Вид" (zoom, find, legend), "Debug" (Load
// All; shown only in debug mode) and "О программе...". The "DBs" menu with
// the per-table create and load commands, "Fit Image" and "DrawMap" exist
// but are never shown.
//
// Viewing: the map is shown zoomed from 10 % to 400 % (Ctrl+wheel around the
// pointer, the "Вид" items), dragged with the left button to pan; the zoom
// never changes the picture, what the saves write or the map height. A
// hovered cell tells its sector's name; a clicked one fills the sector panel
// and is outlined; the find bar outlines the sectors whose names hold a text.
// Cells are those of the last completed drawing.
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

    // The "Вид" menu and what it opens.
    QMenu* miView;
    QAction* miZoomIn;
    QAction* miZoomOut;
    QAction* miZoomActual;
    QAction* miZoomFit;
    QAction* miFind;
    QAction* miFindNext;
    QAction* miFindPrevious;
    QAction* miLegend;
    TSectorPanel* SectorPanel;
    TFindBar* FindBar;
    TLegend* Legend;
    QLabel* ZoomLabel;

    // Zoom steps of the menu and the wheel, in percent.
    static constexpr int kZoomSteps[] = {10, 15, 20, 25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};
    static constexpr int kQuickSaveNoteMs = 6000;

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

    double Zoom() const;
    // Sets the zoom (held to 10 %..400 %) keeping the map point under
    // `anchor` (a point of the scroll box's viewport) where it is.
    void SetZoom(double zoom, const QPoint& anchor);
    void SetZoom(double zoom);   // around the middle of the view
    void ZoomIn();
    void ZoomOut();
    // The zoom at which the whole map, 2300 x map height, fits the view.
    double FitZoom() const;

    // The cells of the last completed drawing.
    const TMapGrid& Grid() const noexcept { return grid_; }
    // A click on the map at a point of Map: the sector there fills the sector
    // panel and is outlined; outside every cell both are cleared.
    void ClickMap(const QPoint& mapPoint);
    // The name of the sector whose cell holds a point of Map; empty outside.
    QString NameAt(const QPoint& mapPoint) const;

    // Find: sectors whose name holds `text` (case ignored), in grid order.
    void SetFindText(const QString& text);
    void FindNext();
    void FindPrevious();
    // The cell of the current match; invalid when there is none.
    TMapGrid::Cell FoundCell() const;

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tables the window's commands work on.
    TUniverse& Universe() const;
    void BuildMenu();
    void BuildViewMenu();
    void BuildViewing();
    void PlaceOnScreen();
    void ShowZoom();
    // The next zoom step above (direction > 0) or below the current zoom.
    double SteppedZoom(int direction) const;
    // Outlines a cell (invalid: none) and, with `describe`, fills the panel.
    void Select(TMapGrid::Cell cell, bool describe);
    void ShowMatch();
    void ScrollTo(const QRect& pictureRect);
    // A menu item whose click runs `handler` through the command handler.
    QAction* AddItem(QMenu* menu, const QString& caption, const char* name, void (TKelv::*handler)());
    QAction* AddSeparator(QMenu* menu, const char* name);
    void Run(void (TKelv::*handler)());

    TKelvProgram& program_;
    // Height of the map of the last completed drawing; 0 before the first.
    int savedHeight_ = 0;
    TMapGrid grid_;
    std::vector<TNamedCell> cells_;
    TMapGrid::Cell selected_;
    QString findText_;
    std::vector<int> matches_;
    int match_ = -1;
    // Panning: where the left button went down, and the scroll position then.
    bool pressed_ = false;
    bool dragging_ = false;
    QPoint pressAt_;
    QPoint scrollAtPress_;
    int wheelAngle_ = 0;
};
