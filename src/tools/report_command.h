#pragma once
// `cephtool report`: the printed page of a stored tracing, written as PDF or PNG.

#include "tools/options.h"

namespace ceph::tools {

extern const CommandRules kReportRules;

int RunReport(int argc, char** argv);

}  // namespace ceph::tools
