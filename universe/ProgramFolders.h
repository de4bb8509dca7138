#pragma once

#include <string>
#include <vector>

// Where the program keeps its files, decided in this one place.
//
// A portable copy keeps everything beside its executable, as the program
// always has: when the executable's folder holds a "Data" folder (the build
// folder does), AppDir is the executable's folder. An installed program
// cannot write beside its executable, so without a "Data" folder there its
// home is the user's data folder, $XDG_DATA_HOME/kelvmap/ (by default
// ~/.local/share/kelvmap/), filled from the installed sample universe at the
// first start. Nothing is configured: the rule alone decides.
struct TProgramFolders {
    std::string AppDir;     // ends with "/": the quick-saved kelvmap.jpg, the save dialog's first folder
    std::string DataDir;    // AppDir + "Data/": the table files and the exports
    bool Portable = true;   // beside the executable, else the user's data folder
};

// The folders for a program whose executable lives in executableDir (a
// folder ending with "/"; AppDir() for the running program).
TProgramFolders LocateProgramFolders(const std::string& executableDir);

// The user's data folder of the program: $XDG_DATA_HOME/kelvmap/ when that
// variable holds an absolute path, else $HOME/.local/share/kelvmap/.
std::string UserDataFolder();

// The sample universe installed with the program, found from its
// executable's folder the way the package lays it out (bin/ and
// share/kelvmap/sample/ under one prefix), ending with "/".
std::string InstalledSampleFolder(const std::string& executableDir);

// What SeedDataFolder did.
struct TSeedReport {
    std::vector<std::string> CopiedExports;   // file names copied from the sample
    bool Imported = false;                    // the tables were made from the exports
};

// Adds to the data folder what it lacks of the sample universe, never
// replacing anything: the folder is made (with its parents) when missing;
// each export the folder lacks in any form (a file, a folder, even a link
// that leads nowhere counts as the user's) is copied from sampleFolder; and
// when the folder holds none of the five table files, the exports are
// imported into new tables (as `kelvmap-cli import` does). Raises, naming the
// file, when a folder cannot be made, an export cannot be copied or the
// import fails (the tables imported before then stay).
TSeedReport SeedDataFolder(const std::string& dataFolder, const std::string& sampleFolder);
