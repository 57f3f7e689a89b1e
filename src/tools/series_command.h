#pragma once
// `cephtool series`: a patient's tracings followed over time, laid over the reference
// tracing by a registration, or their values side by side.

#include "tools/options.h"

namespace ceph::tools {

extern const CommandRules kSeriesRules;

int RunSeries(int argc, char** argv);

}  // namespace ceph::tools
