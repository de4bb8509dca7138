#pragma once

#include <memory>
#include <string>

#include <QStringList>

#include "uGSector.h"
#include "uQuery.h"
#include "uSectors.h"

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

// Where the program keeps its files.
struct TProgramPaths {
    std::string AppDir;    // ends with "/"; the quick-saved map and the save dialog's folder
    std::string DataDir;   // ends with "/"; table files and text exports
};
// AppDir() and AppDir() + "Data/": the folders beside the executable.
TProgramPaths DefaultPaths();

// The running program: the process-wide objects (five tables, tally list,
// renderer) and the three forms, created in this order: tables, tally list,
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

    TSectors Sectors;
    TResources Resources;
    TFabs Fabs;
    TSectorsFabs SectorsFabs;
    TFabsResources FabsResources;
    TQuery Query;
    TGSector GSector;

    std::unique_ptr<TKelv> Kelv;
    std::unique_ptr<TfrmOptions> frmOptions;
    std::unique_ptr<TAboutBox> AboutBox;
};
