// Start-up, the main window's menu and caption, and how a failing drawing
// leaves the window.
#include <QApplication>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "AppFixture.h"
#include "ImageControl.h"
#include "MenuText.h"
#include "uMain.h"
#include "uMapLayout.h"
#include "uOptions.h"

namespace {

TEST(DebugSwitch, OnlyTheSingleArgumentLowerCaseDSwitchesDebugModeOn) {
    EXPECT_EQ(DebugSwitch({"d"}), 1);
    EXPECT_EQ(DebugSwitch({}), 0);
    EXPECT_EQ(DebugSwitch({"D"}), 0);
    EXPECT_EQ(DebugSwitch({"-d"}), 0);
    EXPECT_EQ(DebugSwitch({"/d"}), 0);
    EXPECT_EQ(DebugSwitch({"dd"}), 0);
    EXPECT_EQ(DebugSwitch({"d "}), 0);
    EXPECT_EQ(DebugSwitch({"d", "x"}), 0);
    EXPECT_EQ(DebugSwitch({"x", "d"}), 0);
}

const QStringList kFileMenu = {"Настройки\tCtrl+O", "-", "Сохранить (JPEG)", "Сохранить как ...",
                               "Экспорт в PDF...", "-", "Выход\tAlt+X"};
const QStringList kDBsMenu = {"Create SectorsDB",  "Load SectorsDB",       "-", "Create ResourceDB",
                              "Load ResourceDB",   "-",                    "Create FabsDB",
                              "Load FabsDB",       "-",                    "Create SectorsFabsDB",
                              "Load SectorsFabsDB", "-",                   "Create FabsResourcesDB",
                              "Load FabsResourcesDB"};

class StartupMenus : public AppTest, public ::testing::WithParamInterface<QStringList> {};

TEST_P(StartupMenus, AnOrdinaryStartShowsFileViewAndAboutOnly) {
    InstallSample();
    Start(GetParam());
    EXPECT_EQ(ItemTexts(Kelv().MainMenu1->actions()), QStringList({"Файл", "Вид", "О программе..."}));
    EXPECT_EQ(ItemTexts(Kelv().miFile), kFileMenu);
    EXPECT_FALSE(Kelv().miDebug->menuAction()->isVisible());
    EXPECT_FALSE(Kelv().miDBs->menuAction()->isVisible());
    EXPECT_FALSE(Kelv().miFitImage->isVisible());
    EXPECT_FALSE(Kelv().miFitImage->isChecked());
    EXPECT_TRUE(dialogs_.Errors.empty());
}

std::string CommandLineName(const ::testing::TestParamInfo<QStringList>& info) {
    static const char* const kNames[] = {"NoArgument", "UpperCaseD", "DashD", "DThenX"};
    return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(CommandLines, StartupMenus,
                         ::testing::Values(QStringList{}, QStringList{"D"}, QStringList{"-d"},
                                           QStringList{"d", "x"}),
                         CommandLineName);

TEST_F(AppTest, DebugModeAddsTheDebugMenuWithLoadAllButNeverTheHiddenItems) {
    InstallSample();
    Start({"d"});
    EXPECT_EQ(ItemTexts(Kelv().MainMenu1->actions()), QStringList({"Файл", "Вид", "Debug", "О программе..."}));
    EXPECT_EQ(ItemTexts(Kelv().miDebug), QStringList({"-", "Load All"}));
    EXPECT_EQ(ItemTexts(Kelv().miFile), kFileMenu);
    EXPECT_FALSE(Kelv().miDrawMap->isVisible());
    EXPECT_FALSE(Kelv().miDBs->menuAction()->isVisible());
    // The hidden maintenance menu still holds every command, in order.
    EXPECT_EQ(ItemTexts(Kelv().miDBs, true), kDBsMenu);
}

TEST_F(AppTest, TheDebugMenuShowsItsSeparatorAndEveryMenuUsesTheFormFont) {
    InstallSample();
    Start({"d"});
    Kelv().miDebug->popup(QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_GT(Kelv().miDebug->actionGeometry(Kelv().N6).height(), 0);
    Kelv().miDebug->hide();
    for (const QMenu* menu : {Kelv().miFile, Kelv().miView, Kelv().miDebug})
        EXPECT_EQ(menu->font(), Kelv().font()) << menu->title().toStdString();
}

TEST(DebugSwitch, CountsTheCommandLineAsGivenToolkitOptionsIncluded) {
    const char* withPlatform[] = {"kelvmap", "-platform", "xcb", "d"};
    EXPECT_EQ(ArgumentsAfterProgram(4, withPlatform), QStringList({"-platform", "xcb", "d"}));
    // The program itself: Qt takes "-platform offscreen" out of argv, the
    // switch still sees three arguments.
    const auto debugModeOf = [](const QStringList& arguments) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KELVMAP_STARTUP_TIMING", "1");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(KELV_PROGRAM, arguments);
        EXPECT_TRUE(program.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        EXPECT_TRUE(out.contains("debug mode")) << out.toStdString();
        return out.contains("debug mode 1");
    };
    EXPECT_TRUE(debugModeOf({"d"}));
    EXPECT_FALSE(debugModeOf({"-platform", "offscreen", "d"}));
}

TEST_F(AppTest, StartUpDrawsTheFullMapAndShowsItUnscaledFromTheTopLeft) {
    InstallSample();
    Start();
    TKelv& kelv = Kelv();
    EXPECT_EQ(kelv.windowTitle(), "Kelv Map - Полная");
    EXPECT_TRUE(dialogs_.Errors.empty());
    EXPECT_TRUE(dialogs_.Messages.empty());

    const TGSector& sector = Program().GSector;
    EXPECT_EQ(sector.Mode, TMapMode::Full);
    ASSERT_TRUE(kelv.HasMap());
    EXPECT_EQ(kelv.Map->size(), QSize(kMapWidth, sector.MapHeight));
    EXPECT_LT(sector.MapHeight, kInitialMapHeight);   // the sample's rows are short
    EXPECT_EQ(kelv.Map->pos(), QPoint(0, 0));
    EXPECT_EQ(kelv.ScrollBox1->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(kelv.ScrollBox1->verticalScrollBar()->value(), 0);
    // The window shows the renderer's picture itself, pixel for pixel.
    EXPECT_EQ(kelv.Map->Picture(), sector.Image.Image());
    EXPECT_EQ(kelv.Map->grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(5, 5),
              sector.Image.Image().pixel(5, 5));
}

TEST_F(AppTest, MissingTableFilesGiveOneErrorAndAWindowWithoutAMap) {
    Start();
    TKelv& kelv = Kelv();
    ASSERT_EQ(dialogs_.Errors.size(), 1u);
    EXPECT_FALSE(dialogs_.Errors[0].contains("Sectors.dat"));   // no message names the files
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_TRUE(kelv.isVisible());
    EXPECT_EQ(kelv.windowTitle(), "Kelv Map - Полная");
    EXPECT_FALSE(kelv.HasMap());
    EXPECT_TRUE(kelv.Map->Picture().isNull());

    // The window stays usable: the options dialog opens and its OK redraws
    // (failing again, with one more error box).
    dialogs_.FormScripts.push_back([](QDialog& form) { static_cast<TfrmOptions&>(form).btOK->click(); });
    kelv.miOptions->trigger();
    EXPECT_EQ(dialogs_.FormsShown, 1);
    EXPECT_EQ(dialogs_.Errors.size(), 2u);
}

TEST_F(AppTest, AFailingRedrawKeepsTheShownMapAndCaption) {
    InstallSample();
    Start();
    const qint64 shown = ShownPictureKey();
    Program().Universe.Sectors.Close();   // the next search of the sectors fails
    Kelv().miDrawMap->trigger();
    ASSERT_EQ(dialogs_.Errors.size(), 1u);
    EXPECT_EQ(ShownPictureKey(), shown);
    EXPECT_EQ(Kelv().windowTitle(), "Kelv Map - Полная");
    EXPECT_TRUE(Kelv().HasMap());
}

TEST_F(AppTest, ExitClosesTheWindowAndTheSectorsTable) {
    InstallSample();
    Start();
    ASSERT_TRUE(Program().Universe.Sectors.Opened());
    Kelv().miExit->trigger();
    EXPECT_FALSE(Kelv().isVisible());
    EXPECT_FALSE(Program().Universe.Sectors.Opened());
    EXPECT_TRUE(Program().Universe.Resources.Opened());   // the others end with the process
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(AppTest, ShortcutsReachTheirCommands) {
    InstallSample();
    Start();
    QApplication::setActiveWindow(&Kelv());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Kelv()));
    QTest::keyClick(&Kelv(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs_.FormsShown, 1);   // the options dialog
    QApplication::setActiveWindow(&Kelv());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Kelv()));
    QTest::keyClick(&Kelv(), Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(Kelv().isVisible());
}

TEST_F(AppTest, FitImageStretchesTheMapToTheScrollBoxAndBack) {
    InstallSample();
    Start();
    TKelv& kelv = Kelv();
    kelv.resize(640, 480);
    QApplication::processEvents();
    kelv.miFitImage->trigger();
    EXPECT_TRUE(kelv.miFitImage->isChecked());
    const QSize box = kelv.ScrollBox1->viewport()->size();
    EXPECT_EQ(kelv.Map->size(), box);
    // The whole map is squeezed into the view: its last column is visible.
    const QImage& raster = Program().GSector.Image.Image();
    const QImage shown = kelv.Map->Picture();
    EXPECT_NE(shown.copy(0, 0, box.width(), box.height()), raster.copy(0, 0, box.width(), box.height()));

    kelv.miFitImage->trigger();
    EXPECT_FALSE(kelv.miFitImage->isChecked());
    EXPECT_EQ(kelv.Map->size(), QSize(kMapWidth, Program().GSector.MapHeight));
    EXPECT_EQ(kelv.Map->Picture(), raster);
    EXPECT_TRUE(dialogs_.Errors.empty());
}

}  // namespace
