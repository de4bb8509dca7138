// One sector cell: frame and fill, gates, title lines, station marks.
#include <gtest/gtest.h>

#include "RenderFixture.h"
#include "uKelvRef.h"

namespace {

constexpr TColor kBlack = 0x000000;

// Expected colour of a pixel of the worked example: column 2, rows 100 to
// 190, gates on all four sides.
TColor ExampleColour(int32_t x, int32_t y, TColor race) {
    auto in = [&](int32_t l, int32_t t, int32_t r, int32_t b) { return x >= l && x < r && y >= t && y < b; };
    if (!in(230, 100, 345, 190)) return kBlack;
    if (in(232, 102, 343, 188)) return race;
    if (in(343, 130, 345, 160) || in(268, 188, 307, 190) || in(230, 130, 232, 160) || in(268, 100, 307, 102))
        return race;
    return kWhite;
}

TEST(SectorCellGeometry, WorkedExamplePixelForPixel) {
    TestUniverse u;
    u.AddSector({.code = 5, .race = 3, .x = 2, .right = 0, .down = 4, .left = 7, .up = 0});
    u.MakeCurrent(5);
    TPicture& image = u.renderer.Image;
    image.SetBrushColor(kBlack);
    image.FillRect(0, 0, 600, 300);
    u.renderer.SetCellRect({230, 100, 345, 190});
    u.renderer.DrawBackground();
    u.renderer.DrawGates();
    int wrong = 0;
    for (int32_t y = 90; y < 200; ++y)
        for (int32_t x = 220; x < 355; ++x)
            if (image.Pixel(x, y) != ExampleColour(x, y, RaceColors[2])) ++wrong;
    EXPECT_EQ(wrong, 0);
    // The brush stays at the race colour for the rest of the cell.
    EXPECT_EQ(image.BrushColor(), RaceColors[2]);
}

TEST(SectorCellGates, ZeroDrawsAGateAndOnly92SuppressesIt) {
    struct Case {
        int32_t right, down, left, up;
    };
    // Probe pixels in the middle of each gate strip of a 90-pixel cell at x 0.
    const TRect cell{0, 0, 115, 90};
    for (const Case c : {Case{0, 92, 92, 92}, Case{92, 0, 92, 92}, Case{92, 92, 0, 92}, Case{92, 92, 92, 0},
                         Case{92, 92, 92, 92}, Case{-1, 1, 91, 93}}) {
        TestUniverse u;
        u.AddSector({.code = 1, .race = 1, .right = c.right, .down = c.down, .left = c.left, .up = c.up});
        u.MakeCurrent(1);
        u.renderer.SetCellRect(cell);
        u.renderer.DrawBackground();
        u.renderer.DrawGates();
        const TColor race = RaceColors[0];
        const TPicture& p = u.renderer.Image;
        EXPECT_EQ(p.Pixel(114, 45) == race, c.right != 92) << c.right;
        EXPECT_EQ(p.Pixel(57, 89) == race, c.down != 92) << c.down;
        EXPECT_EQ(p.Pixel(0, 45) == race, c.left != 92) << c.left;
        EXPECT_EQ(p.Pixel(57, 0) == race, c.up != 92) << c.up;
    }
}

TEST(SectorCellGates, SideGatesCoverTheMiddleThirdOfA90PixelCell) {
    TestUniverse u;
    u.AddSector({.code = 1, .race = 4, .right = 0, .left = 0});
    u.MakeCurrent(1);
    u.renderer.SetCellRect({115, 10, 230, 100});
    u.renderer.DrawBackground();
    u.renderer.DrawGates();
    const TPicture& p = u.renderer.Image;
    const TColor race = RaceColors[3];
    for (int32_t x : {115, 116, 228, 229}) {
        EXPECT_EQ(p.Pixel(x, 39), kWhite) << x;   // T + 30 - 1
        EXPECT_EQ(p.Pixel(x, 40), race) << x;     // T + 30
        EXPECT_EQ(p.Pixel(x, 69), race) << x;     // B - 31
        EXPECT_EQ(p.Pixel(x, 70), kWhite) << x;   // B - 30
    }
}

TEST(SectorCellColour, RaceOutsideTheTableGetsTheUnknownColour) {
    for (int32_t race : {0, 10, -3, 92}) {
        TestUniverse u;
        u.AddSector({.code = 1, .race = race});
        u.MakeCurrent(1);
        u.renderer.SetCellRect({0, 0, 115, 60});
        u.renderer.DrawBackground();
        EXPECT_EQ(u.renderer.Image.Pixel(50, 30), RaceColors[8]) << race;
    }
}

// Paints only the title of sector 1 into a cell and returns the picture.
class TitleTest : public ::testing::Test {
protected:
    void PaintTitle(const std::string& name, const TRect& cell) {
        u.AddSector({.code = 1, .name = name, .race = 2});
        u.MakeCurrent(1);
        u.renderer.SetCellRect(cell);
        u.renderer.DrawBackground();
        u.renderer.DrawTitle();
    }
    // The same cell drawn by hand with the given lines.
    TPicture Reference(const std::string& line1, const std::string& line2, const TRect& cell) {
        TPicture ref(u.renderer.Image.Width(), 200);
        ref.SetBrushColor(kWhite);
        ref.FillRect(cell);
        ref.SetBrushColor(RaceColors[1]);
        ref.FillRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
        ref.SetFont(TFontState{"Arial", 9, true, kWhite});
        const int32_t w = cell.Width();
        ref.TextOut(cell.Left + (w - ref.TextWidth(line1)) / 2, cell.Top + 2, line1);
        if (!line2.empty())
            ref.TextOut(cell.Left + (w - ref.TextWidth(line2)) / 2, cell.Top + 2 + ref.TextHeight("W"), line2);
        return ref;
    }
    TestUniverse u;
};

TEST_F(TitleTest, ShortNameStaysOnOneCentredLineAndTheFontEndsRegular) {
    const TRect cell{115, 0, 230, 80};
    PaintTitle("Beta", cell);
    EXPECT_EQ(CountDifferences(u.renderer.Image, Reference("Beta", "", cell), {0, 0, 400, 100}), 0);
    EXPECT_EQ(u.renderer.Image.Font(), (TFontState{"Arial", 9, false, kWhite}));
}

TEST_F(TitleTest, WidthLimitIsTheCellWidthLessFour) {
    // The rule compares the name's width with W - 4, so the cell width is
    // chosen around the measured width of the name.
    TPicture probe(1, 1);
    probe.SetFont(TFontState{"Arial", 9, true, kWhite});
    const std::string name = "Rock Mill";
    const int32_t w = probe.TextWidth(name);
    {
        TestUniverse one;
        one.AddSector({.code = 1, .name = name, .race = 2});
        one.MakeCurrent(1);
        one.renderer.SetCellRect({0, 0, w + 5, 80});   // w < W - 4: one line
        one.renderer.DrawBackground();
        one.renderer.DrawTitle();
        EXPECT_EQ(CountDifferences(one.renderer.Image, Reference(name, "", {0, 0, w + 5, 80}), {0, 0, 300, 100}), 0);
    }
    PaintTitle(name, {0, 0, w + 4, 80});                 // w = W - 4: two lines
    EXPECT_EQ(CountDifferences(u.renderer.Image, Reference("Rock", " Mill", {0, 0, w + 4, 80}), {0, 0, 300, 100}),
              0);
}

TEST_F(TitleTest, LongNameBreaksAtTheFirstSpaceOnly) {
    const TRect cell{230, 0, 345, 80};
    PaintTitle("Very Long Sector Name", cell);
    EXPECT_EQ(CountDifferences(u.renderer.Image, Reference("Very", " Long Sector Name", cell), {0, 0, 600, 100}),
              0);
}

TEST_F(TitleTest, WideNameWithoutSpaceOverflowsBothSides) {
    const TRect cell{230, 0, 345, 80};
    PaintTitle("Transdimensionalinterchange", cell);
    EXPECT_EQ(CountDifferences(u.renderer.Image, Reference("Transdimensionalinterchange", "", cell),
                               {0, 0, 600, 100}),
              0);
    // The single line's opaque box runs past the cell on both sides.
    const int32_t h = FontHeight("Arial", 9, true);
    EXPECT_GT(CountColour(u.renderer.Image, {220, 2, 230, 2 + h}, RaceColors[1]), 0);
    EXPECT_GT(CountColour(u.renderer.Image, {345, 2, 355, 2 + h}, RaceColors[1]), 0);
}

TEST(SectorCellBand, TitleBandIsTwoArialBoldLinesAndLeavesTheFontAlone) {
    TestUniverse u;
    const TFontState before{"Courier New", 8, true, 0x123456};
    u.renderer.Image.SetFont(before);
    EXPECT_EQ(u.renderer.TitleBandHeight(), TitleBand());
    EXPECT_EQ(u.renderer.Image.Font(), before);
}

TEST(SectorCellMarks, MarksStackInOrderWithoutGapsForMissingOnes) {
    TestUniverse u;
    u.AddSector({.code = 1, .race = 5, .trading = 2, .dock = 1, .shipyard = 0, .shipyardLight = 3, .pirateBase = 1});
    u.MakeCurrent(1);
    const TRect cell{115, 50, 230, 150};
    u.renderer.SetCellRect(cell);
    u.renderer.DrawBackground();
    u.renderer.Image.SetFont(TFontState{"Arial", 9, false, kWhite});
    u.renderer.DrawStationMarks();

    TPicture ref(400, 200);
    ref.SetBrushColor(kWhite);
    ref.FillRect(cell);
    ref.SetBrushColor(RaceColors[4]);
    ref.FillRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
    ref.SetFont(TFontState{"Courier New", 8, true, kWhite});
    const int32_t y = cell.Top + TitleBand();
    const int32_t pitch = ref.TextHeight("DK") - 2;
    ref.TextOut(cell.Right - ref.TextWidth("DK") - 4, y, "DK");
    ref.TextOut(cell.Right - ref.TextWidth("PB") - 4, y + pitch, "PB");
    EXPECT_EQ(CountDifferences(u.renderer.Image, ref, {0, 0, 400, 200}), 0);
    EXPECT_TRUE(u.renderer.Image.Font().Bold);
}

TEST(SectorCellMarks, NoMarkLeavesTheStyleAlone) {
    TestUniverse u;
    u.AddSector({.code = 1, .trading = 2});
    u.MakeCurrent(1);
    u.renderer.SetCellRect({0, 0, 115, 80});
    u.renderer.DrawBackground();
    u.renderer.Image.SetFont(TFontState{"Arial", 9, false, kWhite});
    u.renderer.DrawStationMarks();
    EXPECT_EQ(u.renderer.Image.Font(), (TFontState{"Courier New", 8, false, kWhite}));
    EXPECT_EQ(CountColour(u.renderer.Image, {4, 4, 111, 76}, kWhite), 0);
}

TEST(SectorSearch, FirstRecordAtThePositionIsFound) {
    TestUniverse u;
    u.AddSector({.code = 1, .x = 3, .y = 4});
    u.AddSector({.code = 2, .x = 4, .y = 3});
    u.AddSector({.code = 3, .x = 3, .y = 4});
    u.AddSector({.code = 4, .x = 3, .y = 5});
    ASSERT_TRUE(u.renderer.FindSector(3, 4));
    EXPECT_EQ(u.sectors.GetCode(), 1);
    ASSERT_TRUE(u.renderer.FindSector(3, 5));
    EXPECT_EQ(u.sectors.GetCode(), 4);
    EXPECT_FALSE(u.renderer.FindSector(4, 4));
    EXPECT_FALSE(u.renderer.FindSector(19, 14));
}

}  // namespace
