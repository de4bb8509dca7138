#include "uMain.h"

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>

#include "CommandGuard.h"
#include "FindBar.h"
#include "QtText.h"
#include "FormFont.h"
#include "ImageControl.h"
#include "ImageWriters.h"
#include "KelvProgram.h"
#include "Legend.h"
#include "SectorPanel.h"
#include "uAbout.h"
#include "Universe.h"
#include "uKelvRef.h"
#include "uMapLayout.h"
#include "uOptions.h"

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The top `height` rows of a picture, the whole width; rows below the
// picture come out white.
QImage TopRows(const QImage& picture, int height) {
    if (picture.isNull() || height <= 0) return {};
    if (height <= picture.height()) return picture.copy(0, 0, picture.width(), height);
    QImage extended(picture.width(), height, QImage::Format_RGB32);
    extended.fill(Qt::white);
    QPainter painter(&extended);
    painter.drawImage(0, 0, picture);
    return extended;
}

// Create command of one table: "Create now?"; Yes makes a new empty table
// file. Either way the table is then opened on that file, which only matters
// for a table that was closed.
template <class Table>
void CreateTable(IUserDialogs& dialogs, QWidget* parent, Table& table) {
    const std::string path = DataDir() + Table::kTableFile;
    if (dialogs.Confirm(parent, QStringLiteral("Create now?"))) table.CreateDB(path);
    table.Open(path);
}

// Load command of one table: only Yes imports the text export; the record
// count is reported, the map is not redrawn.
template <class Table>
void LoadTable(IUserDialogs& dialogs, QWidget* parent, Table& table, const char* question) {
    if (!dialogs.Confirm(parent, QString::fromUtf8(question))) return;
    table.LoadFromText(DataDir() + Table::kTextFile);
    dialogs.Message(parent, QStringLiteral("Загружено: %1 строк.").arg(table.RecordCount()));
}

}  // namespace

TKelv::TKelv(TKelvProgram& program) : program_(program) {
    setObjectName(QStringLiteral("Kelv"));
    setWindowTitle(QStringLiteral("Kelv Map"));
    setFont(FormFont());

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Map = new TImageControl;
    Map->setObjectName(QStringLiteral("Map"));
    Map->SetPictureArea(QSize(4000, 300));
    ScrollBox1->setWidget(Map);
    setCentralWidget(ScrollBox1);
    BuildViewing();
    PlaceOnScreen();

    SaveDialog1.Filters = {QStringLiteral("JPEG files (*.jpg)"), QStringLiteral("BMP files (*.bmp)")};
    SaveDialog1.FilterIndex = 1;
    SaveDialog1.DefaultExt = QStringLiteral("bmp");
    SaveDialog1.OverwritePrompt = true;

    BuildMenu();
    RunCommand(program_.Dialogs, this, [this] { FormCreate(); });
}

