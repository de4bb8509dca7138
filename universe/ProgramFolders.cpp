#include "ProgramFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "KelvErrors.h"
#include "KelvVersion.h"
#include "Universe.h"

namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    return dir;
}

// Present in any form, a dangling link included: such a name is the user's.
bool Present(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

[[noreturn]] void Raise(const std::error_code& ec, const std::string& path) {
    throw EInOutError::FromCode(ec.value(), path);
}

}  // namespace

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg) + "kelvmap/";
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && env[0] != '\0') {
        home = env;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        home = pw->pw_dir;
    }
    return WithSlash(home) + ".local/share/kelvmap/";
}

TProgramFolders LocateProgramFolders(const std::string& executableDir) {
    const std::string beside = WithSlash(executableDir);
    std::error_code ec;
    if (fs::is_directory(beside + "Data", ec)) return TProgramFolders{beside, beside + "Data/", true};
    const std::string home = UserDataFolder();
    return TProgramFolders{home, home + "Data/", false};
}

std::string InstalledSampleFolder(const std::string& executableDir) {
    return WithSlash(executableDir) + kKelvSampleFromBinDir;
}

TSeedReport SeedDataFolder(const std::string& dataFolder, const std::string& sampleFolder) {
    const std::string data = WithSlash(dataFolder);
    const std::string sample = WithSlash(sampleFolder);
    TSeedReport report;
    std::error_code ec;
    fs::create_directories(data, ec);
    if (ec) Raise(ec, data);

    bool anyTable = false;
    for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
        const TTableSchema& schema = TUniverse::Schema(i);
        anyTable = anyTable || Present(data + schema.TableFile);
        if (Present(data + schema.ExportFile)) continue;
        fs::copy_file(sample + schema.ExportFile, data + schema.ExportFile, ec);
        if (ec) Raise(ec, sample + schema.ExportFile);
        report.CopiedExports.push_back(schema.ExportFile);
    }
    if (!anyTable) {
        TUniverse universe;
        universe.ImportFolder(data);
        report.Imported = true;
    }
    return report;
}
