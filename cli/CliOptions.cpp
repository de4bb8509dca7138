// The command table of kelvmap-cli, its help and the one place that turns a
// command's outcome into the exit status and the message.
#include "CliOptions.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "CliOutput.h"
#include "Commands.h"
#include "KelvErrors.h"
#include "KelvVersion.h"
#include "Needs.h"
#include "ProgramFolders.h"

namespace {

int CmdHelp(const TCliArguments& args);

const char* const kHelpUsage =
    "  kelvmap-cli help [COMMAND]\n"
    "      Show the usage of COMMAND (as kelvmap-cli COMMAND --help does), or\n"
    "      this text without one.\n";

const TCliCommand kCommands[] = {
    {"create", "make a new table file", kCreateUsage, {}, CmdCreate},
    {"append", "append one record to a table file", kAppendUsage, {}, CmdAppend},
    {"dump", "print the fields and records of a table file", kDumpUsage, {}, CmdDump},
    {"delete", "delete one record of a table file", kDeleteUsage, {}, CmdDelete},
    {"clear", "delete every record of a table file", kClearUsage, {}, CmdClear},
    {"check", "say whether table files are sound", kCheckUsage, {}, CmdCheck},
    {"repair", "recover the whole records of a table file cut short", kRepairUsage, {}, CmdRepair},
    {"import", "fill the five tables of a data folder from its exports", kImportUsage, {}, CmdImport},
    {"seed", "add what a data folder lacks of the sample universe", kSeedUsage, {}, CmdSeed},
    {"render", "paint the map of a data folder into an image file", kRenderUsage, kRenderOptions, CmdRender},
    {"help", "show the usage of a command", kHelpUsage, {}, CmdHelp},
};

const std::vector<TCliOption> kGlobalOptions = {{"help", 'h'}, {"version"}};
const TCliOption kHelpOption{"help", 'h'};

const char* const kExitStatus =
    "Exit status: 0 success, 1 failure (of a file, a table, an export or the\n"
    "output), 2 usage error (an unknown command or option, an argument missing,\n"
    "left over or malformed).\n";

std::string GeneralUsage() {
    std::string text = "Usage: kelvmap-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const TCliCommand& c : kCommands) {
        std::string name = c.Name;
        name.resize(std::max<size_t>(name.size(), 8), ' ');
        text += "  " + name + c.Summary + "\n";
    }
    return text + "\nSee 'kelvmap-cli help COMMAND' for the usage of a command, 'kelvmap-cli --help' for all.\n";
}

std::string GeneralHelp() {
    std::string text =
        "kelvmap-cli: maintain KelvMap table files and render the universe map.\n\n"
        "Usage: kelvmap-cli COMMAND [ARGUMENTS]\n\n";
    for (const TCliCommand& c : kCommands) text += c.Usage;
    text +=
        "  kelvmap-cli --help\n"
        "      Show this text.\n"
        "  kelvmap-cli --version\n"
        "      Show the version.\n\n"
        "Options may stand before, between or after the other arguments. An option's\n"
        "value follows it (--mode product) or is joined to it (--mode=product). \"--\"\n"
        "ends the options: what follows is taken as it is, even a file whose name\n"
        "begins with \"-\" (kelvmap-cli dump -- -x.dat). Every command takes -h and\n"
        "--help.\n\n";
    text += kExitStatus;
    const TProgramFolders folders = LocateProgramFolders(AppDir());
    text += "\nThe desktop program kelvmap beside this tool keeps its tables and exports in\n  " + folders.DataDir +
            "\n(" +
            (folders.Portable ? "a portable copy: the Data folder beside the programs"
                              : "an installed program: the user's data folder") +
            ").\n";
    return text;
}

std::string CommandHelp(const TCliCommand& command) {
    return std::string("Usage:\n") + command.Usage + "\n" + kExitStatus;
}

// The synopsis of a usage block: its first line and the lines that continue
// it, which are indented deeper than the six spaces of the text below.
std::string Synopsis(const TCliCommand& command) {
    const std::string usage = command.Usage;
    std::string out;
    size_t start = 0;
    while (start < usage.size()) {
        const size_t end = std::min(usage.find('\n', start), usage.size());
        const std::string line = usage.substr(start, end - start);
        if (start > 0 && line.find_first_not_of(' ') <= 6) break;
        // "  kelvmap-cli" becomes "usage: kelvmap-cli": five columns to the right.
        out += (start == 0 ? "usage: " + line.substr(std::min<size_t>(2, line.size())) : "     " + line) + "\n";
        start = end + 1;
    }
    return out;
}

int CmdHelp(const TCliArguments& args) {
    const std::vector<std::string>& operands = args.Operands(0, 1);
    if (operands.empty()) {
        WriteOut(GeneralHelp());
        return 0;
    }
    const TCliCommand* command = FindCliCommand(operands[0]);
    if (command == nullptr) throw ECliUsage("unknown command '" + operands[0] + "'");
    WriteOut(CommandHelp(*command));
    return 0;
}

// Runs one command (or the tool's own options when command is null): what
// it raises becomes the message on stderr and the exit status, and what it
// printed is checked to have been written whole.
template <typename Body>
int Outcome(const TCliCommand* command, Body&& body) {
    const std::string who = command ? std::string("kelvmap-cli ") + command->Name : std::string("kelvmap-cli");
    try {
        const int status = body();
        FinishOut();
        return status;
    } catch (const ECliUsage& e) {
        if (command == nullptr) {
            std::fprintf(stderr, "%s: %s (see kelvmap-cli --help)\n", who.c_str(), e.what());
        } else {
            std::fprintf(stderr, "%s: %s\n%ssee 'kelvmap-cli help %s'\n", who.c_str(), e.what(),
                         Synopsis(*command).c_str(), command->Name);
        }
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", who.c_str(), DescribeError(e).c_str());
        return 1;
    }
}

}  // namespace

std::span<const TCliCommand> CliCommands() { return kCommands; }

const TCliCommand* FindCliCommand(std::string_view name) {
    for (const TCliCommand& c : kCommands)
        if (name == c.Name) return &c;
    return nullptr;
}

int RunCli(int argc, char** argv) {
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::fputs(GeneralUsage().c_str(), stderr);
        return 2;
    }
    // The tool's own options end at the command's name. When they answer
    // the call themselves (--help, --version) or are wrong, that is the end.
    constexpr int kToTheCommand = -1;
    TCliArguments global;
    const int globalStatus = Outcome(nullptr, [&] {
        global = ParseCliArguments(all, kGlobalOptions, true);
        if (global.Has("help")) return CmdHelp(global);
        if (global.Has("version")) {
            global.Operands(0, 0);
            WriteOut(std::string("kelvmap-cli ") + kKelvVersion + "\n");
            return 0;
        }
        if (global.Operands().empty()) throw ECliUsage("no command given");
        return kToTheCommand;
    });
    if (globalStatus != kToTheCommand) return globalStatus;

    const std::string& name = global.Operands()[0];
    const TCliCommand* command = FindCliCommand(name);
    if (command == nullptr) {
        std::fprintf(stderr, "kelvmap-cli: unknown command '%s' (see kelvmap-cli --help)\n", name.c_str());
        return 2;
    }
    const std::vector<std::string> args(global.Operands().begin() + 1, global.Operands().end());
    return Outcome(command, [&] {
        std::vector<TCliOption> options = command->Options;
        options.push_back(kHelpOption);
        const TCliArguments parsed = ParseCliArguments(args, options);
        if (parsed.Has("help")) {
            WriteOut(CommandHelp(*command));
            return 0;
        }
        return command->Run(parsed);
    });
}
