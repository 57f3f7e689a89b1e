#pragma once
// `cephtool train` and `cephtool suggest`: learning where the landmarks lie from films
// whose landmarks are known, and suggesting them on other films.

#include "tools/options.h"

namespace ceph::tools {

extern const CommandRules kTrainRules;
extern const CommandRules kSuggestRules;

int RunTrain(int argc, char** argv);
int RunSuggest(int argc, char** argv);

}  // namespace ceph::tools
