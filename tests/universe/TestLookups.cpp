#include <gtest/gtest.h>

#include "UniverseTestSupport.h"
#include "uSectors.h"

namespace {

class Lookups : public ::testing::Test {
protected:
    void SetUp() override {
        fabs.CreateDB(dir.File("Fabs.dat"));
        fabs.LoadFromText(dir.Write("fabs.txt",
                                    "100\tOre Mine\t1\t1\tM\r\n"
                                    "200\tCrystal Farm\t2\t4\tC\r\n"
                                    "100\tDuplicate Mine\t9\t6\tD\r\n"
                                    "300\tHull Works\t3\t7\tH\r\n"));
        resources.CreateDB(dir.File("Resources.dat"));
        resources.LoadFromText(dir.Write("resources.txt",
                                         "1\tOre\r\n2\t" + std::string(32, 'R') + "\r\n1\tOre Again\r\n"));
    }
    TempDir dir;
    TFabs fabs;
    TResources resources;
};

TEST_F(Lookups, FoundRecordBecomesCurrent) {
    EXPECT_EQ(fabs.FabName(200), "Crystal Farm");
    EXPECT_EQ(fabs.CurrentIndex(), 1);
    EXPECT_EQ(fabs.GetFieldValue("Symbol").AsString(), "C");
    EXPECT_EQ(fabs.GetFieldValue("Race").AsInteger(), 4);
    EXPECT_EQ(fabs.FabProduct(300), 3);
    EXPECT_EQ(fabs.GetFieldValue("Symbol").AsString(), "H");
}

TEST_F(Lookups, FirstOfDuplicateCodesWins) {
    EXPECT_EQ(fabs.FabName(100), "Ore Mine");
    EXPECT_EQ(fabs.FabProduct(100), 1);
    EXPECT_EQ(fabs.CurrentIndex(), 0);
    EXPECT_EQ(resources.ResourceName(1), "Ore");
}

TEST_F(Lookups, AbsentCodeLeavesCurrentRecord) {
    fabs.GoToRecord(3);
    EXPECT_EQ(fabs.FabProduct(999), -1);
    EXPECT_EQ(fabs.FabName(999), "");
    EXPECT_EQ(fabs.CurrentIndex(), 3);
    EXPECT_EQ(fabs.GetFieldValue("Name").AsString(), "Hull Works");
    resources.GoToRecord(2);
    EXPECT_EQ(resources.ResourceName(-5), "");
    EXPECT_EQ(resources.CurrentIndex(), 2);
}

TEST_F(Lookups, FullLengthNameComesBackWhole) {
    EXPECT_EQ(resources.ResourceName(2), std::string(32, 'R'));
}

TEST_F(Lookups, LookupDoesNotDisturbASearchOnAnotherTable) {
    TSectorsFabs links;
    links.CreateDB(dir.File("SectorsFabs.dat"));
    links.LoadFromText(dir.Write("sector fabs.txt", "0\t7\t100\r\n0\t8\t200\r\n0\t7\t300\r\n0\t7\t100\r\n"));
    std::vector<std::string> names;
    for (int32_t n = links.Locate("Sector", 7); n != -1; n = links.FindNext()) {
        links.GoToRecord(n);
        names.push_back(fabs.FabName(links.GetFieldValue("Fab").AsInteger()));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Ore Mine", "Hull Works", "Ore Mine"}));
}

TEST_F(Lookups, SectorAccessorsReadCurrentRecord) {
    TSectors s;
    s.CreateDB(dir.File("Sectors.dat"));
    s.LoadFromText(dir.Write("sectors.txt",
                             "5\tAmber Reach\t2\t3\t4\t92\t6\t7\t92\t1\t1\t0\t0\t0\r\n"
                             "6\tFar\t11\t19\t14\t1\t2\t3\t4\t0\t0\t1\t1\t1\r\n"));
    s.GoToRecord(1);
    EXPECT_EQ(s.GetCode(), 6);
    EXPECT_EQ(s.GetName(), "Far");
    EXPECT_EQ(s.GetRace(), 11);  // not range-checked on import
    EXPECT_EQ(s.GetX(), 19);
    EXPECT_EQ(s.GetRight(), 1);
    EXPECT_EQ(s.GetDown(), 2);
    EXPECT_EQ(s.GetLeft(), 3);
    EXPECT_EQ(s.GetUp(), 4);
    s.GoToRecord(0);
    EXPECT_EQ(s.GetName(), "Amber Reach");
    EXPECT_EQ(s.GetRight(), 92);
    EXPECT_EQ(s.GetUp(), 92);
    EXPECT_EQ(s.CurrentIndex(), 0);

    // On a new record the engine yields the empty value: 0 and "".
    s.AppendRecord();
    EXPECT_EQ(s.GetCode(), 0);
    EXPECT_EQ(s.GetName(), "");
    EXPECT_EQ(s.GetUp(), 0);
}

}  // namespace
