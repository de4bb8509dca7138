// kelvmap-cli as a Unix tool: exit statuses 0, 1 and 2 in every command,
// help asked for in every way, options joined to their values and "--",
// output that cannot be written, and closed standard streams.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "CliProcess.h"
#include "CliResourceNames.h"
#include "KelvVersion.h"
#include "StandardDescriptors.h"
#include "StorageTestSupport.h"

using namespace kelvtest;
using clitest::Quote;
using clitest::RunResult;

namespace {

class CliConventions : public ::testing::Test {
protected:
    TempDir dir;
    std::string table = dir.Path("Resources.dat");

    // Runs kelvmap-cli in the test's folder; `streams` replaces the
    // redirection of standard output ("/dev/full", ">&-" and the like).
    RunResult Run(const std::vector<std::string>& args, const std::string& streams = "") {
        std::string command = "cd " + Quote(dir.Path()) + " && " + Quote(KELV_CLI_PATH);
        for (const auto& a : args) command += " " + Quote(a);
        const std::string out = dir.Path("out.txt"), err = dir.Path("err.txt");
        command += (streams.empty() ? " >" + Quote(out) : " " + streams) + " 2>" + Quote(err) + " </dev/null";
        std::filesystem::remove(out);
        const int status = std::system(("sh -c " + Quote(command)).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
    }

    std::string Sample() {
        const std::string data = dir.Path("universe");
        std::filesystem::copy(KELV_SAMPLE_DIR, data);
        EXPECT_EQ(Run({"import", data}).exitCode, 0);
        return data;
    }
};

TEST_F(CliConventions, EveryCommandEndsWithZeroOneOrTwo) {
    CreateResourcesFile(table, {{1, "a"}});
    const std::string usage = "see 'kelvmap-cli help ";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{}, 2, "Usage: kelvmap-cli COMMAND [ARGUMENTS]\n"},
        {{"nosuch"}, 2, "kelvmap-cli: unknown command 'nosuch'"},
        {{"--bogus"}, 2, "kelvmap-cli: unknown option '--bogus'"},
        {{"--version=2"}, 2, "option '--version' takes no value"},
        {{"dump", table}, 0, ""},
        {{"dump"}, 2, "kelvmap-cli dump: too few arguments\nusage: kelvmap-cli dump FILE\n" + usage + "dump'\n"},
        {{"dump", table, "extra"}, 2, "too many arguments, from 'extra' on"},
        {{"dump", "missing.dat"}, 1, "kelvmap-cli dump: missing.dat: File not found"},
        {{"create", "new.dat", "Code:2:4"}, 2, usage + "create'"},
        {{"create", "Resources.dat", "Code:0:4"}, 1, "already exists"},
        {{"append", table, "Code"}, 2, "a value is given as FIELD=VALUE"},
        {{"append", table, "Code=4x"}, 1, "'4x' is not a valid integer value"},
        {{"delete", table, "x"}, 2, usage + "delete'"},
        {{"delete", table, "5"}, 1, "no record 5"},
        {{"clear", table, table}, 2, usage + "clear'"},
        {{"check"}, 2, usage + "check'"},
        {{"repair", table, table}, 2, usage + "repair'"},
        {{"import", ""}, 2, "a folder name is empty"},
        {{"import", "nowhere"}, 1, "kelvmap-cli import: 'nowhere' is not a folder"},
        {{"seed", "x"}, 2, "usage: kelvmap-cli seed DATADIR SAMPLEDIR\n"},
        {{"render", "d", "f.png", "--mode"}, 2, "option '--mode' needs a value"},
        {{"render", "d", "f.png", "--no-stations=yes"}, 2, "option '--no-stations' takes no value"},
        {{"render", "d", "f.png", "--n", "x"}, 2, "option '--n' is ambiguous (--name, --no-stations)"},
        {{"help", "nosuch"}, 2, "unknown command 'nosuch'"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(r.exitCode, c.status) << what << ": " << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << what << ": " << r.err;
        if (c.status == 0) {
            EXPECT_EQ(r.err, "") << what;
        }
    }
    EXPECT_EQ(Run({"--version"}).out, std::string("kelvmap-cli ") + kKelvVersion + "\n");
}

TEST_F(CliConventions, ACommandsHelpIsTheSameEveryWayItIsAskedAndPartOfTheWhole) {
    const std::string all = Run({"--help"}).out;
    EXPECT_EQ(Run({"help"}).out, all);
    // It ends with the data folder (the build folder holds one unless it was
    // built without the desktop program).
    EXPECT_TRUE(all.ends_with("Data/\n(a portable copy: the Data folder beside the programs).\n") ||
                all.ends_with("kelvmap/Data/\n(an installed program: the user's data folder).\n"))
        << all;
    for (const char* name : {"create", "append", "dump", "delete", "clear", "check", "repair", "import", "seed",
                             "render", "help"}) {
        const RunResult help = Run({"help", name});
        ASSERT_EQ(help.exitCode, 0) << name << ": " << help.err;
        EXPECT_EQ(help.out.rfind(std::string("Usage:\n  kelvmap-cli ") + name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("\nExit status: 0 success, 1 failure"), std::string::npos) << help.out;
        for (const std::vector<std::string>& asked : {std::vector<std::string>{name, "--help"}, {name, "-h"},
                                                      {"--help", name}, {name, "x", "--help", "y"}})
            EXPECT_EQ(Run(asked).out, help.out) << name;
        const std::string block = help.out.substr(7, help.out.find("\nExit status") - 7);
        EXPECT_NE(all.find(block), std::string::npos) << name;
    }
}

TEST_F(CliConventions, OptionValuesJoinOrFollowAndDoubleDashEndsTheOptions) {
    ASSERT_EQ(Run({"create", "--", "-x.dat", "Code:0:4"}).exitCode, 0);
    ASSERT_EQ(Run({"append", "--", "-x.dat", "Code=7"}).exitCode, 0);
    EXPECT_EQ(Run({"dump", "-x.dat"}).exitCode, 2);
    EXPECT_EQ(Run({"dump", "--", "-x.dat"}).out, "Code\n7\n");
    EXPECT_EQ(Run({"delete", "--", "-x.dat", "-1"}).err, "kelvmap-cli delete: -x.dat: no record -1 "
                                                         "(the table has 1 records, numbered from 0)\n");
#if KELV_CLI_RENDERS
    const std::string data = Sample();
    const RunResult apart = Run({"render", data, "apart.png", "--mode", "product", "--name", "Veltrine Ore"});
    ASSERT_EQ(apart.exitCode, 0) << apart.err;
    const RunResult joined = Run({"--", "render", "--mode=product", "--name=Veltrine Ore", "--", data, "-joined.png"});
    ASSERT_EQ(joined.exitCode, 0) << joined.err;
    EXPECT_EQ(joined.out, apart.out);
    EXPECT_EQ(ReadBytes(dir.Path("-joined.png")), ReadBytes(dir.Path("apart.png")));
    EXPECT_NE(Run({"render", data, "full.png"}).out, apart.out);  // the options were not lost on the way
#endif
}

TEST_F(CliConventions, OutputThatCannotBeWrittenFailsInEveryCommandThatPrints) {
    CreateResourcesFile(table, {{1, "a"}});
    std::vector<std::vector<std::string>> commands = {
        {"dump", table}, {"check", table}, {"repair", table}, {"--help"}, {"help", "dump"}, {"dump", "--help"},
        {"--version"}, {"seed", dir.Path("seeded"), KELV_SAMPLE_DIR}, {"import", dir.Path("seeded")}};
#if KELV_CLI_RENDERS
    commands.push_back({"render", dir.Path("seeded"), dir.Path("map.bmp")});
#endif
    for (const auto& args : commands) {
        const RunResult r = Run(args, ">/dev/full");
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_NE(r.err.find("cannot write the output (No space left on device)"), std::string::npos) << r.err;
    }
}

TEST_F(CliConventions, AClosedStandardStreamNeverReachesAFile) {
    CreateResourcesFile(table, {{1, "a"}, {2, "b"}});
    const auto bytes = ReadBytes(table);
    RunResult r = Run({"dump", table}, ">&-");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelvmap-cli dump: cannot write the output (Bad file descriptor)\n");
    EXPECT_EQ(Run({"append", table, "Nope=1"}, ">&- 2>&- <&-").exitCode, 1);
    EXPECT_EQ(ReadBytes(table), bytes);

    const std::string data = Sample();
    std::filesystem::remove(data + "/Fabs.dat");
    EXPECT_EQ(Run({"import", data}, ">&-").exitCode, 1);
    r = Run({"check", data + "/Sectors.dat", data + "/Resources.dat", data + "/Fabs.dat", data + "/SectorsFabs.dat",
             data + "/FabsResources.dat"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
}

// In a child process: descriptors 0 and 1 closed, 2 open on a file.
TEST(StandardDescriptors, ClosedOnesAreFilledSoThatUsingThemStillFailsAndOpenOnesStay) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err = ::open(dir.Path("err").c_str(), O_WRONLY | O_CREAT, 0600);
        if (::dup2(err, 2) != 2) ::_exit(10);
        ::close(err);
        ::close(0);
        ::close(1);
        if (!EnsureStandardDescriptors()) ::_exit(11);
        const int file = ::open(dir.Path("table").c_str(), O_RDWR | O_CREAT, 0600);
        char c = 0;
        if (file < 3) ::_exit(12);
        if (::write(1, "x", 1) != -1 || errno != EBADF) ::_exit(13);
        if (::read(0, &c, 1) != -1 || errno != EBADF) ::_exit(14);
        if (::write(2, "kept", 4) != 4) ::_exit(15);
        ::_exit(EnsureStandardDescriptors() ? 0 : 16);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadText(dir.Path("err")), "kept");
    EXPECT_EQ(FileSize(dir.Path("table")), 0);
}

TEST(ResourceNames, ANameNoResourceHasIsRefusedWithTheNamesThereAre) {
    TempDir dir;
    CreateResourcesFile(dir.Path("Resources.dat"), {{2, "Ore"}, {1, "\xD0\xF3\xE4\xE0"}, {3, "Ore"}, {4, "Ice"}});
    TResources resources;
    ASSERT_EQ(resources.Open(dir.Path("Resources.dat")), TOpenStatus::Opened);
    RequireResourceName(resources, "Ice");
    RequireResourceName(resources, "");
    try {
        RequireResourceName(resources, "ore");
        ADD_FAILURE() << "a name that differs in case was taken";
    } catch (const EKelvError& e) {
        EXPECT_EQ(DescribeError(e), dir.Path("Resources.dat") +
                                        ": no resource is named 'ore'\nthe resources are:\n  Ice\n  Ore\n  Руда");
    }
}

}  // namespace