QAction* TKelv::AddItem(QMenu* menu, const QString& caption, const char* name, void (TKelv::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    connect(item, &QAction::triggered, this, [this, handler] { Run(handler); });
    return item;
}

QAction* TKelv::AddSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

void TKelv::Run(void (TKelv::*handler)()) {
    RunCommand(program_.Dialogs, this, [this, handler] { (this->*handler)(); });
}

void TKelv::BuildMenu() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    miFile = MainMenu1->addMenu(QStringLiteral("Файл"));
    miFile->setObjectName(QStringLiteral("miFile"));
    miOptions = AddItem(miFile, QStringLiteral("Настройки"), "miOptions", &TKelv::miOptionsClick);
    miOptions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    miFitImage = AddItem(miFile, QStringLiteral("Fit Image"), "miFitImage", &TKelv::miFitImageClick);
    miFitImage->setCheckable(true);
    miFitImage->setChecked(false);
    miFitImage->setVisible(false);
    N7 = AddSeparator(miFile, "N7");
    miSaveMap = AddItem(miFile, QStringLiteral("Сохранить (JPEG)"), "miSaveMap", &TKelv::miSaveMapClick);
    miSaveMapAs = AddItem(miFile, QStringLiteral("Сохранить как ..."), "miSaveMapAs", &TKelv::miSaveMapAsClick);
    miExportPdf = AddItem(miFile, QStringLiteral("Экспорт в PDF..."), "miExportPdf", &TKelv::miExportPdfClick);
    N5 = AddSeparator(miFile, "N5");
    miExit = AddItem(miFile, QStringLiteral("Выход"), "miExit", &TKelv::miExitClick);
    miExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    BuildViewMenu();

    miDebug = MainMenu1->addMenu(QStringLiteral("Debug"));
    miDebug->setObjectName(QStringLiteral("miDebug"));
    miDebug->menuAction()->setVisible(false);
    miDrawMap = AddItem(miDebug, QStringLiteral("DrawMap"), "miDrawMap", &TKelv::miDrawMapClick);
    miDrawMap->setVisible(false);
    // The separator stays visible below the hidden "DrawMap".
    miDebug->setSeparatorsCollapsible(false);
    N6 = AddSeparator(miDebug, "N6");
    miLoadAll = AddItem(miDebug, QStringLiteral("Load All"), "miLoadAll", &TKelv::miLoadAllClick);

    miDBs = MainMenu1->addMenu(QStringLiteral("DBs"));
    miDBs->setObjectName(QStringLiteral("miDBs"));
    miDBs->menuAction()->setVisible(false);
    miCreateSectorsDB = AddItem(miDBs, QStringLiteral("Create SectorsDB"), "miCreateSectorsDB",
                                &TKelv::miCreateSectorsDBClick);
    miLoadSectorsDB = AddItem(miDBs, QStringLiteral("Load SectorsDB"), "miLoadSectorsDB", &TKelv::miLoadSectorsDBClick);
    N1 = AddSeparator(miDBs, "N1");
    miCreateResourceDB = AddItem(miDBs, QStringLiteral("Create ResourceDB"), "miCreateResourceDB",
                                 &TKelv::miCreateResourceDBClick);
    miLoadResourceDB = AddItem(miDBs, QStringLiteral("Load ResourceDB"), "miLoadResourceDB",
                               &TKelv::miLoadResourceDBClick);
    N2 = AddSeparator(miDBs, "N2");
    miCreateFabsDB = AddItem(miDBs, QStringLiteral("Create FabsDB"), "miCreateFabsDB", &TKelv::miCreateFabsDBClick);
    miLoadFabsDB = AddItem(miDBs, QStringLiteral("Load FabsDB"), "miLoadFabsDB", &TKelv::miLoadFabsDBClick);
    N3 = AddSeparator(miDBs, "N3");
    miCreateSectorsFabsDB = AddItem(miDBs, QStringLiteral("Create SectorsFabsDB"), "miCreateSectorsFabsDB",
                                    &TKelv::miCreateSectorsFabsDBClick);
    LoadSectorsFabsDB = AddItem(miDBs, QStringLiteral("Load SectorsFabsDB"), "LoadSectorsFabsDB",
                                &TKelv::LoadSectorsFabsDBClick);
    N4 = AddSeparator(miDBs, "N4");
    CreateFabsResourcesDB = AddItem(miDBs, QStringLiteral("Create FabsResourcesDB"), "CreateFabsResourcesDB",
                                    &TKelv::CreateFabsResourcesDBClick);
    miLoadFabsResourcesDB = AddItem(miDBs, QStringLiteral("Load FabsResourcesDB"), "miLoadFabsResourcesDB",
                                    &TKelv::miLoadFabsResourcesDBClick);

    miAbout = MainMenu1->addAction(QStringLiteral("О программе..."));
    miAbout->setObjectName(QStringLiteral("miAbout"));
    connect(miAbout, &QAction::triggered, this, [this] { Run(&TKelv::miAboutClick); });

    // Drop-down menus are windows of their own and do not take the form's
    // font from the window.
    for (QMenu* menu : {miFile, miView, miDebug, miDBs}) menu->setFont(FormFont());
}

