// Viewing the map: zoom and pan, the sector under the pointer and the sector
// panel, find, the legend, and the window's first size.
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "AppFixture.h"
#include "QtText.h"
#include "FindBar.h"
#include "ImageControl.h"
#include "Legend.h"
#include "SectorPanel.h"
#include "uKelvRef.h"
#include "uMain.h"
#include "uMapLayout.h"

namespace {

std::string Cp(const char* utf8) {
    return ToCp1251(QString::fromUtf8(utf8));
}

// A sector line of sectors.txt: code, name, race, x, y, then the gates
// right, down, left, up and the flags TR, DK, SY, SL, PB.
std::string SectorLine(int code, const char* name, int race, int x, int y, const char* rest = "92\t92\t92\t92\t0\t0\t0\t0\t0") {
    return std::to_string(code) + "\t" + Cp(name) + "\t" + std::to_string(race) + "\t" + std::to_string(x) + "\t" +
           std::to_string(y) + "\t" + rest + "\r\n";
}

class MapViewTest : public AppTest {
protected:
    void ActivateWindow() {
        QApplication::setActiveWindow(&Kelv());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Kelv()));
    }
    // A point of Map inside the cell at (column, row), `inset` pixels from
    // its top-left corner, scrolled into view.
    QPoint CellPoint(int column, int row, int inset = 20) {
        const TRect r = Kelv().Grid().CellRect(column, row);
        const QPoint at = Kelv().Map->ToControl(QRect(r.Left + inset, r.Top + inset, 1, 1)).topLeft();
        Kelv().ScrollBox1->ensureVisible(at.x(), at.y());
        return at;
    }
    void Click(const QPoint& mapPoint) { QTest::mouseClick(Kelv().Map, Qt::LeftButton, {}, mapPoint); }
    QString Panel() { return Kelv().SectorPanel->Text(); }
};

// Sectors for the panel and find: a pirate sector with a station, a long
// factory name twice, a dock-less farm; Cyrillic names; a code-92 record.
class SmallUniverseTest : public MapViewTest {
protected:
    void SetUp() override {
        WriteData("sectors.txt", SectorLine(1, "Alpha", 1, 0, 0) + SectorLine(2, "Ёлкин Двор", 2, 1, 0) +
                                     SectorLine(3, "alpHa Minor", 3, 0, 1) + SectorLine(92, "Alphaville", 3, 2, 0) +
                                     SectorLine(5, "Noost", 7, 2, 1, "0\t92\t92\t3\t1\t0\t0\t0\t1") +
                                     SectorLine(6, "Светлая Альфа", 4, 19, 14));
        WriteData("resources.txt", "1\tOre\r\n2\tFood\r\n");
        WriteData("fabs.txt", "10\tNoost Station\t1\t7\tT\r\n11\tVelorian Extraordinarily Long Mi\t1\t1\tM\r\n"
                              "12\tFarm\t2\t2\tF\r\n");
        WriteData("sector fabs.txt", "1\t5\t10\r\n2\t5\t11\r\n3\t5\t11\r\n4\t5\t12\r\n");
        WriteData("fabs resources.txt", "11\t1\t1\r\n12\t2\t1\r\n");
        ImportData();
        Start();
        Kelv().resize(800, 600);
        QApplication::processEvents();
    }
};

