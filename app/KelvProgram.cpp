#include "KelvProgram.h"

#include <filesystem>

#include "CommandGuard.h"
#include "Needs.h"
#include "uAbout.h"
#include "uKelvRef.h"
#include "uMain.h"
#include "uOptions.h"

int DebugSwitch(const QStringList& argumentsAfterProgram) {
    return argumentsAfterProgram.size() == 1 && argumentsAfterProgram.front() == QStringLiteral("d") ? 1 : 0;
}

QStringList ArgumentsAfterProgram(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

TProgramPaths DefaultPaths() { return LocateProgramFolders(AppDir()); }

void PrepareDataFolder(const TProgramPaths& paths, IUserDialogs& dialogs) {
    std::error_code ec;
    if (paths.Portable || std::filesystem::exists(paths.DataDir, ec)) return;
    RunCommand(dialogs, nullptr, [&] { SeedDataFolder(paths.DataDir, InstalledSampleFolder(AppDir())); });
}

TKelvProgram::TKelvProgram(IUserDialogs& dialogs, TProgramPaths paths)
    : Dialogs(dialogs),
      Paths(std::move(paths)),
      GSector(Universe, Query,
              [this] { return !frmOptions || frmOptions->StationsCounted(); }) {
    Kelv = std::make_unique<TKelv>(*this);
    frmOptions = std::make_unique<TfrmOptions>(GSector, Universe.Resources, Dialogs, Kelv.get());
    AboutBox = std::make_unique<TAboutBox>(Kelv.get());
}

TKelvProgram::~TKelvProgram() {
    // The dialogs are children of the main window: release them first so the
    // window does not delete them a second time.
    AboutBox.reset();
    frmOptions.reset();
    Kelv.reset();
}