void TKelv::BuildViewMenu() {
    miView = MainMenu1->addMenu(QStringLiteral("Вид"));
    miView->setObjectName(QStringLiteral("miView"));
    const auto add = [this](const QString& caption, const char* name, const QList<QKeySequence>& keys) {
        QAction* item = miView->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcuts(keys);
        return item;
    };
    miZoomIn = add(QStringLiteral("Увеличить"), "miZoomIn",
                   {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    miZoomOut = add(QStringLiteral("Уменьшить"), "miZoomOut", {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    miZoomActual = add(QStringLiteral("Исходный размер"), "miZoomActual", {QKeySequence(Qt::CTRL | Qt::Key_0)});
    miZoomFit = add(QStringLiteral("По размеру окна"), "miZoomFit", {QKeySequence(Qt::CTRL | Qt::Key_9)});
    miView->addSeparator();
    miFind = add(QStringLiteral("Найти..."), "miFind", {QKeySequence(Qt::CTRL | Qt::Key_F)});
    miFindNext = add(QStringLiteral("Найти далее"), "miFindNext", {QKeySequence(Qt::Key_F3)});
    miFindPrevious = add(QStringLiteral("Найти ранее"), "miFindPrevious", {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    miView->addSeparator();
    miLegend = add(QStringLiteral("Легенда"), "miLegend", {});

    connect(miZoomIn, &QAction::triggered, this, &TKelv::ZoomIn);
    connect(miZoomOut, &QAction::triggered, this, &TKelv::ZoomOut);
    connect(miZoomActual, &QAction::triggered, this, [this] { SetZoom(1.0); });
    connect(miZoomFit, &QAction::triggered, this, [this] { SetZoom(FitZoom()); });
    connect(miFind, &QAction::triggered, this, [this] { FindBar->Open(); });
    connect(miFindNext, &QAction::triggered, this, &TKelv::FindNext);
    connect(miFindPrevious, &QAction::triggered, this, &TKelv::FindPrevious);
    connect(miLegend, &QAction::triggered, this, [this] {
        Legend->show();
        Legend->raise();
    });
}

void TKelv::BuildViewing() {
    SectorPanel = new TSectorPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, SectorPanel);
    SectorPanel->hide();
    FindBar = new TFindBar(this);
    addToolBar(Qt::BottomToolBarArea, FindBar);
    FindBar->hide();
    Legend = new TLegend(this);
    ZoomLabel = new QLabel(this);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    statusBar()->addPermanentWidget(ZoomLabel);
    ShowZoom();

    connect(FindBar, &TFindBar::TextChanged, this, &TKelv::SetFindText);
    connect(FindBar, &TFindBar::NextRequested, this, &TKelv::FindNext);
    connect(FindBar, &TFindBar::Closed, this, [this] { ScrollBox1->setFocus(); });

    Map->setCursor(Qt::OpenHandCursor);
    Map->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);
}

void TKelv::PlaceOnScreen() {
    // Most of the screen, centred: the map is far larger than any window.
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where) {
        resize(783, 517);
        return;
    }
    const QRect area = where->availableGeometry();
    const QSize size(area.width() * 9 / 10, area.height() * 9 / 10);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
}

void TKelv::FormCreate() {
    if (DebugMode() == 1) miDebug->menuAction()->setVisible(true);
    SetDataDir(program_.Paths.DataDir);

    // A table whose file is missing or refused stays closed; nothing is said
    // here, the first drawing that reads it reports the error.
    Universe().OpenAll(DataDir());

    TGSector& sector = program_.GSector;
    sector.Mode = TMapMode::Full;
    SetTitle();
    sector.Image.SetSize(kMapWidth, kInitialMapHeight);
    sector.MapHeight = kInitialMapHeight;
    DrawMap();
}

TUniverse& TKelv::Universe() const { return program_.Universe; }

void TKelv::SetTitle() {
    const TGSector& sector = program_.GSector;
    switch (sector.Mode) {
        case TMapMode::Full:
            setWindowTitle(QStringLiteral("Kelv Map - Полная"));
            break;
        case TMapMode::Product:
            setWindowTitle(QStringLiteral("Kelv Map - Продукт ") + FromCp1251(sector.SelectedName));
            break;
        case TMapMode::Resource:
            setWindowTitle(QStringLiteral("Kelv Map - Ресурс ") + FromCp1251(sector.SelectedName));
            break;
        case TMapMode::None:
            break;
    }
}

void TKelv::DrawMap() {
    TGSector& sector = program_.GSector;
    PaintMap(sector);

    const QImage& raster = sector.Image.Image();
    Map->SetPictureArea(QSize(raster.width(), sector.MapHeight));
    if (miFitImage->isChecked()) {
        const QSize box = ScrollBox1->viewport()->size();
        Map->SetPictureArea(box);
        QImage& picture = Map->MutablePicture();
        if (picture.width() < box.width() || picture.height() < box.height()) {
            QImage larger(qMax(picture.width(), box.width()), qMax(picture.height(), box.height()),
                          QImage::Format_RGB32);
            larger.fill(Qt::white);
            QPainter copier(&larger);
            if (!picture.isNull()) copier.drawImage(0, 0, picture);
            copier.end();
            picture = larger;
        }
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), box), raster);
        painter.end();
        Map->update();
    } else {
        Map->SetPicture(raster);
    }
    savedHeight_ = sector.MapHeight;
    // A picture stretched by "Fit Image" has no cells where the grid says.
    grid_ = miFitImage->isChecked() ? TMapGrid{} : sector.Grid;
    cells_ = NamedCells(sector, grid_);
    SetTitle();
    // Rows change height with the mode: the outline, the panel and the
    // matches follow the new cells.
    Select(grid_.Record(selected_.Column, selected_.Row) != TMapGrid::kNoRecord ? selected_ : TMapGrid::Cell{},
           SectorPanel->isVisible());
    matches_ = MatchingCells(cells_, findText_);
    if (match_ >= static_cast<int>(matches_.size())) match_ = matches_.empty() ? -1 : 0;
}

