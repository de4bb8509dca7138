#include "uMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>

#include "CommandGuard.h"
#include "QtText.h"
#include "FormFont.h"
#include "ImageControl.h"
#include "ImageWriters.h"
#include "KelvProgram.h"
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
    resize(783, 517);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Map = new TImageControl;
    Map->setObjectName(QStringLiteral("Map"));
    Map->resize(4000, 300);
    ScrollBox1->setWidget(Map);
    setCentralWidget(ScrollBox1);

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

    miDebug = MainMenu1->addMenu(QStringLiteral("Debug"));
    miDebug->setObjectName(QStringLiteral("miDebug"));
    miDebug->menuAction()->setVisible(false);
    miDrawMap = AddItem(miDebug, QStringLiteral("DrawMap"), "miDrawMap", &TKelv::miDrawMapClick);
    miDrawMap->setVisible(false);
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
    Map->resize(raster.width(), sector.MapHeight);
    if (miFitImage->isChecked()) {
        const QSize box = ScrollBox1->viewport()->size();
        Map->resize(box);
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
    SetTitle();
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
    SaveJpeg(SavedMap(), program_.Paths.AppDir + kQuickSaveFile);
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
                    .arg(QLatin1String(TUniverse::Spec(i).Label))
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
