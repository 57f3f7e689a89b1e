#pragma once
// The command lines of cephtool's commands, all read by the same rules: every option
// takes one value, except a switch, which takes none; an option may be given once
// unless it is a step that repeats; an unknown option, a missing value, a value that
// is not what the option takes, a missing required option or an argument where none
// is taken is a usage fault, told in one line with the command's usage on standard
// error (exit status 2); --help or -h prints the usage on standard output (exit
// status 0). "--" ends the options.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ceph::tools {

struct OptionRule {
    enum Kind { Text, Number, Choice, Switch };
    std::string_view name;  // "--tracing"
    Kind kind = Text;
    int min = 0, max = 0;        // Number: the values allowed
    std::string_view choices{};  // Choice: the values allowed, as "M|F"
    bool required = false;
    bool repeats = false;  // every use is kept, in the order given
};

struct CommandRules {
    std::string_view command;   // "report"
    std::string_view synopsis;  // "cephtool report --data DIR ...\n", maybe several lines
    std::string_view details;   // what the values mean, below the synopsis
    std::span<const OptionRule> options;
    std::size_t maxOperands = 0;  // arguments that are not options (files)
};

struct GivenOption {
    std::string_view name;
    std::string text;
    int number = 0;  // for Number options
    // The operands given before it, so an option can apply to the files after it.
    std::size_t operandsBefore = 0;
};

struct CommandLine {
    std::vector<GivenOption> given;  // in the order given
    std::vector<std::string> operands;

    // The option's (first) use, or null.
    const GivenOption* Find(std::string_view name) const;
    std::string Text(std::string_view name) const;  // empty when not given
    int Number(std::string_view name, int absent = 0) const;
    bool Has(std::string_view name) const { return Find(name) != nullptr; }
};

// Reads argv by the rules into `line`. Nothing when the command is to run; otherwise
// the exit status, after the usage went to `out` (help) or the fault and the usage to
// `err`.
std::optional<int> ReadCommandLine(const CommandRules& rules, int argc, char** argv,
                                   CommandLine& line, std::ostream& out, std::ostream& err);

// "usage: ", the synopsis and the details.
void PrintUsage(const CommandRules& rules, std::ostream& out);

// A fault the command finds itself once the line is read (e.g. the output file's
// ending): told like the reader's own. Returns 2.
int UsageFault(const CommandRules& rules, std::string_view fault, std::ostream& err);

// The end of a command that printed to standard output: `status`, or 1 after saying so
// when the output could not be written (a full disk, a closed pipe).
int FlushedStatus(int status);

}  // namespace ceph::tools