bool TKelv::HasMap() const {
    return savedHeight_ > 0 && !Map->Picture().isNull();
}

QImage TKelv::SavedMap() const {
    if (!HasMap()) return {};
    return TopRows(Map->Picture(), savedHeight_);
}

void TKelv::miOptionsClick() {
    if (program_.Dialogs.ShowModal(*program_.frmOptions) == QDialog::Accepted) DrawMap();
}

void TKelv::miFitImageClick() {
    // The item is checkable: choosing it has already inverted its check mark.
    DrawMap();
}

void TKelv::miSaveMapClick() {
    if (!HasMap()) {
        program_.Dialogs.Message(this, QString::fromUtf8(kNothingToSave));
        return;
    }
    const std::string path = program_.Paths.AppDir + kQuickSaveFile;
    SaveJpeg(SavedMap(), path);
    statusBar()->showMessage(QStringLiteral("Карта сохранена: %1").arg(QFile::decodeName(QByteArray::fromStdString(path))),
                             kQuickSaveNoteMs);
}

void TKelv::miSaveMapAsClick() {
    if (!HasMap()) {
        program_.Dialogs.Message(this, QString::fromUtf8(kNothingToSave));
        return;
    }
    SaveDialog1.InitialDir = QFile::decodeName(QByteArray::fromStdString(program_.Paths.AppDir));
    SaveDialog1.FileName = QStringLiteral("kelvmap");
    // Only an accepted dialog changes the remembered settings.
    TSaveDialog dialog = SaveDialog1;
    if (!program_.Dialogs.AskSaveFile(this, dialog)) return;
    SaveDialog1 = dialog;

    // The format follows the chosen filter, whatever extension the name has.
    const std::string path = LocalPath(SaveDialog1.FileName);
    if (SaveDialog1.FilterIndex == 2) SaveBmp(SavedMap(), path);
    if (SaveDialog1.FilterIndex == 1) SaveJpeg(SavedMap(), path);
}

void TKelv::miExportPdfClick() {
    if (!HasMap()) {
        program_.Dialogs.Message(this, QString::fromUtf8(kNothingToSave));
        return;
    }
    TSaveDialog dialog;
    dialog.InitialDir = QFile::decodeName(QByteArray::fromStdString(program_.Paths.AppDir));
    dialog.FileName = QStringLiteral("kelvmap");
    dialog.Filters = {QStringLiteral("PDF files (*.pdf)")};
    dialog.DefaultExt = QStringLiteral("pdf");
    if (!program_.Dialogs.AskSaveFile(this, dialog)) return;
    // The renderer keeps the drawing of the same completed painting as the
    // map shown.
    SavePdf(program_.GSector.Drawing, LocalPath(dialog.FileName));
}

void TKelv::miExitClick() {
    close();
}

void TKelv::miDrawMapClick() {
    DrawMap();
}

void TKelv::miAboutClick() {
    program_.Dialogs.ShowModal(*program_.AboutBox);
}

void TKelv::miLoadAllClick() {
    TUniverse& universe = Universe();
    universe.LoadAll(DataDir());

    // Each line ends with line feed, then carriage return.
    QString text;
    for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
        text += QStringLiteral("%1: %2\n\r")
                    .arg(QLatin1String(TUniverse::Schema(i).Label))
                    .arg(universe.Table(i).RecordCount());
    }
    program_.Dialogs.Message(this, text);
}

