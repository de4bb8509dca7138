// The table subcommands of kelvmap-cli, run as a separate process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CliProcess.h"
#include "StorageTestSupport.h"

#ifndef KELV_CLI_PATH
#error "KELV_CLI_PATH must name the built kelvmap-cli"
#endif

using namespace kelvtest;

namespace {

using clitest::Quote;
using clitest::RunResult;

class Cli : public ::testing::Test {
protected:
    TempDir dir;
    std::string table = dir.Path("Resources.dat");

    RunResult Run(const std::vector<std::string>& args) {
        std::string quoted;
        for (const auto& a : args) quoted += " " + Quote(a);
        return clitest::RunCli(KELV_CLI_PATH, quoted, dir.Path("stdout.txt"), dir.Path("stderr.txt"));
    }

    void MakeResources() {
        const RunResult r = Run({"create", table, "Code:0:4", "Name:1:32"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
};

TEST_F(Cli, CreateAppendDumpMatchesTheWorkedExample) {
    MakeResources();
    EXPECT_EQ(FileSize(table), 128);
    RunResult r = Run({"append", table, "Code=12", "Name=Ore"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FileSize(table), 166);
    const auto bytes = ReadBytes(table);
    EXPECT_EQ(LE32(bytes, 8), 128);
    EXPECT_EQ(LE32(bytes, 129), 12);
    EXPECT_EQ(std::string(bytes.begin() + 133, bytes.begin() + 137), "\x03Ore");

    r = Run({"dump", table});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Code\tName\n12\tOre\n");
}

TEST_F(Cli, CyrillicRoundTripStoresWindows1251) {
    MakeResources();
    RunResult r = Run({"append", table, "Code=-3", "Name=Железо"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bytes = ReadBytes(table);
    EXPECT_EQ(bytes[133], 6);
    EXPECT_EQ(std::string(bytes.begin() + 134, bytes.begin() + 140), "\xC6\xE5\xEB\xE5\xE7\xEE");
    r = Run({"dump", table});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Code\tName\n-3\tЖелезо\n");
}

TEST_F(Cli, CharacterWithoutAWindows1251CodeIsRefused) {
    MakeResources();
    const RunResult r = Run({"append", table, "Code=1", "Name=Ore 日本"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Windows-1251"), std::string::npos) << r.err;
    EXPECT_EQ(FileSize(table), 128);
}

TEST_F(Cli, BadValuesAreRefusedBeforeAnythingIsStored) {
    MakeResources();
    RunResult r = Run({"append", table, "Code=4x"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("'4x' is not a valid integer value"), std::string::npos) << r.err;
    r = Run({"append", table, "Nope=1"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("no field named 'Nope'"), std::string::npos) << r.err;
    r = Run({"append", table, "Name=" + std::string(33, 'x')});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("at most 32"), std::string::npos) << r.err;
    r = Run({"append", table, "Code"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(FileSize(table), 128);
}

TEST_F(Cli, AppendWithUnsetFieldsStoresZeros) {
    MakeResources();
    ASSERT_EQ(Run({"append", table, "Name=only"}).exitCode, 0);
    ASSERT_EQ(Run({"append", table}).exitCode, 0);
    EXPECT_EQ(Run({"dump", table}).out, "Code\tName\n0\tonly\n0\t\n");
}

TEST_F(Cli, DeleteMovesTheLastRecordAndClearEmpties) {
    MakeResources();
    for (const char* name : {"P", "Q", "S"}) {
        ASSERT_EQ(Run({"append", table, "Code=1", std::string("Name=") + name}).exitCode, 0);
    }
    RunResult r = Run({"delete", table, "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Run({"dump", table}).out, "Code\tName\n1\tS\n1\tQ\n");
    r = Run({"delete", table, "2"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("no record 2"), std::string::npos) << r.err;
    r = Run({"delete", table, "x"});
    EXPECT_NE(r.exitCode, 0);
    r = Run({"clear", table});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FileSize(table), 128);
    EXPECT_EQ(LE32(ReadBytes(table), 8), 128);
    EXPECT_EQ(Run({"dump", table}).out, "Code\tName\n");
}

TEST_F(Cli, CreateRefusesBadFieldsAndExistingFiles) {
    for (const char* fieldArg : {"Code:2:4", "Code:0:8", "Name:1:0", "Name:1:256", "Code", "Code:0", ":0:4", "A:x:4"}) {
        const RunResult r = Run({"create", table, fieldArg});
        EXPECT_NE(r.exitCode, 0) << fieldArg;
        EXPECT_FALSE(r.err.empty()) << fieldArg;
        EXPECT_EQ(FileSize(table), -1) << fieldArg;  // nothing was made
    }
    EXPECT_NE(Run({"create", table, "A:0:4", "A:1:3"}).exitCode, 0);
    MakeResources();
    const RunResult r = Run({"create", table, "Other:0:4"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("already exists"), std::string::npos) << r.err;
    EXPECT_EQ(FileSize(table), 128);
}

TEST_F(Cli, CreateInAMissingFolderNamesTheFile) {
    const std::string path = dir.Path("no/such/folder/T.dat");
    const RunResult r = Run({"create", path, "Code:0:4"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find(path + ": cannot create (File not found)"), std::string::npos) << r.err;
}

TEST_F(Cli, FileThatIsNotATableSaysSo) {
    const std::string notTable = dir.Path("notes.txt");
    WriteBytes(notTable, std::vector<uint8_t>(100, 'x'));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"dump", notTable}, {"append", notTable, "Code=1"}, {"delete", notTable, "0"},
          {"clear", notTable}}) {
        const RunResult r = Run(args);
        EXPECT_NE(r.exitCode, 0) << args[0];
        EXPECT_NE(r.err.find(notTable + ": not a table file"), std::string::npos) << r.err;
    }
    EXPECT_EQ(FileSize(notTable), 100);
}

TEST_F(Cli, DamagedTableSaysSo) {
    MakeResources();
    ASSERT_EQ(Run({"append", table, "Code=1"}).exitCode, 0);
    auto bytes = ReadBytes(table);
    bytes.pop_back();
    WriteBytes(table, bytes);
    const RunResult r = Run({"dump", table});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Read beyond end of file"), std::string::npos) << r.err;
}

TEST_F(Cli, MissingFileSaysFileNotFound) {
    const std::string missing = dir.Path("missing.dat");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"dump", missing}, {"append", missing, "Code=1"}, {"delete", missing, "0"},
          {"clear", missing}}) {
        const RunResult r = Run(args);
        EXPECT_NE(r.exitCode, 0) << args[0];
        EXPECT_NE(r.err.find("File not found"), std::string::npos) << r.err;
    }
    EXPECT_EQ(FileSize(missing), -1);
}

TEST_F(Cli, MissingArgumentsShowUsage) {
    const RunResult r = Run({"dump"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("usage"), std::string::npos) << r.err;
}

}  // namespace
