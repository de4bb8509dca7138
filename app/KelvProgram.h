#pragma once

#include <memory>
#include <string>

#include <QStringList>

#include "uGSector.h"
#include "uQuery.h"
#include "ProgramFolders.h"
#include "Universe.h"

class IUserDialogs;
class TAboutBox;
class TKelv;
class TfrmOptions;

// 1 when the command line after the program's own path is exactly the one
// argument "d" (lower case, whole text); 0 for anything else ("D", "-d",
// "d x", no argument).
int DebugSwitch(const QStringList& argumentsAfterProgram);
// The command line after the program's path exactly as given, toolkit
// options such as "-platform xcb" included: read it before the application
// object takes those out of argv.
QStringList ArgumentsAfterProgram(int argc, const char* const* argv);

// Where the program keeps its files (see ProgramFolders.h).
using TProgramPaths = TProgramFolders;
// The folders of the running program: beside the executable for a portable
// copy, else the user's data folder.
TProgramPaths DefaultPaths();
// At the first start of an installed program (its data folder does not
// exist yet) makes the data folder and fills it from the installed sample
// universe; a failure is shown in the error box and the start goes on.
void PrepareDataFolder(const TProgramPaths& paths, IUserDialogs& dialogs);

// The running program: the process-wide objects (the universe of five
// tables, tally list, renderer) and the three forms, created in this order:
// tables, tally list,
// renderer, then the main window Kelv (whose FormCreate opens the tables and
// draws the map), the options dialog and the about box. Everything lives as
// long as this object. DebugMode() must be set before construction.
//
// The renderer asks the options dialog's station check box whenever it
// collects a cell in resource mode; before the dialog exists the stations
// count, as the box is ticked when it is created.
class TKelvProgram {
public:
    TKelvProgram(IUserDialogs& dialogs, TProgramPaths paths);
    ~TKelvProgram();
    TKelvProgram(const TKelvProgram&) = delete;
    TKelvProgram& operator=(const TKelvProgram&) = delete;

    IUserDialogs& Dialogs;
    const TProgramPaths Paths;

    TUniverse Universe;
    TQuery Query;
    TGSector GSector;

    std::unique_ptr<TKelv> Kelv;
    std::unique_ptr<TfrmOptions> frmOptions;
    std::unique_ptr<TAboutBox> AboutBox;
};
