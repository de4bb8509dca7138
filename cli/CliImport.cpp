// kelvmap-cli import: rebuild the five tables of a data folder from its text
// exports, in the order the program's "Load All" uses.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Commands.h"
#include "Universe.h"

const char* const kImportUsage =
    "  kelvmap-cli import DATADIR\n"
    "      Import \"sectors.txt\", \"resources.txt\", \"fabs.txt\", \"sector fabs.txt\" and\n"
    "      \"fabs resources.txt\" of DATADIR into \"Sectors.dat\", \"Resources.dat\",\n"
    "      \"Fabs.dat\", \"SectorsFabs.dat\" and \"FabsResources.dat\" of DATADIR, in that\n"
    "      order, creating missing table files. Prints the five record counts.\n"
    "      On an error, tables imported before the failing one stay imported, the\n"
    "      failing one keeps the lines before the bad line, later ones are untouched.\n";

int CmdImport(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty()) {
        std::fprintf(stderr, "Usage:\n%s", kImportUsage);
        return 2;
    }
    std::string dir = args[0];
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        std::fprintf(stderr, "kelvmap-cli import: '%s' is not a folder\n", dir.c_str());
        return 1;
    }
    if (dir.back() != '/') dir.push_back('/');

    TUniverse universe;
    universe.ImportFolder(dir);
    for (size_t i = 0; i < TUniverse::kTableCount; ++i)
        std::printf("%s: %d\n", TUniverse::Spec(i).Label, static_cast<int>(universe.Table(i).RecordCount()));
    return 0;
}
