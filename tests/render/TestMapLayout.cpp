// The whole map: row heights per mode, what is painted where, the growing
// raster and the saved picture.
#include <QPainter>
#include <gtest/gtest.h>

#include "KelvErrors.h"
#include "RenderFixture.h"
#include "uKelvRef.h"
#include "uMapLayout.h"

namespace {

// Courier New 8 line height less 2, as rows are measured.
int32_t RowLine(bool bold) { return FontHeight("Courier New", 8, bold) - 2; }

// Adds n distinct factories to sector `sector`, codes from `firstCode`.
void AddFactories(TestUniverse& u, int32_t sector, int32_t firstCode, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        u.AddFab(firstCode + i, "Fab " + std::to_string(firstCode + i));
        u.AddLink(sector, firstCode + i);
    }
}

TEST(MapLayoutHeights, EmptyUniverseIsWhiteAndSizedPerMode) {
    TestUniverse u;
    const int32_t b = TitleBand();
    const int32_t line = RowLine(false);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    EXPECT_EQ(u.renderer.MapHeight, 15 * (b + 4));
    for (TMapMode mode : {TMapMode::Product, TMapMode::Resource}) {
        u.renderer.Mode = mode;
        PaintMap(u.renderer);
        EXPECT_EQ(u.renderer.MapHeight, 15 * (8 * line + b + 4)) << static_cast<int>(mode);
    }
    EXPECT_EQ(CountColour(u.renderer.Image, {0, 0, kMapWidth, u.renderer.MapHeight}, kWhite),
              kMapWidth * u.renderer.MapHeight);
}

TEST(MapLayoutHeights, FullModeRowsFollowTheLongestListAndOtherModesUseEightLines) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "A", .x = 0, .y = 0});
    u.AddSector({.code = 2, .name = "B", .x = 5, .y = 0});
    u.AddSector({.code = 3, .name = "C", .x = 1, .y = 2});
    AddFactories(u, 1, 100, 3);
    AddFactories(u, 2, 200, 12);
    AddFactories(u, 3, 300, 1);
    const int32_t b = TitleBand();
    const int32_t line = RowLine(false);   // no station marks anywhere: regular

    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t row0 = 12 * line + b + 4;
    const int32_t row2Top = row0 + (b + 4);
    EXPECT_EQ(u.renderer.MapHeight, row0 + (b + 4) + (line + b + 4) + 12 * (b + 4));
    // Cell of sector 3 spans its row: frame at the top, fill just inside.
    EXPECT_EQ(u.renderer.Image.Pixel(115 + 50, row2Top), kWhite);
    EXPECT_EQ(u.renderer.Image.Pixel(115 + 50, row2Top + 2), RaceColors[0]);
    EXPECT_EQ(u.renderer.Image.Pixel(115 + 50, row2Top + line + b + 4 - 3), RaceColors[0]);
    EXPECT_EQ(u.renderer.Image.Pixel(115 + 50, row2Top + line + b + 4), kWhite);

    u.renderer.Mode = TMapMode::Product;
    PaintMap(u.renderer);
    EXPECT_EQ(u.renderer.MapHeight, 15 * (8 * line + b + 4));
}

TEST(MapLayoutHeights, RowsAreMeasuredInTheStyleTheLastMarkedCellLeft) {
    // Station marks leave the canvas bold; the next row is measured in
    // Courier New 8 bold, and so is the first row of the next drawing.
    TestUniverse u;
    u.AddSector({.code = 1, .name = "A", .x = 0, .y = 0, .dock = 1});
    u.AddSector({.code = 2, .name = "B", .x = 0, .y = 1});
    u.AddSector({.code = 3, .name = "C", .x = 0, .y = 2});
    AddFactories(u, 1, 100, 4);
    AddFactories(u, 2, 200, 4);
    AddFactories(u, 3, 300, 4);
    const int32_t b = TitleBand();
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t regular = RowLine(false);
    const int32_t bold = RowLine(true);
    // Row 0 regular (nothing painted before), row 1 bold (after A's mark),
    // row 2 regular (B had no mark), rows 3..14 regular.
    EXPECT_EQ(u.renderer.MapHeight, (4 * regular + b + 4) + (4 * bold + b + 4) + (4 * regular + b + 4) + 12 * (b + 4));
    EXPECT_FALSE(u.renderer.Image.Font().Bold);
}

TEST(MapLayoutCells, Code92IsSizedButNotPainted) {
    TestUniverse u;
    u.AddSector({.code = 92, .name = "Void", .race = 2, .x = 3, .y = 0});
    AddFactories(u, 92, 100, 5);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t b = TitleBand();
    EXPECT_EQ(u.renderer.MapHeight, (5 * RowLine(false) + b + 4) + 14 * (b + 4));
    EXPECT_EQ(CountColour(u.renderer.Image, {0, 0, kMapWidth, u.renderer.MapHeight}, kWhite),
              kMapWidth * u.renderer.MapHeight);
}

