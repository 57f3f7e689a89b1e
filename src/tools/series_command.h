#pragma once
// `cephtool series`: a patient's tracings followed over time, laid over the reference
// tracing by a registration, or their values side by side.

#include <string>
#include <vector>

#include "tools/options.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

extern const CommandRules kSeriesRules;

// Writes the follow-up page of `series` (the first the reference) to `out`, a .pdf or a
// .png; the status to end with. Only a build that paints has one.
using SeriesPageWriter = int (*)(const std::vector<StoredTracing>& series, const std::string& out);

int RunSeries(int argc, char** argv, SeriesPageWriter writePage);

}  // namespace ceph::tools
