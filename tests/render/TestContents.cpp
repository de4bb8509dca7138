// Sector contents: the three collections and their drawing.
#include <gtest/gtest.h>

#include "RenderFixture.h"
#include "uKelvRef.h"

namespace {

using Tally = std::vector<std::pair<std::string, int32_t>>;

// Sector Alpha (code 1) with its station, its dock and two Rock Mills.
class AlphaSector : public ::testing::Test {
protected:
    void SetUp() override {
        u.AddSector({.code = 1, .name = "Alpha", .race = 1});
        u.AddResource(10, "Ore");
        u.AddResource(11, "Energy");
        u.AddResource(12, "Food");
        u.AddFab(100, "Alpha Station", 11, 1, "T");
        u.AddFab(101, "Alpha Dock", 12, 1, "D");
        u.AddFab(102, "Rock Mill", 10, 2, "R");
        for (int32_t fab : {100, 101, 102, 102}) u.AddLink(1, fab);
        u.AddFabResource(100, 11);
        u.AddFabResource(101, 12);
        u.AddFabResource(102, 10);
        u.AddFabResource(102, 11);
        u.MakeCurrent(1);
    }
    TestUniverse u;
};

TEST_F(AlphaSector, FullModeLeavesOutStationAndDock) {
    u.renderer.CollectFabs();
    EXPECT_EQ(u.Tally(), (Tally{{"Rock Mill", 2}}));
    EXPECT_EQ(u.query[0].Symbol, "R");
    EXPECT_EQ(u.query[0].Race, 2);
    // The collection does not move the current sector.
    EXPECT_EQ(u.sectors.GetCode(), 1);
}

TEST_F(AlphaSector, ProductModeCountsStationAndDockToo) {
    u.renderer.CollectProducts();
    EXPECT_EQ(u.Tally(), (Tally{{"Ore", 2}, {"Energy", 1}, {"Food", 1}}));
}

TEST_F(AlphaSector, ResourceModeFollowsTheStationRuleReadAtCollection) {
    u.renderer.Mode = TMapMode::Resource;
    u.countStations = true;
    u.renderer.CollectContents();
    EXPECT_EQ(u.Tally(), (Tally{{"Energy", 3}, {"Ore", 2}, {"Food", 1}}));
    u.countStations = false;   // the box changes between two drawings
    u.renderer.CollectContents();
    EXPECT_EQ(u.Tally(), (Tally{{"Energy", 2}, {"Ore", 2}}));
}

TEST_F(AlphaSector, StationNamesMatchByteForByte) {
    EXPECT_EQ(u.renderer.IsNotStationOrDock("Alpha Station"), 0);
    EXPECT_EQ(u.renderer.IsNotStationOrDock("Alpha Dock"), 0);
    EXPECT_EQ(u.renderer.IsNotStationOrDock("alpha Station"), 1);
    EXPECT_EQ(u.renderer.IsNotStationOrDock("Alpha station"), 1);
    EXPECT_EQ(u.renderer.IsNotStationOrDock("Alpha Station "), 1);
    EXPECT_EQ(u.renderer.IsNotStationOrDock("Alpha"), 1);
    EXPECT_EQ(u.renderer.IsNotStationOrDock(""), 1);
}

TEST_F(AlphaSector, OtherModesCollectNothing) {
    u.renderer.CollectFabs();
    for (int32_t mode : {0, 4, -1}) {
        u.renderer.Mode = static_cast<TMapMode>(mode);
        u.renderer.CollectContents();   // leaves the tally as it was
        EXPECT_EQ(u.Tally(), (Tally{{"Rock Mill", 2}})) << mode;
    }
}

TEST(ContentsCollection, FactoryNamedLikeTheStationInOtherCaseCounts) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Alpha"});
    u.AddFab(100, "alpha Station");
    u.AddFab(101, "ALPHA DOCK");
    u.AddLink(1, 100);
    u.AddLink(1, 101);
    u.MakeCurrent(1);
    u.renderer.CollectFabs();
    EXPECT_EQ(u.Tally(), (Tally{{"ALPHA DOCK", 1}, {"alpha Station", 1}}));
}