TEST(MapLayoutCells, DuplicatesAndPositionsOffTheGrid) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "First", .race = 1, .x = 2, .y = 1});
    u.AddSector({.code = 2, .name = "Second", .race = 2, .x = 2, .y = 1});
    u.AddSector({.code = 3, .race = 3, .x = 20, .y = 0});
    u.AddSector({.code = 4, .race = 3, .x = -1, .y = 0});
    u.AddSector({.code = 5, .race = 3, .x = 0, .y = 15});
    u.AddSector({.code = 6, .race = 3, .x = 0, .y = -1});
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t b = TitleBand();
    EXPECT_EQ(u.renderer.MapHeight, 15 * (b + 4));
    const TPicture& p = u.renderer.Image;
    EXPECT_EQ(CountColour(p, {0, 0, kMapWidth, u.renderer.MapHeight}, RaceColors[0]) > 0, true);
    EXPECT_EQ(CountColour(p, {0, 0, kMapWidth, u.renderer.MapHeight}, RaceColors[1]), 0);
    EXPECT_EQ(CountColour(p, {0, 0, kMapWidth, p.Height()}, RaceColors[2]), 0);
    // Only the first sector's cell, in column 2 of row 1, is coloured.
    EXPECT_EQ(p.Pixel(2 * 115 + 2, (b + 4) + 2), RaceColors[0]);
    EXPECT_EQ(CountColour(p, {0, 0, 230, u.renderer.MapHeight}, kWhite), 230 * u.renderer.MapHeight);
}

TEST(MapLayoutRaster, MapTallerThanTheStartSizeIsPaintedAndSavedWhole) {
    TestUniverse u;
    // Row 0 with 300 factories is far taller than 2500 pixels; the sector
    // in row 14 lies wholly below pixel row 2500.
    u.AddSector({.code = 1, .name = "Crowded", .race = 4, .x = 0, .y = 0});
    u.AddSector({.code = 2, .name = "Last", .race = 5, .x = 19, .y = 14, .right = 0});
    AddFactories(u, 1, 1000, 300);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t b = TitleBand();
    const int32_t height = (300 * RowLine(false) + b + 4) + 14 * (b + 4);
    ASSERT_GT(height, kInitialMapHeight);
    EXPECT_EQ(u.renderer.MapHeight, height);
    EXPECT_GE(u.renderer.Image.Height(), height);
    EXPECT_EQ(u.renderer.Image.Width(), kMapWidth);

    const QImage saved = SavedPicture(u.renderer);
    ASSERT_EQ(saved.size(), QSize(kMapWidth, height));
    const int32_t lastTop = height - (b + 4);
    EXPECT_EQ(FromQRgb(saved.pixel(19 * 115 + 50, lastTop + 2)), RaceColors[4]);
    EXPECT_EQ(FromQRgb(saved.pixel(19 * 115 + 50, height - 1)), kWhite);   // frame
    // The first cell reaches all the way down its tall row.
    EXPECT_EQ(FromQRgb(saved.pixel(100, height - 14 * (b + 4) - 3)), RaceColors[3]);
}

TEST(MapLayoutRaster, ATallMapGetsARasterOfItsHeightAtOnceAndIsSavedWithoutACopy) {
    TestUniverse u;
    // Rows 0 and 9 are both taller than the start size; growing at row 0 to
    // the bottom of the whole map leaves nothing to grow at row 9.
    u.AddSector({.code = 1, .name = "Crowded", .x = 0, .y = 0});
    u.AddSector({.code = 2, .name = "Also", .x = 2, .y = 9});
    AddFactories(u, 1, 1000, 300);
    AddFactories(u, 2, 2000, 260);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    ASSERT_GT(u.renderer.MapHeight, 2 * kInitialMapHeight);
    EXPECT_EQ(u.renderer.Image.Height(), u.renderer.MapHeight);
    EXPECT_EQ(SavedPicture(u.renderer).constBits(), u.renderer.Image.Image().constBits());
}

TEST(MapLayoutRaster, ShorterRedrawLeavesNothingOfTheTallerOne) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Crowded", .race = 4, .x = 0, .y = 0});
    u.AddSector({.code = 2, .name = "Gone", .race = 6, .x = 3, .y = 14});
    AddFactories(u, 1, 1000, 300);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const int32_t tall = u.renderer.MapHeight;
    const TPicture& p = u.renderer.Image;
    ASSERT_GT(CountColour(p, {345, tall - 40, 460, tall}, RaceColors[5]), 0);

    u.renderer.Mode = TMapMode::Product;
    PaintMap(u.renderer);
    const int32_t shortHeight = u.renderer.MapHeight;
    ASSERT_LT(shortHeight, tall - 40);
    EXPECT_EQ(CountColour(p, {0, shortHeight, kMapWidth, p.Height()}, kWhite),
              kMapWidth * (p.Height() - shortHeight));
    EXPECT_EQ(SavedPicture(u.renderer).height(), shortHeight);

    // The low sector goes; the taller map drawn next shows white where it was,
    // not what the first drawing left below the short map.
    u.sectors.DeleteRecord(1);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    EXPECT_EQ(u.renderer.MapHeight, tall);
    EXPECT_EQ(CountColour(p, {345, tall - 40, 460, tall}, kWhite), 115 * 40);
}

