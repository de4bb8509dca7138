#include <unistd.h>

#include <gtest/gtest.h>

#include "Needs.h"
#include "uKelvRef.h"

namespace {

TEST(RaceTable, NamesAndColoursPerRace) {
    const char* names[] = {"Velor", "Murel", "Hoskari", "Drenn", "Quorim", "Zelth", "Pirate", "Ostev", "Unknown"};
    const uint32_t colours[] = {0xB09A00, 0x7A123C, 0x00767B, 0x6DA3CA, 0x21740A,
                                0x0700C4, 0x2F5BED, 0xFFFFFF, 0x464947};
    for (int race = 1; race <= 9; ++race) {
        EXPECT_STREQ(RaceNames[race - 1], names[race - 1]);
        EXPECT_EQ(RaceColors[race - 1], colours[race - 1]);
        EXPECT_EQ(RaceColor(race), colours[race - 1]);
        EXPECT_EQ(RaceInitial(race), names[race - 1][0]);
        EXPECT_TRUE(IsKnownRace(race));
    }
    // Velor as 0xBBGGRR: red 0, green 154, blue 176.
    EXPECT_EQ(RaceColor(1) & 0xFF, 0u);
    EXPECT_EQ((RaceColor(1) >> 8) & 0xFF, 154u);
    EXPECT_EQ((RaceColor(1) >> 16) & 0xFF, 176u);
}

TEST(RaceTable, RaceOutsideTheTableFallsBackToUnknown) {
    for (int race : {0, -1, 10, 92, INT32_MIN, INT32_MAX}) {
        EXPECT_FALSE(IsKnownRace(race));
        EXPECT_EQ(RaceColor(race), 0x464947u) << race;
        EXPECT_EQ(RaceInitial(race), 'U') << race;
        EXPECT_STREQ(RaceName(race), "Unknown") << race;
    }
}

TEST(Paths, AppDirIsTheExecutablesFolder) {
    const std::string& dir = AppDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    // This test binary lives there.
    EXPECT_EQ(access((dir + "kelv_universe_tests").c_str(), X_OK), 0) << dir;
    EXPECT_EQ(&AppDir(), &dir);  // computed once
}

TEST(Paths, DataDirEndsWithTheSeparator) {
    const std::string before = DataDir();
    EXPECT_EQ(DefaultDataDir(), AppDir() + "Data/");
    SetDataDir("/tmp/some/Data");
    EXPECT_EQ(DataDir(), "/tmp/some/Data/");
    SetDataDir("/tmp/other/");
    EXPECT_EQ(DataDir(), "/tmp/other/");
    EXPECT_EQ(DataDir() + "sectors.txt", "/tmp/other/sectors.txt");
    SetDataDir(before);
}

}  // namespace
