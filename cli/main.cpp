#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "Commands.h"
#include "KelvErrors.h"
#include "KelvVersion.h"
#include "Needs.h"
#include "ProgramFolders.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out,
                 "kelvmap-cli: maintain KelvMap table files and render the universe map.\n\n"
                 "Usage: kelvmap-cli COMMAND [ARGUMENTS]\n\n"
                 "%s%s%s\n"
                 "  kelvmap-cli --help\n"
                 "      Show this text.\n"
                 "  kelvmap-cli --version\n"
                 "      Show the version.\n",
                 kTableUsage, kImportUsage, kRenderUsage);
    const TProgramFolders folders = LocateProgramFolders(AppDir());
    std::fprintf(out,
                 "\nThe desktop program kelvmap beside this tool keeps its tables and exports in\n"
                 "  %s\n(%s).\n",
                 folders.DataDir.c_str(),
                 folders.Portable ? "a portable copy: the Data folder beside the programs"
                                  : "an installed program: the user's data folder");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("kelvmap-cli %s\n", kKelvVersion);
        return 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "create") return CmdCreate(args);
        if (command == "append") return CmdAppend(args);
        if (command == "dump") return CmdDump(args);
        if (command == "delete") return CmdDelete(args);
        if (command == "clear") return CmdClear(args);
        if (command == "check") return CmdCheck(args);
        if (command == "repair") return CmdRepair(args);
        if (command == "import") return CmdImport(args);
        if (command == "seed") return CmdSeed(args);
        if (command == "render") return CmdRender(argc, argv, args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvmap-cli %s: %s\n", command.c_str(), DescribeError(e).c_str());
        return 1;
    }
    std::fprintf(stderr, "kelvmap-cli: unknown command '%s' (see kelvmap-cli --help)\n", command.c_str());
    return 2;
}