// The drawing commands of a painting, played on a raster of their own.
QImage Played(const TDrawing& drawing) {
    QImage out(drawing.Width(), drawing.Height(), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    drawing.Play(painter);
    return out;
}

TEST(MapLayoutDrawing, PlaysBackToTheSavedPictureAndAFailedPaintingKeepsTheLast) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Alpha Prime Reach", .race = 2, .x = 0, .y = 0, .right = 0, .trading = 1});
    u.AddSector({.code = 2, .name = "\xC1\xE5\xF2\xE0", .race = 7, .x = 1, .y = 0, .dock = 1});   // "Бета"
    u.AddSector({.code = 3, .name = "Gamma", .race = 3, .x = 19, .y = 14, .up = 0});
    u.AddFab(100, "Rock Mill", 0, 2, "R");
    for (int32_t sector : {1, 2, 2, 3}) u.AddLink(sector, 100);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const QImage saved = SavedPicture(u.renderer).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(u.renderer.Drawing.Width(), kMapWidth);
    ASSERT_EQ(u.renderer.Drawing.Height(), u.renderer.MapHeight);
    EXPECT_EQ(Played(u.renderer.Drawing), saved);

    u.fabs.Close();   // the next painting fails on the first factory
    EXPECT_THROW(PaintMap(u.renderer), EKelvError);
    EXPECT_EQ(Played(u.renderer.Drawing), saved);
}

TEST(MapLayoutFailure, ClosedSectorsTableRaisesAndKeepsWhatWasPainted) {
    TestUniverse u;
    u.sectors.Close();
    u.renderer.Mode = TMapMode::Full;
    EXPECT_THROW(PaintMap(u.renderer), EKelvError);
    EXPECT_EQ(u.renderer.MapHeight, kInitialMapHeight);
    EXPECT_EQ(SavedPicture(u.renderer).size(), QSize(kMapWidth, kInitialMapHeight));
}

TEST(MapLayoutGrid, TheGridRecordsTheRowsAndTheSectorPaintedInEachCell) {
    TestUniverse u;
    u.AddSector({.code = 92, .name = "Void", .x = 1, .y = 0});
    u.AddSector({.code = 1, .name = "Crowded", .x = 3, .y = 0});
    u.AddSector({.code = 2, .name = "Shadowed", .x = 3, .y = 0});   // same cell, never painted
    u.AddSector({.code = 3, .name = "Last", .x = 19, .y = 14});
    AddFactories(u, 1, 1000, 300);   // row 0 alone is taller than 2500 pixels
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    const TMapGrid grid = u.renderer.Grid;
    EXPECT_EQ(grid.RowTop[0], 0);
    for (size_t row = 1; row < kGridRows; ++row) EXPECT_EQ(grid.RowTop[row], grid.RowBottom[row - 1]);
    EXPECT_EQ(grid.RowBottom[14], u.renderer.MapHeight);
    EXPECT_EQ(grid.Record(3, 0), 1);
    EXPECT_EQ(grid.Record(19, 14), 3);
    EXPECT_EQ(grid.Record(1, 0), TMapGrid::kNoRecord);   // code 92
    EXPECT_EQ(grid.Record(20, 0), TMapGrid::kNoRecord);

    // Hit-testing: the frame belongs to the cell, its neighbours and the
    // space below the map to none.
    const TMapGrid::Cell crowded = grid.CellAt(3 * 115, grid.RowBottom[0] - 1);
    EXPECT_EQ(crowded.Column, 3);
    EXPECT_EQ(crowded.Row, 0);
    EXPECT_FALSE(grid.CellAt(4 * 115, 10).Valid());
    EXPECT_FALSE(grid.CellAt(115 + 50, 10).Valid());
    const TMapGrid::Cell last = grid.CellAt(kMapWidth - 1, u.renderer.MapHeight - 1);
    ASSERT_GT(u.renderer.MapHeight, kInitialMapHeight);
    EXPECT_EQ(last.Column, 19);
    EXPECT_EQ(last.Row, 14);
    EXPECT_FALSE(grid.CellAt(kMapWidth - 1, u.renderer.MapHeight).Valid());
    EXPECT_FALSE(grid.CellAt(-1, 10).Valid());
    EXPECT_EQ(grid.CellRect(19, 14), (TRect{19 * 115, grid.RowTop[14], 2300, grid.RowBottom[14]}));

    // A painting that fails keeps the grid of the last complete one.
    u.fabs.Close();
    EXPECT_THROW(PaintMap(u.renderer), EKelvError);
    EXPECT_EQ(u.renderer.Grid.Record(19, 14), 3);
    EXPECT_EQ(u.renderer.Grid.RowBottom[14], grid.RowBottom[14]);
}

}  // namespace