TEST(ContentsCollection, SectorNamesTooLongForAStationNameCountTheirStation) {
    // Names are stored cut to 32 bytes, so "<25-byte sector> Station" (33
    // bytes) can never equal a factory name; the cut name counts as a factory.
    TestUniverse u;
    const std::string sector(25, 'S');   // its dock name is 30 bytes and still matches
    u.AddSector({.code = 1, .name = sector});
    u.AddFab(100, sector + " Station");
    u.AddFab(101, sector + " Dock");
    u.AddLink(1, 100);
    u.AddLink(1, 101);
    u.MakeCurrent(1);
    u.renderer.CollectFabs();
    EXPECT_EQ(u.Tally(), (Tally{{(sector + " Station").substr(0, 32), 1}}));
}

TEST(ContentsCollection, MissingReferencesGiveEmptyNames) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Alpha"});
    u.AddFab(100, "Rock Mill", 77, 3, "R");   // product 77 has no resource
    u.AddLink(1, 100);
    u.AddLink(1, 555);                        // no such factory
    u.AddFabResource(555, 10);
    u.MakeCurrent(1);

    u.renderer.CollectFabs();
    ASSERT_EQ(u.Tally(), (Tally{{"", 1}, {"Rock Mill", 1}}));
    // A missing factory carries no symbol or race of some other factory.
    EXPECT_EQ(u.query[0].Symbol, "");
    EXPECT_EQ(u.query[0].Race, 0);

    u.renderer.CollectProducts();
    EXPECT_EQ(u.Tally(), (Tally{{"", 2}}));

    u.countStations = false;                  // a missing factory passes the rule
    u.renderer.CollectResources();
    EXPECT_EQ(u.Tally(), (Tally{{"", 1}}));
}

TEST(ContentsCollection, FactoryLinkedTwiceToAResourceCountsTwice) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Alpha"});
    u.AddResource(10, "Ore");
    u.AddFab(100, "Rock Mill");
    u.AddLink(1, 100);
    u.AddFabResource(100, 10, 1);
    u.AddFabResource(100, 10, 2);
    u.MakeCurrent(1);
    u.renderer.CollectResources();
    EXPECT_EQ(u.Tally(), (Tally{{"Ore", 2}}));
}

// Draws one line of a factory list by hand: bold Courier New prefix, then
// the name in Arial, as the list is meant to look.
void ReferenceLine(TPicture& ref, int32_t x, int32_t y, const std::string& prefix, const std::string& name) {
    ref.SetFont(TFontState{"Courier New", 8, true, kWhite});
    const int32_t w = ref.TextWidth(prefix);
    ref.TextOut(x, y, prefix);
    ref.SetFont(TFontState{"Arial", 8, false, kWhite});
    ref.TextOut(x + w, y, name);
}

// Paints background, title and list of sector 1 in the cell of column x,
// and the same by hand with the expected lines.
void CompareFabList(TestUniverse& u, int32_t x, TColor race, const std::vector<std::pair<std::string, std::string>>& lines) {
    u.MakeCurrent(1);
    const TRect cell{x * 115, 20, x * 115 + 115, 140};
    u.renderer.Mode = TMapMode::Full;
    u.renderer.SetCellRect(cell);
    u.renderer.DrawBackground();
    u.renderer.DrawTitle();
    u.renderer.CollectContents();
    u.renderer.DrawContents();

    TPicture ref(kMapWidth, 300);
    ref.SetBrushColor(kWhite);
    ref.FillRect(cell);
    ref.SetBrushColor(race);
    ref.FillRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
    ref.SetFont(TFontState{"Arial", 9, true, kWhite});
    const std::string name = u.sectors.GetName();
    ref.TextOut(cell.Left + (115 - ref.TextWidth(name)) / 2, cell.Top + 2, name);
    ref.SetFont(TFontState{"Arial", 8, false, kWhite});
    const int32_t pitch = ref.TextHeight("w") - 2;
    for (size_t i = 0; i < lines.size(); ++i)
        ReferenceLine(ref, cell.Left + 4, cell.Top + TitleBand() + static_cast<int32_t>(i) * pitch, lines[i].first,
                      lines[i].second);
    EXPECT_EQ(CountDifferences(u.renderer.Image, ref, {0, 0, kMapWidth, 300}), 0);
}

