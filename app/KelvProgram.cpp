#include "KelvProgram.h"

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

TProgramPaths DefaultPaths() {
    return TProgramPaths{AppDir(), AppDir() + "Data/"};
}

TKelvProgram::TKelvProgram(IUserDialogs& dialogs, TProgramPaths paths)
    : Dialogs(dialogs),
      Paths(std::move(paths)),
      GSector(TUniverse{Sectors, Resources, Fabs, SectorsFabs, FabsResources}, Query,
              [this] { return !frmOptions || frmOptions->StationsCounted(); }) {
    Kelv = std::make_unique<TKelv>(*this);
    frmOptions = std::make_unique<TfrmOptions>(GSector, Resources, Dialogs, Kelv.get());
    AboutBox = std::make_unique<TAboutBox>(Kelv.get());
}

TKelvProgram::~TKelvProgram() {
    // The dialogs are children of the main window: release them first so the
    // window does not delete them a second time.
    AboutBox.reset();
    frmOptions.reset();
    Kelv.reset();
}
