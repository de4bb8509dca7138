#include <gtest/gtest.h>

#include "KelvErrors.h"
#include "UniverseTestSupport.h"
#include "uSectors.h"

namespace {

std::string Join(std::initializer_list<std::string> cols) {
    std::string s;
    bool first = true;
    for (const std::string& c : cols) {
        if (!first) s += '\t';
        first = false;
        s += c;
    }
    return s;
}

std::string SectorLine(int code, const std::string& name = "Sector", int x = 1, int y = 2) {
    return Join({std::to_string(code), name, "3", std::to_string(x), std::to_string(y), "92", "1", "92", "1",
                 "1", "0", "0", "1", "0"});
}

class ImportFormats : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ImportFormats, CrLfAndLfLineEndsAndOptionalFinalLineEnd) {
    TResources r;
    r.CreateDB(dir.File("Resources.dat"));
    for (const std::string& text : {std::string("1\tOre\r\n2\tIce\r\n3\tGas\r\n"),
                                    std::string("1\tOre\n2\tIce\n3\tGas"),
                                    std::string("1\tOre\r\n2\tIce\n3\tGas\r\n")}) {
        r.LoadFromText(dir.Write("resources.txt", text));
        EXPECT_EQ(Column(r, "Code"), (std::vector<int32_t>{1, 2, 3}));
        EXPECT_EQ(TextColumn(r, "Name"), (std::vector<std::string>{"Ore", "Ice", "Gas"}));
    }
    // A CR that is not part of a line end stays in the text.
    r.LoadFromText(dir.Write("resources.txt", "1\tO\rre\n"));
    EXPECT_EQ(TextColumn(r, "Name"), (std::vector<std::string>{"O\rre"}));
}

TEST_F(ImportFormats, ByteX1AAtStartOfLineEndsInput) {
    TResources r;
    r.CreateDB(dir.File("Resources.dat"));
    r.LoadFromText(dir.Write("resources.txt", std::string("1\tOre\r\n2\tIce\r\n\x1A") + "garbage\r\n\r\n"));
    EXPECT_EQ(r.RecordCount(), 2);
    // Inside a name it is an ordinary byte.
    r.LoadFromText(dir.Write("resources.txt", std::string("1\tO\x1Are\r\n")));
    EXPECT_EQ(TextColumn(r, "Name"), (std::vector<std::string>{"O\x1Are"}));
}

TEST_F(ImportFormats, EmptyFileGivesEmptyTable) {
    TFabs f;
    f.CreateDB(dir.File("Fabs.dat"));
    f.LoadFromText(dir.Write("fabs.txt", "1\tMine\t5\t1\tM\n"));
    ASSERT_EQ(f.RecordCount(), 1);
    f.LoadFromText(dir.Write("fabs.txt", ""));
    EXPECT_EQ(f.RecordCount(), 0);
    EXPECT_EQ(FileSize(dir.File("Fabs.dat")), 32u + 48u * 5u);
}

TEST_F(ImportFormats, SectorsReadAtMost300Lines) {
    std::string text;
    for (int i = 1; i <= 305; ++i) text += SectorLine(i) + "\r\n";
    text += "not a number\r\n";  // never read
    TSectors s;
    s.CreateDB(dir.File("Sectors.dat"));
    s.LoadFromText(dir.Write("sectors.txt", text));
    ASSERT_EQ(s.RecordCount(), 300);
    s.GoToRecord(299);
    EXPECT_EQ(s.GetCode(), 300);

    // The other tables have no such limit.
    std::string links;
    for (int i = 1; i <= 305; ++i) links += "x\t" + std::to_string(i) + "\t7\r\n";
    TSectorsFabs sf;
    sf.CreateDB(dir.File("SectorsFabs.dat"));
    sf.LoadFromText(dir.Write("sector fabs.txt", links));
    EXPECT_EQ(sf.RecordCount(), 305);
}