void TKelv::miCreateSectorsDBClick() { CreateTable(program_.Dialogs, this, Universe().Sectors); }
void TKelv::miCreateResourceDBClick() { CreateTable(program_.Dialogs, this, Universe().Resources); }
void TKelv::miCreateFabsDBClick() { CreateTable(program_.Dialogs, this, Universe().Fabs); }
void TKelv::miCreateSectorsFabsDBClick() { CreateTable(program_.Dialogs, this, Universe().SectorsFabs); }
void TKelv::CreateFabsResourcesDBClick() { CreateTable(program_.Dialogs, this, Universe().FabsResources); }

void TKelv::miLoadSectorsDBClick() { LoadTable(program_.Dialogs, this, Universe().Sectors, "Load data sectors?"); }
void TKelv::miLoadResourceDBClick() {
    LoadTable(program_.Dialogs, this, Universe().Resources, "Load data resources?");
}
void TKelv::miLoadFabsDBClick() { LoadTable(program_.Dialogs, this, Universe().Fabs, "Load data fabs?"); }
void TKelv::LoadSectorsFabsDBClick() {
    LoadTable(program_.Dialogs, this, Universe().SectorsFabs, "Load data sectors fabs?");
}
void TKelv::miLoadFabsResourcesDBClick() {
    LoadTable(program_.Dialogs, this, Universe().FabsResources, "Load data fabs resources?");
}

void TKelv::FormClose() {
    Universe().Sectors.Close();
}

void TKelv::closeEvent(QCloseEvent* event) {
    // The close is never refused; a failure to store the sectors table is
    // still shown.
    Run(&TKelv::FormClose);
    event->accept();
}

double TKelv::Zoom() const {
    return Map->Zoom();
}

void TKelv::SetZoom(double zoom, const QPoint& anchor) {
    QScrollBar* across = ScrollBox1->horizontalScrollBar();
    QScrollBar* down = ScrollBox1->verticalScrollBar();
    const double old = Map->Zoom();
    const QPointF onMap = QPointF(anchor - Map->pos()) / old;
    Map->SetZoom(zoom);
    const double now = Map->Zoom();
    across->setValue(static_cast<int>(std::lround(onMap.x() * now - anchor.x())));
    down->setValue(static_cast<int>(std::lround(onMap.y() * now - anchor.y())));
    ShowZoom();
}

void TKelv::SetZoom(double zoom) {
    SetZoom(zoom, ScrollBox1->viewport()->rect().center());
}

double TKelv::SteppedZoom(int direction) const {
    // From any zoom (a fitted one too) to the next step in that direction.
    const double now = Zoom() * 100;
    if (direction > 0) {
        for (int step : kZoomSteps)
            if (step > now + 0.01) return step / 100.0;
    } else {
        for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step)
            if (*step < now - 0.01) return *step / 100.0;
    }
    return Zoom();
}

void TKelv::ZoomIn() {
    SetZoom(SteppedZoom(1));
}

void TKelv::ZoomOut() {
    SetZoom(SteppedZoom(-1));
}

double TKelv::FitZoom() const {
    const QSize view = ScrollBox1->maximumViewportSize();
    const int height = savedHeight_ > 0 ? savedHeight_ : Map->PictureArea().height();
    if (height <= 0) return 1.0;
    // Half a pixel short, so the rounded size of the map never overflows.
    return std::min((view.width() - 0.5) / kMapWidth, (view.height() - 0.5) / height);
}

void TKelv::ShowZoom() {
    ZoomLabel->setText(QStringLiteral("Масштаб: %1 %").arg(std::lround(Zoom() * 100)));
}

QString TKelv::NameAt(const QPoint& mapPoint) const {
    const QPoint at = Map->ToPicture(mapPoint);
    const TMapGrid::Cell cell = grid_.CellAt(at.x(), at.y());
    for (const TNamedCell& named : cells_)
        if (cell.Valid() && named.Column == cell.Column && named.Row == cell.Row) return named.Name;
    return {};
}

void TKelv::ClickMap(const QPoint& mapPoint) {
    const QPoint at = Map->ToPicture(mapPoint);
    Select(grid_.CellAt(at.x(), at.y()), true);
}

