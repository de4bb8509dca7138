#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "KelvErrors.h"

// A command line that is wrong in itself: an unknown option, a missing value,
// too few or too many arguments, an argument of the wrong form. The tool
// prints the text with the command's usage and ends with exit status 2
// (other errors end with 1).
class ECliUsage : public EKelvError {
public:
    using EKelvError::EKelvError;
};

// One option of a command, given as --Name (or -Short when Short is not 0).
// An option with a ValueName takes a value ("--mode full" or "--mode=full");
// one without is a switch.
struct TCliOption {
    const char* Name;
    char Short = 0;
    const char* ValueName = nullptr;
};

// A command's arguments after the parse: the options given and the operands
// (every argument that is not an option or an option's value, in order).
class TCliArguments {
public:
    static constexpr size_t kAny = std::numeric_limits<size_t>::max();

    const std::vector<std::string>& Operands() const { return operands_; }

    // The operands, raising ECliUsage ("too few arguments", "too many
    // arguments, from 'X' on") unless there are min to max of them.
    const std::vector<std::string>& Operands(size_t min, size_t max) const;

    // Whether the option (its long name) was given at least once.
    bool Has(std::string_view name) const;

    // The value given to the option the last time it was given; nothing when
    // it was not given.
    std::optional<std::string> Value(std::string_view name) const;

    // Every option given, in order, with its value ("" for a switch).
    const std::vector<std::pair<std::string, std::string>>& Options() const { return options_; }

private:
    friend TCliArguments ParseCliArguments(const std::vector<std::string>&, std::span<const TCliOption>, bool);
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> operands_;
};

// Parses the arguments of a command (those after its name) with getopt_long:
// options and operands may be mixed in any order, "--name=value" and
// "--name value" are the same, a long name may be shortened while it stays
// unambiguous, and "--" ends the options, so that every argument after it is
// an operand, even one that begins with "-". A lone "-" is an operand. With
// stopAtOperand the options end at the first operand instead (for the
// options before the command's name). Raises ECliUsage for an unknown
// option, an option without its value, and a value given to a switch.
TCliArguments ParseCliArguments(const std::vector<std::string>& args, std::span<const TCliOption> options,
                                bool stopAtOperand = false);
