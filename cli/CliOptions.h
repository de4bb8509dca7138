#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "CliArguments.h"

// One command of kelvmap-cli, as the command table declares it.
struct TCliCommand {
    const char* Name;
    const char* Summary;   // one line for the list of commands
    // The command's block of the help text: its synopsis line(s), indented
    // by two spaces and beginning with "kelvmap-cli NAME", then its
    // explanation, indented by six. After a usage error the synopsis is
    // printed alone.
    const char* Usage;
    std::vector<TCliOption> Options;   // besides -h and --help, which every command takes
    // Runs the command on its parsed arguments and returns its exit status
    // (0, or 1 for a result that is a failure, such as check finding a
    // damaged file). A failure is raised: ECliUsage for a wrong command line,
    // any other error for a failed operation.
    int (*Run)(const TCliArguments& args);
};

// The commands, in the order the help lists them.
std::span<const TCliCommand> CliCommands();

// The command named name; nullptr when there is none.
const TCliCommand* FindCliCommand(std::string_view name);

// Runs kelvmap-cli on its command line and returns the exit status: 0 when
// the command succeeded, 1 when it failed (the error printed on stderr,
// "kelvmap-cli COMMAND: " in front, through DescribeError), 2 for a usage
// error (the text, the command's synopsis and where to read its usage, on
// stderr). Also answers --help / -h / help [COMMAND] / COMMAND --help and
// --version on stdout; without arguments it prints the general usage on
// stderr and returns 2. What a command printed on stdout is flushed and
// checked before 0 is returned.
int RunCli(int argc, char** argv);
