// The built kelvmap-cli off the happy path, as a user meets it: damaged
// tables checked and repaired, output that cannot be written, file-size
// limits in the middle of a write, and many processes appending at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "CliProcess.h"
#include "StorageTestSupport.h"

using namespace kelvtest;
using clitest::Quote;
using clitest::RunResult;

namespace {

class CliSafety : public ::testing::Test {
protected:
    TempDir dir;
    std::string table = dir.Path("Resources.dat");

    // Runs kelvmap-cli with the arguments; `shellBefore` goes in front of it
    // in the same shell (a ulimit, say), `redirect` replaces the standard
    // output file.
    RunResult Run(const std::vector<std::string>& args, const std::string& shellBefore = "",
                  const std::string& redirect = "") {
        std::string command = shellBefore + Quote(KELV_CLI_PATH);
        for (const auto& a : args) command += " " + Quote(a);
        const std::string out = dir.Path("out.txt"), err = dir.Path("err.txt");
        command += " >" + (redirect.empty() ? Quote(out) : redirect) + " 2>" + Quote(err) + " </dev/null";
        const int status = std::system(("sh -c " + Quote(command)).c_str());
        RunResult r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = redirect.empty() ? ReadText(out) : "";
        r.err = ReadText(err);
        return r;
    }
};

TEST_F(CliSafety, CheckSaysOkOrWhatIsWrongAndRepairRecoversTheWholeRecords) {
    CreateResourcesFile(table, {{1, "a"}, {2, "b"}});
    const std::string broken = dir.Path("Broken.dat");
    auto bytes = ReadBytes(table);
    bytes.resize(bytes.size() - 3);
    WriteBytes(broken, bytes);

    RunResult r = Run({"check", table});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, table + ": ok: 2 fields (Code:0:4, Name:1:32), 2 records\n");
    r = Run({"check", table, broken});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, table + ": ok: 2 fields (Code:0:4, Name:1:32), 2 records\n" + broken +
                         ": Read beyond end of file: a partial record of 35 bytes at the end (records have 38), after "
                         "1 whole records\nrun 'kelvmap-cli repair " + broken + "' to recover its whole records\n");
    r = Run({"dump", broken});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelvmap-cli dump: " + broken + ": Read beyond end of file\nrun 'kelvmap-cli repair " + broken +
                         "' to recover its whole records\n");

    r = Run({"repair", broken});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("repaired: cut 35 bytes off the end, kept 1 whole records"), std::string::npos) << r.out;
    EXPECT_EQ(ReadBytes(broken + ".bak"), bytes);
    EXPECT_EQ(Run({"dump", broken}).out, "Code\tName\n1\ta\n");
    EXPECT_EQ(Run({"check", broken}).exitCode, 0);
}

TEST_F(CliSafety, RepairRefusesAnyOtherDamageLeavingTheFileByteForByte) {
    CreateResourcesFile(table, {{1, "a"}});
    auto bytes = ReadBytes(table);
    bytes[2] = 'A';
    WriteBytes(table, bytes);
    const RunResult r = Run({"repair", table});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(table + ": not a table file: it does not begin with the table file mark"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadBytes(table), bytes);
    EXPECT_EQ(FileSize(table + ".bak"), -1);
}

TEST_F(CliSafety, DumpKeepsEachRecordOnOneLine) {
    ASSERT_EQ(Run({"create", table, "Code:0:4", "Tab\tName:1:32"}).exitCode, 0);
    ASSERT_EQ(Run({"append", table, "Code=1", "Tab\tName=a\tb\nc\rd\\e"}).exitCode, 0);
    EXPECT_EQ(Run({"dump", table}).out, "Code\tTab\\tName\n1\ta\\tb\\nc\\rd\\\\e\n");
}

TEST_F(CliSafety, OutputThatCannotBeWrittenFails) {
    CreateResourcesFile(table, {{1, "a"}});
    for (const char* command : {"dump", "check"}) {
        const RunResult r = Run({command, table}, "", "/dev/full");
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_NE(r.err.find("cannot write the output (No space left on device)"), std::string::npos) << r.err;
    }
}

TEST_F(CliSafety, AFileSizeLimitCutsNoRecordInHalf) {
    // 512 bytes: the header, the catalogue and 10 records fit; the 11th is cut short.
    ASSERT_EQ(Run({"create", table, "Code:0:4", "Name:1:32"}).exitCode, 0);
    int failedAt = -1;
    for (int i = 0; i < 12 && failedAt < 0; ++i) {
        const RunResult r = Run({"append", table, "Code=" + std::to_string(i)}, "ulimit -f 1; ");
        if (r.exitCode != 0) {
            failedAt = i;
            EXPECT_NE(r.err.find(table + ": I/O error 27: File too large"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(failedAt, 10);
    EXPECT_EQ(FileSize(table), 128 + 10 * 38);
    EXPECT_EQ(Run({"check", table}).exitCode, 0);
    // Nor is a table begun that cannot be made whole.
    const std::string other = dir.Path("Other.dat");
    EXPECT_EQ(Run({"create", other, "Code:0:4"}, "ulimit -f 0; ").exitCode, 1);
    EXPECT_EQ(FileSize(other), -1);
}

TEST_F(CliSafety, ParallelAppendsEitherStoreTheirRecordOrSayTheTableIsInUse) {
    CreateResourcesFile(table);
    std::string script;
    for (int i = 0; i < 100; ++i) {
        const std::string n = std::to_string(i);
        script += "(" + Quote(KELV_CLI_PATH) + " append " + Quote(table) + " Code=" + n + " 2>" +
                  Quote(dir.Path("err." + n)) + "; echo $? >" + Quote(dir.Path("rc." + n)) + ") & ";
    }
    script += "wait";
    ASSERT_EQ(std::system(("sh -c " + Quote(script)).c_str()), 0);
    std::set<int32_t> succeeded;
    for (int i = 0; i < 100; ++i) {
        const std::string n = std::to_string(i);
        if (ReadText(dir.Path("rc." + n)) == "0\n") {
            succeeded.insert(i);
        } else {
            EXPECT_EQ(ReadText(dir.Path("err." + n)),
                      "kelvmap-cli append: " + table + ": the table file is in use by another KelvMap process\n");
        }
    }
    std::set<int32_t> stored;
    for (const auto& row : SnapshotFile(table)) stored.insert(row[0].IntValue());
    EXPECT_EQ(stored, succeeded);
    EXPECT_EQ(SnapshotFile(table).size(), succeeded.size());
    EXPECT_FALSE(succeeded.empty());
}

TEST_F(CliSafety, AReadOnlyTableIsDumpedButNotChanged) {
    // Permissions do not stop root, so as root the tool runs as nobody.
    const std::string asUser = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    CreateResourcesFile(table, {{1, "a"}});
    ASSERT_EQ(::chmod(table.c_str(), 0444), 0);
    EXPECT_EQ(Run({"dump", table}, asUser).exitCode, 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"append", table, "Code=2"},
                                                 {"delete", table, "0"}, {"clear", table}}) {
        const RunResult r = Run(args, asUser);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "kelvmap-cli " + args[0] + ": " + table + ": the table file is read-only\n");
    }
    EXPECT_EQ(FileSize(table), 128 + 38);
}

}  // namespace
