// kelvmap-cli import: rebuild the five tables of a data folder from its text
// exports, in the order the program's "Load All" uses.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Commands.h"
#include "ProgramFolders.h"
#include "Universe.h"

const char* const kImportUsage =
    "  kelvmap-cli import DATADIR\n"
    "      Import \"sectors.txt\", \"resources.txt\", \"fabs.txt\", \"sector fabs.txt\" and\n"
    "      \"fabs resources.txt\" of DATADIR into \"Sectors.dat\", \"Resources.dat\",\n"
    "      \"Fabs.dat\", \"SectorsFabs.dat\" and \"FabsResources.dat\" of DATADIR, in that\n"
    "      order, creating missing table files. Prints the five record counts.\n"
    "      On an error, tables imported before the failing one stay imported, the\n"
    "      failing one keeps the lines before the bad line, later ones are untouched.\n"
    "  kelvmap-cli seed DATADIR SAMPLEDIR\n"
    "      Add to DATADIR (made when missing) what it lacks of the sample universe\n"
    "      in SAMPLEDIR, replacing nothing: each export it lacks is copied, and the\n"
    "      exports are imported when DATADIR holds none of the five table files.\n";

int CmdSeed(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0].empty() || args[1].empty()) {
        std::fprintf(stderr, "Usage:\n%s", kImportUsage);
        return 2;
    }
    const TSeedReport report = SeedDataFolder(args[0], args[1]);
    for (const std::string& name : report.CopiedExports) std::printf("added %s\n", name.c_str());
    if (report.Imported) std::printf("imported the exports into new tables\n");
    return 0;
}

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
    universe.ImportFolder(dir, [](const std::string& path) {
        std::fprintf(stderr, "kelvmap-cli import: %s: cut off a partial record left at its end\n", path.c_str());
    });
    for (size_t i = 0; i < TUniverse::kTableCount; ++i)
        std::printf("%s: %d\n", TUniverse::Spec(i).Label, static_cast<int>(universe.Table(i).RecordCount()));
    return 0;
}
