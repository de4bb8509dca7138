#pragma once

// Runs the built kelvmap-cli as a separate process, as a user would, and
// captures its exit code and what it printed. Shared by the suites that test
// the command-line tool.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace clitest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Single-quotes text for the shell.
inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs `cli arguments` (arguments already quoted as the shell needs them),
// with no standard input; standard output and error go through the two files.
inline RunResult RunCli(const std::string& cli, const std::string& arguments, const std::string& outFile,
                        const std::string& errFile) {
    const std::string cmd = Quote(cli) + " " + arguments + " >" + Quote(outFile) + " 2>" + Quote(errFile) + " </dev/null";
    const int status = std::system(cmd.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(outFile);
    r.err = Slurp(errFile);
    return r;
}

}  // namespace clitest