TEST_F(MapViewTest, ZoomRunsFromTenToFourHundredPercentAndNeverTouchesThePicture) {
    InstallSample();
    Start();
    TKelv& kelv = Kelv();
    kelv.resize(800, 600);
    ActivateWindow();
    const int height = Program().GSector.MapHeight;
    const QImage saved = kelv.SavedMap();
    const qint64 picture = ShownPictureKey();
    EXPECT_EQ(kelv.Zoom(), 1.0);
    EXPECT_EQ(kelv.ZoomLabel->text(), "Масштаб: 100 %");

    QTest::keyClick(&kelv, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(kelv.Zoom(), 1.25);
    QTest::keyClick(&kelv, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(kelv.Zoom(), 1.5);
    QTest::keyClick(&kelv, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&kelv, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&kelv, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(kelv.Zoom(), 0.75);
    EXPECT_EQ(kelv.ZoomLabel->text(), "Масштаб: 75 %");
    QTest::keyClick(&kelv, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(kelv.Zoom(), 1.0);

    for (int i = 0; i < 20; ++i) kelv.ZoomIn();
    EXPECT_EQ(kelv.Zoom(), 4.0);
    EXPECT_EQ(kelv.Map->size(), QSize(4 * kMapWidth, 4 * height));
    // Enlarged pixels: each picture pixel covers 4 x 4 of the view.
    kelv.ScrollBox1->horizontalScrollBar()->setValue(0);
    kelv.ScrollBox1->verticalScrollBar()->setValue(0);
    const QImage shown = kelv.Map->grab(QRect(0, 0, 400, 400)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& raster = Program().GSector.Image.Image();
    for (const QPoint p : {QPoint(3, 3), QPoint(50, 20), QPoint(99, 99)})
        EXPECT_EQ(shown.pixel(4 * p.x() + 2, 4 * p.y() + 1), raster.pixel(p)) << p.x() << "," << p.y();

    // Below 100 % each view pixel is the average of the picture pixels it
    // stands for, not one of them picked.
    for (const int block : {2, 4}) {
        kelv.SetZoom(1.0 / block);
        kelv.ScrollBox1->horizontalScrollBar()->setValue(0);
        kelv.ScrollBox1->verticalScrollBar()->setValue(0);
        const QImage small = kelv.Map->grab(QRect(0, 0, 200, 200)).toImage().convertToFormat(QImage::Format_RGB32);
        int mixed = 0, averaged = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                int sum = 0;
                bool uniform = true;
                for (int dy = 0; dy < block; ++dy)
                    for (int dx = 0; dx < block; ++dx) {
                        const QRgb p = raster.pixel(x * block + dx, y * block + dy);
                        sum += qGreen(p);
                        uniform &= p == raster.pixel(x * block, y * block);
                    }
                if (uniform) continue;
                ++mixed;
                averaged += std::abs(qGreen(small.pixel(x, y)) - sum / (block * block)) <= 8;
            }
        ASSERT_GT(mixed, 100);
        EXPECT_GT(averaged, mixed * 9 / 10) << block;
    }

    for (int i = 0; i < 20; ++i) kelv.ZoomOut();
    EXPECT_DOUBLE_EQ(kelv.Zoom(), 0.1);
    EXPECT_EQ(kelv.Map->size(), QSize(230, qRound(height * 0.1)));
    EXPECT_EQ(kelv.ZoomLabel->text(), "Масштаб: 10 %");

    // The saves, the picture and the map height do not follow the zoom.
    kelv.miSaveMap->trigger();
    EXPECT_EQ(QImage(QString::fromStdString(AppDir() + "kelvmap.jpg")).size(), QSize(kMapWidth, height));
    EXPECT_EQ(kelv.SavedMap(), saved);
    EXPECT_EQ(ShownPictureKey(), picture);
    EXPECT_EQ(Program().GSector.MapHeight, height);
    // The quick save tells where it wrote, in the status bar only.
    EXPECT_TRUE(kelv.statusBar()->currentMessage().contains(QString::fromStdString(AppDir() + "kelvmap.jpg")));
    EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(MapViewTest, WheelZoomsAroundThePointerFitShowsTheWholeMapAndDraggingPans) {
    InstallSample();
    Start();
    TKelv& kelv = Kelv();
    kelv.resize(800, 600);
    QApplication::processEvents();
    QWidget* view = kelv.ScrollBox1->viewport();
    const QPoint pointer(300, 200);
    const QPoint underPointer = kelv.Map->ToPicture(kelv.Map->mapFrom(view, pointer));
    QWheelEvent wheel(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_DOUBLE_EQ(kelv.Zoom(), 1.25);
    const QPoint after = kelv.Map->ToPicture(kelv.Map->mapFrom(view, pointer));
    EXPECT_LE((after - underPointer).manhattanLength(), 2);

    kelv.miZoomFit->trigger();
    QApplication::processEvents();   // the scroll bars hide on a queued call
    const QSize box = kelv.ScrollBox1->maximumViewportSize();
    EXPECT_LE(kelv.Map->width(), box.width());
    EXPECT_LE(kelv.Map->height(), box.height());
    EXPECT_GE(std::max(kelv.Map->width() - box.width(), kelv.Map->height() - box.height()), -1);
    EXPECT_FALSE(kelv.ScrollBox1->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(kelv.miZoomFit->shortcut().toString() == "Ctrl+9");

    kelv.SetZoom(1.0);
    QScrollBar* across = kelv.ScrollBox1->horizontalScrollBar();
    QScrollBar* down = kelv.ScrollBox1->verticalScrollBar();
    across->setValue(500);
    down->setValue(300);
    const QPoint start = kelv.Map->mapFrom(view, QPoint(400, 300));
    QTest::mousePress(kelv.Map, Qt::LeftButton, {}, start);
    QTest::mouseMove(kelv.Map, start - QPoint(100, 50));
    QTest::mouseRelease(kelv.Map, Qt::LeftButton, {}, start - QPoint(100, 50));
    EXPECT_EQ(across->value(), 600);
    EXPECT_EQ(down->value(), 350);
    EXPECT_FALSE(kelv.SectorPanel->isVisible());   // a drag is no click
}

TEST_F(MapViewTest, AClickSelectsTheSectorUnderItInEveryModeAndOutsideSelectsNone) {
    InstallSample();
    Start();
    TKelv& kelv = Kelv();
    kelv.resize(800, 600);
    QApplication::processEvents();
    // Draith stands at column 1, row 12; rows change height with the mode.
    int fullTop = -1;
    for (TMapMode mode : {TMapMode::Full, TMapMode::Product, TMapMode::Resource}) {
        Program().GSector.Mode = mode;
        kelv.miDrawMap->trigger();
        if (mode == TMapMode::Full) fullTop = kelv.Grid().RowTop[12];
        if (mode != TMapMode::Full) {
            EXPECT_NE(kelv.Grid().RowTop[12], fullTop);
        }
        Click(CellPoint(1, 12, 60));
        ASSERT_TRUE(kelv.SectorPanel->isVisible()) << static_cast<int>(mode);
        EXPECT_TRUE(Panel().startsWith("Draith")) << Panel().toStdString();
        const TRect r = kelv.Grid().CellRect(1, 12);
        EXPECT_EQ(kelv.Map->Outline(), QRect(r.Left, r.Top, r.Width(), r.Height()));

        QHelpEvent hover(QEvent::ToolTip, CellPoint(1, 12), kelv.Map->mapToGlobal(CellPoint(1, 12)));
        QApplication::sendEvent(kelv.Map, &hover);
        EXPECT_EQ(QToolTip::text(), "Draith");
    }
    // Grid position 5,0 of the sample is empty.
    Click(CellPoint(5, 0));
    EXPECT_FALSE(Panel().contains("Draith"));
    EXPECT_TRUE(kelv.Map->Outline().isEmpty());
    EXPECT_TRUE(kelv.NameAt(CellPoint(5, 0)).isEmpty());
    EXPECT_TRUE(dialogs_.Errors.empty());
}

TEST_F(MapViewTest, CellsOfAMapTallerThanTheStartSizeAreFoundAtAnyZoom) {
    std::string fabs, links;
    for (int i = 0; i < 300; ++i) {
        fabs += std::to_string(100 + i) + "\tFab " + std::to_string(i) + "\t1\t1\tF\r\n";
        links += std::to_string(i) + "\t1\t" + std::to_string(100 + i) + "\r\n";
    }
    WriteData("sectors.txt", SectorLine(1, "Crowded", 1, 0, 0) + SectorLine(2, "Deep South", 2, 4, 14));
    WriteData("resources.txt", "1\tOre\r\n");
    WriteData("fabs.txt", fabs);
    WriteData("sector fabs.txt", links);
    WriteData("fabs resources.txt", "");
    ImportData();
    Start();
    TKelv& kelv = Kelv();
    kelv.resize(800, 600);
    kelv.miZoomFit->trigger();
    ASSERT_GT(kelv.Grid().RowTop[14], kInitialMapHeight);
    Click(CellPoint(4, 14, 5));
    EXPECT_TRUE(Panel().startsWith("Deep South")) << Panel().toStdString();
    Click(CellPoint(3, 14, 5));
    EXPECT_FALSE(Panel().contains("Deep South"));
}

TEST_F(SmallUniverseTest, ThePanelSpellsOutTheSectorAndItsWholeFactoryList) {
    Click(CellPoint(2, 1));
    const QString text = Panel();
    EXPECT_TRUE(text.startsWith("Noost\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Раса:\\W+Pirate\n"))));
    const QImage swatch = Kelv().SectorPanel->findChild<QTextBrowser*>()->document()->resource(
        QTextDocument::ImageResource, QUrl("race:swatch")).value<QImage>();
    EXPECT_EQ(swatch.pixel(swatch.width() / 2, swatch.height() / 2), qRgb(237, 91, 47));   // Pirate's colour
    for (const char* line : {"Код: 5", "Позиция: столбец 2, строка 1", "Ворота: справа, сверху",
                             "Станции: TR торговая станция, PB пиратская база", "Фабрики (2):",
                             "M 2 V Velorian Extraordinarily Long Mi", "F 1 M Farm"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Noost Station"));   // the full map leaves it out
    EXPECT_FALSE(text.contains("Продукт"));

    // On the product map the station's product counts too.
    const QImage before = Kelv().SavedMap();
    Program().GSector.Mode = TMapMode::Product;
    Program().GSector.SelectedName = "Ore";
    Kelv().miDrawMap->trigger();
    EXPECT_TRUE(Panel().contains(QString::fromUtf8("Продукт «Ore»: 3"))) << Panel().toStdString();
    Click(CellPoint(0, 0));
    EXPECT_TRUE(Panel().contains(QString::fromUtf8("Продукт «Ore»: 0")));
    EXPECT_TRUE(Panel().contains(QString::fromUtf8("Ворота: нет")));

    // What the panel read leaves later drawings as they would be without it.
    Program().GSector.Mode = TMapMode::Full;
    Kelv().miDrawMap->trigger();
    EXPECT_EQ(Kelv().SavedMap(), before);
}

TEST_F(SmallUniverseTest, FindMatchesPartOfANameIgnoringCaseAndWrapsBothWays) {
    TKelv& kelv = Kelv();
    ActivateWindow();
    const qint64 picture = ShownPictureKey();
    QTest::keyClick(&kelv, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(kelv.FindBar->isVisible());
    EXPECT_TRUE(kelv.FindBar->Edit->hasFocus());
    const auto found = [&] { return QPoint(kelv.FoundCell().Column, kelv.FoundCell().Row); };

    QTest::keyClicks(kelv.FindBar->Edit, "ALPH");   // Alphaville is never painted
    EXPECT_EQ(found(), QPoint(0, 0));
    EXPECT_EQ(kelv.FindBar->Note->text(), "1 из 2");
    QTest::keyClick(kelv.FindBar->Edit, Qt::Key_Return);
    EXPECT_EQ(found(), QPoint(0, 1));
    QTest::keyClick(&kelv, Qt::Key_F3);
    EXPECT_EQ(found(), QPoint(0, 0));   // wrapped
    QTest::keyClick(&kelv, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(found(), QPoint(0, 1));
    const TRect r = kelv.Grid().CellRect(0, 1);
    EXPECT_EQ(kelv.Map->Outline(), QRect(r.Left, r.Top, r.Width(), r.Height()));

    kelv.FindBar->Edit->setText(QString::fromUtf8("ёЛК"));
    EXPECT_EQ(found(), QPoint(1, 0));
    kelv.FindBar->Edit->setText(QString::fromUtf8("АЛЬФ"));   // far down and right: scrolled into view
    EXPECT_EQ(found(), QPoint(19, 14));
    const QRect box = kelv.Map->ToControl(QRect(19 * 115, kelv.Grid().RowTop[14], 115, 10));
    EXPECT_TRUE(QRect(QPoint(kelv.ScrollBox1->horizontalScrollBar()->value(), kelv.ScrollBox1->verticalScrollBar()->value()),
                      kelv.ScrollBox1->viewport()->size()).contains(box));
    kelv.FindBar->Edit->setText("nothing");
    EXPECT_FALSE(kelv.FoundCell().Valid());
    EXPECT_EQ(kelv.FindBar->Note->text(), "не найдено");

    QTest::keyClick(kelv.FindBar->Edit, Qt::Key_Escape);
    EXPECT_FALSE(kelv.FindBar->isVisible());
    EXPECT_EQ(ShownPictureKey(), picture);   // the outline is never painted into the map
}

TEST_F(SmallUniverseTest, TheLegendNamesEveryRaceColourAndMark) {
    Kelv().miLegend->trigger();
    ASSERT_TRUE(Kelv().Legend->isVisible());
    const QString html = Kelv().Legend->Text->text();
    for (int race = 1; race <= kRaceCount; ++race) {
        EXPECT_TRUE(html.contains(QString::fromLatin1(RaceName(race))));
        EXPECT_TRUE(html.contains(QColor::fromRgb(ToQRgb(RaceColor(race))).name())) << race;
    }
    for (const TStationKind& kind : kStationKinds) EXPECT_TRUE(html.contains(QString::fromUtf8(kind.Meaning)));
}

TEST_F(AppTest, TheWindowFirstOpensCentredOverMostOfTheScreen) {
    Start();
    const QRect area = Kelv().screen()->availableGeometry();
    const QRect window = Kelv().geometry();
    EXPECT_GE(window.width(), area.width() * 8 / 10);
    EXPECT_GE(window.height(), area.height() * 8 / 10);
    EXPECT_LE((window.center() - area.center()).manhattanLength(), 2);
}

}  // namespace
