#pragma once
// The analyses a practice can choose from: the built-in ones and those of its own table
// `analyses.tsv` in the data folder. A faulty table is named with its line and the
// reason, and the built-in analyses are offered without it.

#include <string>
#include <vector>

#include "model/analyses.h"

namespace ceph::store {

inline constexpr const char* kPracticeAnalysesFile = "analyses.tsv";

struct LoadedAnalyses {
    std::vector<model::NamedAnalysis> analyses;  // built-in first, then the practice's
    // Empty, or what is wrong with the practice's table, naming the file, the line and
    // the reason (Traditional Chinese).
    std::string problem;
};

// Reads the practice's table when the data folder has one (a regular file only); none
// is no problem. `dataDir` ends with the platform separator.
LoadedAnalyses LoadAnalyses(const std::string& dataDir);

}  // namespace ceph::store
