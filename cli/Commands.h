#pragma once

#include <string>
#include <vector>

#include "CliArguments.h"

// The commands of kelvmap-cli, declared in the command table (CliOptions.cpp).
// Each runs on its parsed arguments and returns the exit status; a failure
// is raised (ECliUsage for a wrong command line) and printed by the caller.
int CmdCreate(const TCliArguments& args);
int CmdAppend(const TCliArguments& args);
int CmdDump(const TCliArguments& args);
int CmdDelete(const TCliArguments& args);
int CmdClear(const TCliArguments& args);
int CmdCheck(const TCliArguments& args);
int CmdRepair(const TCliArguments& args);
int CmdImport(const TCliArguments& args);
int CmdSeed(const TCliArguments& args);
int CmdRender(const TCliArguments& args);
// The options of the render command. Defined here, before the command table
// in every file that uses it, so that it is made before the table is.
inline const std::vector<TCliOption> kRenderOptions = {{"mode", 0, "MODE"},    {"name", 0, "NAME"},
                                                       {"no-stations"},        {"format", 0, "FORMAT"},
                                                       {"scale", 0, "FACTOR"}, {"size", 0, "WIDTHxHEIGHT"}};

// The usage block of each command, for the help.
extern const char* const kCreateUsage;
extern const char* const kAppendUsage;
extern const char* const kDumpUsage;
extern const char* const kDeleteUsage;
extern const char* const kClearUsage;
extern const char* const kCheckUsage;
extern const char* const kRepairUsage;
extern const char* const kImportUsage;
extern const char* const kSeedUsage;
extern const char* const kRenderUsage;
