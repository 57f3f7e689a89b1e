#pragma once
// The named analyses at the command line: `cephtool analyses` lists them, and
// `analyse` and `export` print one of them (--analysis NAME) instead of the 37 rows:
// for each measurement its value, its norm for the patient and its flag.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/analyses.h"
#include "model/tracing.h"
#include "tools/options.h"

namespace ceph::tools {

// The analysis a command prints, with the norm set and the sex its norms are chosen by.
struct NamedChoice {
    std::vector<model::NamedAnalysis> all;  // kept: `analysis` points into it
    const model::NamedAnalysis* analysis = nullptr;
    std::string normSet;
};

// The choice the options --analysis, --norm-set and --data make; nothing when
// --analysis is not given. Both names are matched by model::SameName. A name that is no
// analysis, or that names none or several of its norm sets, is a usage fault (its status in
// `status`); a practice table that cannot be read is told on standard error and the built-in
// analyses are used (status 1).
std::optional<NamedChoice> ReadNamedChoice(const CommandRules& rules, const CommandLine& cl,
                                           int& status);

// The norm set of `analysis` that `set` names (matched by model::SameName); a name that
// names none or several is a usage fault (its status in `status`).
std::optional<std::string> ReadNormSet(const CommandRules& rules,
                                       const model::NamedAnalysis& analysis, const std::string& set,
                                       int& status);

// The header fields after the fixed ones: for each measurement its name, "NAME norm" and
// "NAME flag".
std::string NamedHeader(const model::NamedAnalysis& analysis);

// The fields of one tracing, each after a comma, with the norms of a sex ("M" or "F": the
// commands take female norms when no sex is known, for these rows as for the 37).
std::string NamedFields(const NamedChoice& choice, const model::Tracing& tracing, bool male);

extern const CommandRules kAnalysesRules;

// `cephtool analyses [--data DIR]`.
int RunAnalyses(int argc, char** argv);

}  // namespace ceph::tools