TEST_F(ImportFormats, SectorColumnsFourToNineEmptyMeanZero) {
    TSectors s;
    s.CreateDB(dir.File("Sectors.dat"));
    s.LoadFromText(dir.Write("sectors.txt", "17\tLone Drift\t4\t\t\t\t\t\t\t1\t0\t1\t0\t0\r\n"));
    ASSERT_EQ(s.RecordCount(), 1);
    s.GoToRecord(0);
    EXPECT_EQ(s.GetCode(), 17);
    EXPECT_EQ(s.GetName(), "Lone Drift");
    EXPECT_EQ(s.GetRace(), 4);
    EXPECT_EQ(s.GetX(), 0);
    EXPECT_EQ(s.GetFieldValue("y").AsInteger(), 0);
    EXPECT_EQ(s.GetRight(), 0);
    EXPECT_EQ(s.GetDown(), 0);
    EXPECT_EQ(s.GetLeft(), 0);
    EXPECT_EQ(s.GetUp(), 0);
    EXPECT_EQ(s.GetFieldValue("Trading").AsInteger(), 1);
    EXPECT_EQ(s.GetFieldValue("Shipyard").AsInteger(), 1);
}

TEST_F(ImportFormats, EmptyMeansZeroOnlyWhereAllowed) {
    TSectors s;
    s.CreateDB(dir.File("Sectors.dat"));
    const std::string good = SectorLine(1) + "\r\n";
    // Blank race (column 3), only 13 columns, spaces in column 5, empty code.
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"2\tX\t\t1\t1\t1\t1\t1\t1\t0\t0\t0\t0\t0", "''"},
        {"2\tX\t1\t1\t1\t1\t1\t1\t1\t0\t0\t0\t0", "''"},
        {"2\tX\t1\t1\t  \t1\t1\t1\t1\t0\t0\t0\t0\t0", "'  '"},
        {"\tX\t1\t1\t1\t1\t1\t1\t1\t0\t0\t0\t0\t0", "''"},
    };
    for (const auto& [line, quoted] : bad) {
        try {
            s.LoadFromText(dir.Write("sectors.txt", good + line + "\r\n"));
            ADD_FAILURE() << "accepted " << line;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), quoted + " is not a valid integer value");
        }
        EXPECT_EQ(s.RecordCount(), 1);
    }
    // Other tables have no empty-means-0 rule.
    TFabsResources fr;
    fr.CreateDB(dir.File("FabsResources.dat"));
    EXPECT_THROW(fr.LoadFromText(dir.Write("fabs resources.txt", "1\t2\t\r\n")), EConvertError);
    EXPECT_EQ(fr.RecordCount(), 0);
}

TEST_F(ImportFormats, ExtraColumnsAreIgnoredAndTextIsCut) {
    TFabs f;
    f.CreateDB(dir.File("Fabs.dat"));
    const std::string longName(40, 'N');
    f.LoadFromText(dir.Write("fabs.txt", "5\t" + longName + "\t12\t2\tWXYZ\textra\tmore\r\n"
                                         "6\t  Spaced Name \t-1\t7\t\r\n"));
    ASSERT_EQ(f.RecordCount(), 2);
    f.GoToRecord(0);
    EXPECT_EQ(f.GetFieldValue("Name").AsString(), std::string(32, 'N'));
    EXPECT_EQ(f.GetFieldValue("Symbol").AsString(), "W");
    EXPECT_EQ(f.GetFieldValue("Product").AsInteger(), 12);
    EXPECT_EQ(f.GetFieldValue("Race").AsInteger(), 2);
    f.GoToRecord(1);
    EXPECT_EQ(f.GetFieldValue("Name").AsString(), "  Spaced Name ");  // blanks kept
    EXPECT_EQ(f.GetFieldValue("Symbol").AsString(), "");
}

TEST_F(ImportFormats, SectorFabsIgnoresFirstColumn) {
    TSectorsFabs sf;
    sf.CreateDB(dir.File("SectorsFabs.dat"));
    sf.LoadFromText(dir.Write("sector fabs.txt", "whatever\t10\t20\r\n\t11\t21\r\n-5\t12\t22"));
    EXPECT_EQ(Column(sf, "Sector"), (std::vector<int32_t>{10, 11, 12}));
    EXPECT_EQ(Column(sf, "Fab"), (std::vector<int32_t>{20, 21, 22}));
}

