#include "CliArguments.h"

#include <getopt.h>

#include <algorithm>

namespace {

// getopt_long tells an option by its val: the short letter where there is
// one, else kLongOnly plus the option's position.
constexpr int kLongOnly = 256;

int ValOf(const TCliOption& option, size_t index) {
    return option.Short != 0 ? static_cast<unsigned char>(option.Short) : kLongOnly + static_cast<int>(index);
}

const TCliOption* OptionByVal(std::span<const TCliOption> options, int val) {
    for (size_t i = 0; i < options.size(); ++i)
        if (ValOf(options[i], i) == val) return &options[i];
    return nullptr;
}

std::string LongForm(const TCliOption& option) { return std::string("--") + option.Name; }

}  // namespace

const std::vector<std::string>& TCliArguments::Operands(size_t min, size_t max) const {
    if (operands_.size() < min) throw ECliUsage("too few arguments");
    if (operands_.size() > max) throw ECliUsage("too many arguments, from '" + operands_[max] + "' on");
    return operands_;
}

bool TCliArguments::Has(std::string_view name) const {
    return std::any_of(options_.begin(), options_.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> TCliArguments::Value(std::string_view name) const {
    for (auto it = options_.rbegin(); it != options_.rend(); ++it)
        if (it->first == name) return it->second;
    return std::nullopt;
}

TCliArguments ParseCliArguments(const std::vector<std::string>& args, std::span<const TCliOption> options,
                                bool stopAtOperand) {
    // getopt_long wants a mutable argv with the program's name first; the
    // copies live as long as the parse.
    std::vector<std::string> words;
    words.reserve(args.size() + 1);
    words.emplace_back("kelvmap-cli");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    // "-" hands every operand over in place (code 1) and "+" stops at the
    // first one; either also overrides POSIXLY_CORRECT. ":" reports a
    // missing value apart from an unknown option.
    std::string shorts = stopAtOperand ? "+:" : "-:";
    std::vector<option> longs;
    for (size_t i = 0; i < options.size(); ++i) {
        const TCliOption& o = options[i];
        longs.push_back({o.Name, o.ValueName ? required_argument : no_argument, nullptr, ValOf(o, i)});
        if (o.Short != 0) shorts += std::string(1, o.Short) + (o.ValueName ? ":" : "");
    }
    longs.push_back({nullptr, 0, nullptr, 0});

    TCliArguments parsed;
    opterr = 0;  // the messages are ours, raised below
    optind = 0;  // 0, not 1: glibc then starts afresh, as every parse must
    for (;;) {
        const int c = getopt_long(argc, argv.data(), shorts.c_str(), longs.data(), nullptr);
        if (c == -1) break;
        if (c == 1) {
            parsed.operands_.emplace_back(optarg);
            continue;
        }
        if (c == ':') {
            const TCliOption* o = OptionByVal(options, optopt);
            throw ECliUsage("option '" + (o ? LongForm(*o) : std::string("-") + static_cast<char>(optopt)) +
                            "' needs a value");
        }
        if (c == '?') {
            // The argument in question is the one getopt has just passed,
            // except in a cluster of short options ("-hx").
            const std::string word = optind > 0 && optind <= argc ? words[static_cast<size_t>(optind) - 1] : "";
            const TCliOption* o = optopt != 0 ? OptionByVal(options, optopt) : nullptr;
            if (o != nullptr && word.rfind("--", 0) == 0)
                throw ECliUsage("option '" + LongForm(*o) + "' takes no value");
            if (optopt != 0 && o == nullptr)
                throw ECliUsage("unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'");
            const std::string given = word.substr(0, word.find('='));
            std::string candidates;
            for (const TCliOption& each : options)
                if (given.size() > 2 && LongForm(each).rfind(given, 0) == 0)
                    candidates += (candidates.empty() ? "" : ", ") + LongForm(each);
            if (candidates.find(',') != std::string::npos)
                throw ECliUsage("option '" + given + "' is ambiguous (" + candidates + ")");
            throw ECliUsage("unknown option '" + given + "'");
        }
        const TCliOption* o = OptionByVal(options, c);
        parsed.options_.emplace_back(o->Name, optarg ? optarg : "");
    }
    for (int i = optind; i < argc; ++i) parsed.operands_.push_back(words[static_cast<size_t>(i)]);
    return parsed;
}
