
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "CliProcess.h"
#include "UniverseTestSupport.h"
#include "uSectors.h"

namespace {

using clitest::RunResult;
using clitest::Slurp;

RunResult RunCli(const TempDir& scratch, const std::string& args) {
    return clitest::RunCli(KELV_CLI, args, scratch.File("cli.out"), scratch.File("cli.err"));
}

// Lines a text export contributes: up to the end, or a 0x1A at a line start.
int32_t ExportLines(const std::string& path) {
    const std::string text = Slurp(path);
    int32_t lines = 0;
    size_t pos = 0;
    while (pos < text.size() && text[pos] != '\x1A') {
        ++lines;
        const size_t lf = text.find('\n', pos);
        if (lf == std::string::npos) break;
        pos = lf + 1;
    }
    return lines;
}

class CliImport : public ::testing::Test {
protected:
    TempDir data;     // the DATADIR given to the command
    TempDir scratch;  // captured output
    std::string Quoted() const { return "'" + data.Path() + "'"; }
};

TEST_F(CliImport, SampleUniverseImportsWithFiveCounts) {
    for (const char* name : {"sectors.txt", "resources.txt", "fabs.txt", "sector fabs.txt", "fabs resources.txt"})
        std::filesystem::copy_file(std::string(KELV_SAMPLE_DIR) + "/" + name, data.File(name));

    const int32_t sectors = std::min(ExportLines(data.File("sectors.txt")), TSectors::kMaxLines);
    const std::string expected = "Sectors: " + std::to_string(sectors) + "\n" +
                                 "Resources: " + std::to_string(ExportLines(data.File("resources.txt"))) + "\n" +
                                 "Fabs: " + std::to_string(ExportLines(data.File("fabs.txt"))) + "\n" +
                                 "SectorsFabs: " + std::to_string(ExportLines(data.File("sector fabs.txt"))) + "\n" +
                                 "FabsResources: " + std::to_string(ExportLines(data.File("fabs resources.txt"))) + "\n";
    RunResult first = RunCli(scratch, "import " + Quoted());
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, expected);
    EXPECT_EQ(first.err, "");
    EXPECT_GE(sectors, 200);

    // Again, over the existing tables, one of which a crash left with a
    // partial record at its end: it is cut off, said, and the result is the same.
    { std::ofstream(data.File("Fabs.dat"), std::ios::app) << "part"; }
    RunResult second = RunCli(scratch, "import " + Quoted());
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, expected);
    EXPECT_NE(second.err.find("Fabs.dat: cut off a partial record left at its end"), std::string::npos) << second.err;

    TSectorsFabs links;
    ASSERT_EQ(links.Open(data.File("SectorsFabs.dat")), TOpenStatus::Opened);
    EXPECT_TRUE(links.MatchesSchema());
    EXPECT_GE(links.RecordCount(), 2000);
}

TEST_F(CliImport, FailureKeepsEarlierTablesAndLeavesLaterOnesUntouched) {
    data.Write("sectors.txt", "1\tAlpha\t1\t0\t0\t92\t92\t92\t92\t1\t0\t0\t0\t0\r\n");
    data.Write("resources.txt", "1\tOre\r\n2\tIce\r\n");
    data.Write("fabs.txt", "10\tMine\t1\t1\tM\r\n11\tFarm\t2\t1\tF\r\n12\tBad\tbad\t1\tB\r\n13\tLate\t1\t1\tL\r\n");
    data.Write("sector fabs.txt", "0\t1\t10\r\n");
    data.Write("fabs resources.txt", "10\t1\t0\r\n");

    // Links imported by an earlier run must survive the failing one.
    {
        TSectorsFabs old;
        old.CreateDB(data.File("SectorsFabs.dat"));
        old.LoadFromText(scratch.Write("old links.txt", "0\t5\t50\r\n0\t6\t60\r\n"));
    }
    const std::string oldLinks = Slurp(data.File("SectorsFabs.dat"));

    RunResult r = RunCli(scratch, "import " + Quoted());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("'bad' is not a valid integer value"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("fabs.txt"), std::string::npos) << r.err;

    TSectors s;
    ASSERT_EQ(s.Open(data.File("Sectors.dat")), TOpenStatus::Opened);
    EXPECT_EQ(s.RecordCount(), 1);
    TResources res;
    ASSERT_EQ(res.Open(data.File("Resources.dat")), TOpenStatus::Opened);
    EXPECT_EQ(res.RecordCount(), 2);
    TFabs f;
    ASSERT_EQ(f.Open(data.File("Fabs.dat")), TOpenStatus::Opened);
    EXPECT_EQ(Column(f, "Code"), (std::vector<int32_t>{10, 11}));
    EXPECT_EQ(Slurp(data.File("SectorsFabs.dat")), oldLinks);
    EXPECT_FALSE(std::filesystem::exists(data.File("FabsResources.dat")));
}

TEST_F(CliImport, RefusesFilesThatAreNotItsTablesWithoutTouchingAnything) {
    data.Write("sectors.txt", "1\tAlpha\t1\t0\t0\t92\t92\t92\t92\t1\t0\t0\t0\t0\r\n");
    data.Write("resources.txt", "1\tOre\r\n");
    data.Write("fabs.txt", "10\tMine\t1\t1\tM\r\n");
    data.Write("sector fabs.txt", "0\t1\t10\r\n");
    data.Write("fabs resources.txt", "10\t1\t0\r\n");

    // Not a table file at all: shorter and longer than a table header.
    RunResult r;
    for (const std::string& notes : {std::string("short notes\n"), std::string(200, 'n')}) {
        data.Write("Fabs.dat", notes);
        r = RunCli(scratch, "import " + Quoted());
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.err.find("Fabs.dat: not a table file"), std::string::npos) << r.err;
        EXPECT_EQ(Slurp(data.File("Fabs.dat")), notes);
        EXPECT_FALSE(std::filesystem::exists(data.File("Sectors.dat")));
    }

    // A table file of another kind, holding records.
    std::filesystem::remove(data.File("Fabs.dat"));
    {
        TFabs wrong;
        wrong.CreateDB(data.File("Resources.dat"));
        wrong.LoadFromText(data.File("fabs.txt"));
    }
    const std::string before = Slurp(data.File("Resources.dat"));
    r = RunCli(scratch, "import " + Quoted());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("does not have the fields of the Resources table"), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(data.File("Resources.dat")), before);
    EXPECT_FALSE(std::filesystem::exists(data.File("Sectors.dat")));
}

TEST_F(CliImport, MissingExportFailsWithFileNotFound) {
    data.Write("sectors.txt", "");
    RunResult r = RunCli(scratch, "import " + Quoted());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("resources.txt: File not found"), std::string::npos) << r.err;
    TSectors s;
    EXPECT_EQ(s.Open(data.File("Sectors.dat")), TOpenStatus::Opened);
    EXPECT_TRUE(s.MatchesSchema());
}

TEST_F(CliImport, WrongArgumentsShowUsage) {
    RunResult r = RunCli(scratch, "import");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("kelvmap-cli import DATADIR"), std::string::npos) << r.err;
    r = RunCli(scratch, "import '" + data.File("missing") + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing' is not a folder"), std::string::npos) << r.err;
}

TEST_F(CliImport, TableFileThatCannotBeCreatedIsNamed) {
    data.Write("sectors.txt", "");
    std::filesystem::create_directory(data.File("Sectors.dat"));  // in the way of the table file
    RunResult r = RunCli(scratch, "import " + Quoted());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Sectors.dat"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(data.File("Sectors.dat")));
}

}  // namespace