TEST_F(ImportFormats, FabsResourcesThreeColumns) {
    TFabsResources fr;
    fr.CreateDB(dir.File("FabsResources.dat"));
    fr.LoadFromText(dir.Write("fabs resources.txt", "1\t2\t0\r\n1\t3\t1\r\n"));
    EXPECT_EQ(Column(fr, "Fab"), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(Column(fr, "Resource"), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(Column(fr, "Type"), (std::vector<int32_t>{0, 1}));
}

TEST_F(ImportFormats, VeryLongLinesAcrossReadBlocks) {
    // A line far longer than one read block, between two normal ones.
    const std::string hugeTail(3 << 20, 'z');
    TResources r;
    r.CreateDB(dir.File("Resources.dat"));
    r.LoadFromText(dir.Write("resources.txt", "1\tOre\r\n2\tIce\t" + hugeTail + "\r\n3\tGas"));
    EXPECT_EQ(Column(r, "Code"), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(TextColumn(r, "Name"), (std::vector<std::string>{"Ore", "Ice", "Gas"}));
}

TEST_F(ImportFormats, DuplicateCodesKeptInLineOrderAndRerunIsIdempotent) {
    TResources r;
    r.CreateDB(dir.File("Resources.dat"));
    const std::string path = dir.Write("resources.txt", "4\tFirst\r\n4\tSecond\r\n5\tThird\r\n");
    r.LoadFromText(path);
    const auto size1 = FileSize(dir.File("Resources.dat"));
    r.LoadFromText(path);
    EXPECT_EQ(FileSize(dir.File("Resources.dat")), size1);
    EXPECT_EQ(TextColumn(r, "Name"), (std::vector<std::string>{"First", "Second", "Third"}));

    // What was written through is what a fresh open reads.
    r.Close();
    TResources again;
    ASSERT_EQ(again.Open(dir.File("Resources.dat")), TOpenStatus::Opened);
    EXPECT_TRUE(again.MatchesSchema());
    EXPECT_EQ(TextColumn(again, "Name"), (std::vector<std::string>{"First", "Second", "Third"}));
}

TEST_F(ImportFormats, CreateDBReplacesContentAndSetsSchema) {
    TSectors s;
    s.CreateDB(dir.File("Sectors.dat"));
    s.LoadFromText(dir.Write("sectors.txt", SectorLine(1) + "\r\n" + SectorLine(2) + "\r\n"));
    ASSERT_EQ(s.RecordCount(), 2);
    s.CreateDB(dir.File("Sectors.dat"));
    EXPECT_TRUE(s.Opened());
    EXPECT_TRUE(s.MatchesSchema());
    EXPECT_EQ(s.RecordCount(), 0);
    EXPECT_EQ(s.Fields().Count(), 14);
    EXPECT_EQ(s.Fields()[1].FieldName, "Name");
    EXPECT_EQ(s.Fields()[1].FieldSize, 33);
    EXPECT_EQ(s.Fields()[3].FieldName, "x");
    EXPECT_EQ(FileSize(dir.File("Sectors.dat")), 32u + 48u * 14u);

    // Each class has its own schema; one class's file does not match another.
    TFabs f;
    ASSERT_EQ(f.Open(dir.File("Sectors.dat")), TOpenStatus::Opened);
    EXPECT_FALSE(f.MatchesSchema());
}

TEST_F(ImportFormats, CreateDBInMissingFolderFailsAndLeavesTableClosed) {
    TResources r;
    EXPECT_THROW(r.CreateDB(dir.File("no/such/folder/Resources.dat")), EInOutError);
    EXPECT_FALSE(r.Opened());
    EXPECT_EQ(r.Fields().Count(), 0);
}

}  // namespace
