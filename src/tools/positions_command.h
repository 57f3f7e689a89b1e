#pragma once
// `cephtool positions`: where the landmarks of the stored tracings lie on the films they
// were traced on, as a CSV table, for those positions that still count.

#include "tools/options.h"

namespace ceph::tools {

extern const CommandRules kPositionsRules;

int RunPositions(int argc, char** argv);

}  // namespace ceph::tools
