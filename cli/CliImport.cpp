// kelvmap-cli import: rebuild the five tables of a data folder from its text
// exports, in the order the program's "Load All" uses.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "KelvErrors.h"
#include "uSectors.h"

const char* const kImportUsage =
    "  kelvmap-cli import DATADIR\n"
    "      Import \"sectors.txt\", \"resources.txt\", \"fabs.txt\", \"sector fabs.txt\" and\n"
    "      \"fabs resources.txt\" of DATADIR into \"Sectors.dat\", \"Resources.dat\",\n"
    "      \"Fabs.dat\", \"SectorsFabs.dat\" and \"FabsResources.dat\" of DATADIR, in that\n"
    "      order, creating missing table files. Prints the five record counts.\n"
    "      On an error, tables imported before the failing one stay imported, the\n"
    "      failing one keeps the lines before the bad line, later ones are untouched.\n";

namespace {

// One table of the import with the operations the command needs.
struct ImportStep {
    const char* label;
    std::string tablePath;
    std::string textPath;
    std::unique_ptr<TCustomTable> table;
    bool (*matches)(const TCustomTable&);
    void (*create)(TCustomTable&, const std::string&);
    void (*load)(TCustomTable&, const std::string&);
};

template <class T>
ImportStep MakeStep(const char* label, const std::string& dir) {
    ImportStep s;
    s.label = label;
    s.tablePath = dir + T::kTableFile;
    s.textPath = dir + T::kTextFile;
    s.table = std::make_unique<T>();
    s.matches = [](const TCustomTable& t) { return static_cast<const T&>(t).MatchesSchema(); };
    s.create = [](TCustomTable& t, const std::string& p) { static_cast<T&>(t).CreateDB(p); };
    s.load = [](TCustomTable& t, const std::string& p) { static_cast<T&>(t).LoadFromText(p); };
    return s;
}

// Opens the table file of a step. Returns false when the file does not exist
// yet. A file that is not a table file of this kind is refused before any
// table is touched, so that no user data is replaced by mistake.
bool OpenExisting(ImportStep& step) {
    const std::string nothing = "; nothing was imported";
    TOpenStatus status = TOpenStatus::Opened;
    try {
        status = step.table->Open(step.tablePath);
    } catch (EKelvError& e) {
        // A file too short for a table header, for one.
        EKelvError error(std::string("not a table file (") + e.what() + ")" + nothing);
        error.SetContext(step.tablePath);
        throw error;
    }
    if (status == TOpenStatus::FileNotFound) return false;
    if (status != TOpenStatus::Opened) {
        EKelvError error(OpenStatusText(status) + nothing);
        error.SetContext(step.tablePath);
        throw error;
    }
    if (step.matches(*step.table)) return true;
    if (step.table->Fields().Count() == 0 && step.table->RecordCount() == 0) {
        // A table file without fields holds nothing; give it the schema.
        step.table->Close();
        return false;
    }
    EKelvError error(std::string("does not have the fields of the ") + step.label + " table" + nothing);
    error.SetContext(step.tablePath);
    throw error;
}

}  // namespace

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

    std::vector<ImportStep> steps;
    steps.push_back(MakeStep<TSectors>("Sectors", dir));
    steps.push_back(MakeStep<TResources>("Resources", dir));
    steps.push_back(MakeStep<TFabs>("Fabs", dir));
    steps.push_back(MakeStep<TSectorsFabs>("SectorsFabs", dir));
    steps.push_back(MakeStep<TFabsResources>("FabsResources", dir));

    std::vector<bool> exists;
    for (ImportStep& step : steps) exists.push_back(OpenExisting(step));

    for (size_t i = 0; i < steps.size(); ++i) {
        ImportStep& step = steps[i];
        if (!exists[i]) step.create(*step.table, step.tablePath);
        step.load(*step.table, step.textPath);
    }
    for (const ImportStep& step : steps)
        std::printf("%s: %d\n", step.label, static_cast<int>(step.table->RecordCount()));
    return 0;
}
