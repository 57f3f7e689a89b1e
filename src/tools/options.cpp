#include "tools/options.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <ostream>

namespace ceph::tools {

namespace {

// A whole decimal number ("-12", "7"; not "+7", " 7", "7x", "0x7"); out of range when
// it does not fit an int.
std::errc ReadInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || p != end) return std::errc::invalid_argument;
    return ec;
}

bool IsChoice(std::string_view choices, std::string_view text) {
    while (true) {
        const std::size_t bar = choices.find('|');
        if (choices.substr(0, bar) == text) return true;
        if (bar == std::string_view::npos) return false;
        choices.remove_prefix(bar + 1);
    }
}

// Why `text` is not a value of `rule`, or empty.
std::string ValueFault(const OptionRule& rule, const std::string& text, int& number) {
    const std::string given = std::string(rule.name) + " " + text + ": ";
    switch (rule.kind) {
        case OptionRule::Text:
        case OptionRule::Switch:
            return {};
        case OptionRule::Choice:
            if (IsChoice(rule.choices, text)) return {};
            return given + "not one of " + std::string(rule.choices);
        case OptionRule::Number: {
            const std::errc ec = ReadInt(text, number);
            if (ec == std::errc::invalid_argument) return given + "not a whole number";
            if (ec != std::errc() || number < rule.min || number > rule.max)
                return given + "not between " + std::to_string(rule.min) + " and " +
                       std::to_string(rule.max);
            return {};
        }
    }
    return {};
}

// A word that asks for something rather than naming a value or a file: "-" alone is
// standard input.
bool LooksLikeOption(std::string_view arg) {
    return arg.size() > 1 && arg.front() == '-';
}

}  // namespace

const GivenOption* CommandLine::Find(std::string_view name) const {
    auto it = std::find_if(given.begin(), given.end(),
                           [name](const GivenOption& g) { return g.name == name; });
    return it == given.end() ? nullptr : &*it;
}

std::string CommandLine::Text(std::string_view name) const {
    const GivenOption* g = Find(name);
    return g ? g->text : std::string();
}

int CommandLine::Number(std::string_view name, int absent) const {
    const GivenOption* g = Find(name);
    return g ? g->number : absent;
}

std::optional<int> ReadCommandLine(const CommandRules& rules, int argc, char** argv,
                                   CommandLine& line, std::ostream& out, std::ostream& err) {
    // The first fault is told, but reading goes on: --help anywhere still helps.
    std::string fault;
    bool help = false, optionsEnd = false;
    auto note = [&fault](std::string text) {
        if (fault.empty()) fault = std::move(text);
    };
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnd || !LooksLikeOption(arg)) {
            if (line.operands.size() == rules.maxOperands)
                note("unexpected argument " + std::string(arg));
            line.operands.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            help = true;
            continue;
        }
        const auto rule = std::find_if(rules.options.begin(), rules.options.end(),
                                       [arg](const OptionRule& r) { return r.name == arg; });
        if (rule == rules.options.end()) {
            note("unknown option " + std::string(arg));
            continue;
        }
        if (rule->kind == OptionRule::Switch) {
            if (line.Find(rule->name)) note(std::string(arg) + ": given more than once");
            line.given.push_back({rule->name, {}});
            continue;
        }
        // A value is never taken from the next option: "--data --out x" lacks the data.
        if (i + 1 == argc || std::string_view(argv[i + 1]).empty() ||
            std::string_view(argv[i + 1]).starts_with("--")) {
            note(std::string(arg) + ": no value given");
            continue;
        }
        GivenOption given{rule->name, argv[++i], 0, line.operands.size()};
        if (!rule->repeats && line.Find(rule->name))
            note(std::string(arg) + ": given more than once");
        if (std::string why = ValueFault(*rule, given.text, given.number); !why.empty())
            note(std::move(why));
        line.given.push_back(std::move(given));
    }
    if (help) {
        PrintUsage(rules, out);
        return 0;
    }
    for (const OptionRule& rule : rules.options) {
        if (rule.required && !line.Find(rule.name)) note("missing " + std::string(rule.name));
    }
    if (!fault.empty()) return UsageFault(rules, fault, err);
    return std::nullopt;
}

int UsageFault(const CommandRules& rules, std::string_view fault, std::ostream& err) {
    err << "cephtool " << rules.command << ": " << fault << "\n";
    PrintUsage(rules, err);
    return 2;
}

void PrintUsage(const CommandRules& rules, std::ostream& out) {
    out << "usage: " << rules.synopsis << rules.details;
}

int FlushedStatus(int status) {
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "cephtool: cannot write the output\n";
        return 1;
    }
    return status;
}

}  // namespace ceph::tools
