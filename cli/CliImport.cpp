// kelvmap-cli import: rebuild the five tables of a data folder from its text
// exports, in the order the program's "Load All" uses.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CliOutput.h"
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
    "      failing one keeps the lines before the bad line, later ones are untouched.\n";
const char* const kSeedUsage =
    "  kelvmap-cli seed DATADIR SAMPLEDIR\n"
    "      Add to DATADIR (made when missing) what it lacks of the sample universe\n"
    "      in SAMPLEDIR, replacing nothing: each export it lacks is copied, and the\n"
    "      exports are imported when DATADIR holds none of the five table files.\n";

namespace {

// An empty folder name would mean the current folder; it is refused as a
// usage error instead.
const std::string& FolderOperand(const std::string& operand) {
    if (operand.empty()) throw ECliUsage("a folder name is empty");
    return operand;
}

}  // namespace

int CmdSeed(const TCliArguments& arguments) {
    const std::vector<std::string>& args = arguments.Operands(2, 2);
    const TSeedReport report = SeedDataFolder(FolderOperand(args[0]), FolderOperand(args[1]));
    std::string out;
    for (const std::string& name : report.CopiedExports) out += "added " + name + "\n";
    if (report.Imported) out += "imported the exports into new tables\n";
    WriteOut(out);
    return 0;
}

int CmdImport(const TCliArguments& arguments) {
    std::string dir = FolderOperand(arguments.Operands(1, 1)[0]);
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) throw EKelvError("'" + dir + "' is not a folder");
    if (dir.back() != '/') dir.push_back('/');

    TUniverse universe;
    universe.ImportFolder(dir, [](const std::string& path) {
        std::fprintf(stderr, "kelvmap-cli import: %s: cut off a partial record left at its end\n", path.c_str());
    });
    std::string out;
    for (size_t i = 0; i < TUniverse::kTableCount; ++i)
        out += std::string(TUniverse::Schema(i).Label) + ": " + std::to_string(universe.Table(i).RecordCount()) + "\n";
    WriteOut(out);
    return 0;
}