void TKelv::Select(TMapGrid::Cell cell, bool describe) {
    std::optional<TSectorInfo> info;
    if (cell.Valid() && describe)
        RunCommand(program_.Dialogs, this,
                   [&] { info = ReadSectorInfo(program_.GSector, grid_, cell.Column, cell.Row); });
    if (describe && !info) cell = {};
    selected_ = cell;
    if (!cell.Valid()) {
        SectorPanel->Clear();
        Map->SetOutline({});
        return;
    }
    const TRect r = grid_.CellRect(cell.Column, cell.Row);
    Map->SetOutline(QRect(r.Left, r.Top, r.Width(), r.Height()));
    if (info) {
        SectorPanel->ShowInfo(*info);
        SectorPanel->show();
    }
}

void TKelv::SetFindText(const QString& text) {
    findText_ = text;
    matches_ = MatchingCells(cells_, text);
    match_ = matches_.empty() ? -1 : 0;
    ShowMatch();
}

void TKelv::FindNext() {
    if (matches_.empty()) {
        FindBar->Open();
        return;
    }
    match_ = (match_ + 1) % static_cast<int>(matches_.size());
    ShowMatch();
}

void TKelv::FindPrevious() {
    if (matches_.empty()) {
        FindBar->Open();
        return;
    }
    const int count = static_cast<int>(matches_.size());
    match_ = (match_ - 1 + count) % count;
    ShowMatch();
}

TMapGrid::Cell TKelv::FoundCell() const {
    if (match_ < 0 || match_ >= static_cast<int>(matches_.size())) return {};
    const TNamedCell& cell = cells_[static_cast<size_t>(matches_[static_cast<size_t>(match_)])];
    return TMapGrid::Cell{cell.Column, cell.Row};
}

void TKelv::ShowMatch() {
    const TMapGrid::Cell cell = FoundCell();
    if (!cell.Valid()) {
        FindBar->Note->setText(findText_.isEmpty() ? QString() : QStringLiteral("не найдено"));
        return;
    }
    FindBar->Note->setText(QStringLiteral("%1 из %2").arg(match_ + 1).arg(matches_.size()));
    Select(cell, SectorPanel->isVisible());
    const TRect r = grid_.CellRect(cell.Column, cell.Row);
    ScrollTo(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TKelv::ScrollTo(const QRect& pictureRect) {
    const QRect box = Map->ToControl(pictureRect);
    QScrollBar* across = ScrollBox1->horizontalScrollBar();
    QScrollBar* down = ScrollBox1->verticalScrollBar();
    const QSize view = ScrollBox1->viewport()->size();
    const QRect visible(QPoint(across->value(), down->value()), view);
    if (visible.contains(box)) return;
    across->setValue(box.center().x() - view.width() / 2);
    down->setValue(box.center().y() - view.height() / 2);
}

bool TKelv::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
        // One step per notch; finer wheels add up to a notch first.
        wheelAngle_ += wheel->angleDelta().y();
        const QPoint anchor = wheel->position().toPoint();
        for (; wheelAngle_ >= 120; wheelAngle_ -= 120) SetZoom(SteppedZoom(1), anchor);
        for (; wheelAngle_ <= -120; wheelAngle_ += 120) SetZoom(SteppedZoom(-1), anchor);
        return true;
    }
    if (watched != Map) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) break;
            pressed_ = true;
            dragging_ = false;
            pressAt_ = mouse->globalPosition().toPoint();
            scrollAtPress_ = QPoint(ScrollBox1->horizontalScrollBar()->value(), ScrollBox1->verticalScrollBar()->value());
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!pressed_) break;
            const QPoint moved = mouse->globalPosition().toPoint() - pressAt_;
            if (!dragging_ && moved.manhattanLength() < QApplication::startDragDistance()) return true;
            if (!dragging_) Map->setCursor(Qt::ClosedHandCursor);
            dragging_ = true;
            ScrollBox1->horizontalScrollBar()->setValue(scrollAtPress_.x() - moved.x());
            ScrollBox1->verticalScrollBar()->setValue(scrollAtPress_.y() - moved.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !pressed_) break;
            pressed_ = false;
            if (dragging_) {
                Map->setCursor(Qt::OpenHandCursor);
            } else {
                ClickMap(mouse->position().toPoint());
            }
            dragging_ = false;
            return true;
        }
        case QEvent::ToolTip: {
            auto* help = static_cast<QHelpEvent*>(event);
            const QString name = NameAt(help->pos());
            if (name.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), name, Map);
            return true;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