TEST(ContentsFabList, LinesCarrySymbolCountAndNameInTallyOrder) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Beta", .race = 2, .x = 3});
    u.AddFab(100, "Solar Plant", 0, 1, "S");
    u.AddFab(101, "Rock Mill", 0, 1, "R");
    u.AddFab(102, "Quarry", 0, 1, "");        // empty symbol: prefix starts with the space
    for (int32_t fab : {100, 101, 101, 101, 102}) u.AddLink(1, fab);
    CompareFabList(u, 3, RaceColors[1], {{"R 3 ", "Rock Mill"}, {" 1 ", "Quarry"}, {"S 1 ", "Solar Plant"}});
}

TEST(ContentsFabList, PirateSectorsAddTheFactoryRaceInitial) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Haven", .race = 7, .x = 1});
    u.AddFab(100, "Rock Mill", 0, 1, "R");    // Velor
    u.AddFab(101, "Rock Mill", 0, 2, "M");    // same name, Murel: merged, keeps the first
    u.AddFab(102, "Farm", 0, 12, "F");        // race outside the table: Unknown
    for (int32_t fab : {100, 101, 102}) u.AddLink(1, fab);
    CompareFabList(u, 1, RaceColors[6], {{"R 2 V ", "Rock Mill"}, {"F 1 U ", "Farm"}});
}

TEST(ContentsFabList, OtherSectorsShowNoInitial) {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Calm", .race = 6});
    u.AddFab(100, "Farm", 0, 7, "F");
    u.AddLink(1, 100);
    CompareFabList(u, 0, RaceColors[5], {{"F 1 ", "Farm"}});
}

class SelectedCount : public ::testing::Test {
protected:
    void SetUp() override {
        u.AddSector({.code = 1, .name = "Alpha", .race = 3, .x = 4});
        u.AddResource(10, "Ore");
        u.AddResource(11, "ore");
        u.AddFab(100, "Mine A", 10);
        u.AddFab(101, "Mine B", 11);
        u.AddFab(102, "Nowhere", 99);
        for (int32_t fab : {100, 100, 100, 101, 102, 102}) u.AddLink(1, fab);
        u.MakeCurrent(1);
        u.renderer.Mode = TMapMode::Product;
    }
    // Paints the cell's background and contents; returns the picture drawn by
    // hand with `text` centred (nothing when empty).
    TPicture Paint(const TRect& cell, const std::string& text) {
        u.renderer.SetCellRect(cell);
        u.renderer.DrawBackground();
        u.renderer.Image.SetFont(TFontState{"Arial", 9, false, kWhite});
        u.renderer.CollectContents();
        u.renderer.DrawContents();
        TPicture ref(kMapWidth, 400);
        ref.SetBrushColor(kWhite);
        ref.FillRect(cell);
        ref.SetBrushColor(RaceColors[2]);
        ref.FillRect(cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2);
        if (!text.empty()) {
            ref.SetFont(TFontState{"Arial", 48, false, kWhite});
            ref.TextOut(cell.Left + (cell.Width() - ref.TextWidth(text)) / 2,
                        cell.Top + (cell.Height() - ref.TextHeight(text)) / 2, text);
        }
        return ref;
    }
    TestUniverse u;
};

TEST_F(SelectedCount, CountIsCentredOnTheWholeCell) {
    u.renderer.SelectedName = "Ore";
    const TRect cell{460, 100, 575, 211};   // odd height: the centre truncates
    EXPECT_EQ(CountDifferences(u.renderer.Image, Paint(cell, "3"), {0, 0, kMapWidth, 400}), 0);
}

TEST_F(SelectedCount, NameMatchesExactlyOrNothingIsDrawn) {
    u.renderer.SelectedName = "ORE";
    const TRect cell{460, 100, 575, 210};
    EXPECT_EQ(CountDifferences(u.renderer.Image, Paint(cell, ""), {0, 0, kMapWidth, 400}), 0);
}

TEST_F(SelectedCount, EmptyNameMatchesTheEmptyItem) {
    u.renderer.SelectedName.clear();
    const TRect cell{460, 100, 575, 210};
    EXPECT_EQ(CountDifferences(u.renderer.Image, Paint(cell, "2"), {0, 0, kMapWidth, 400}), 0);
}

}  // namespace
