#pragma once

#include <string>
#include <vector>

// Subcommands of kelvmap-cli. Each receives the arguments after its name and
// returns the process exit code; errors are printed on stderr by the caller.
int CmdCreate(const std::vector<std::string>& args);
int CmdAppend(const std::vector<std::string>& args);
int CmdDump(const std::vector<std::string>& args);
int CmdDelete(const std::vector<std::string>& args);
int CmdClear(const std::vector<std::string>& args);
int CmdCheck(const std::vector<std::string>& args);
int CmdRepair(const std::vector<std::string>& args);
int CmdImport(const std::vector<std::string>& args);
int CmdSeed(const std::vector<std::string>& args);
int CmdRender(int argc, char** argv, const std::vector<std::string>& args);

// Usage lines of each group, for --help.
extern const char* const kTableUsage;
extern const char* const kImportUsage;
extern const char* const kRenderUsage;
