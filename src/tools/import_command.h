#pragma once
// `cephtool import`: record lines from elsewhere (another program, a research batch)
// stored as the patients' tracing N, through the same locked, atomic writer as
// finishing a tracing in the program.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "tools/options.h"

namespace ceph::store {
class RecordReader;
}  // namespace ceph::store

namespace ceph::tools {

struct ImportProblem {
    long line;  // 1-based line number in the input
    std::string reason;
};

// The lines to store, in the form the program writes them, or every bad line's problem.
using PreparedImport = base::Result<std::vector<std::string>, std::vector<ImportProblem>>;

// Checks every line `reader` gives and, when all are sound, gives them in the form the
// program writes: S moved to the origin, coordinates at one decimal. A line must have
// 41 or 44 fields, a code without blanks around it, numbers where numbers belong (as
// store::ReadNumberField takes them), landmarks within reach of S, and a code no
// earlier line had. Blank lines are passed over.
PreparedImport PrepareImport(store::RecordReader& reader);
// The same over the lines of `text`.
PreparedImport PrepareImport(std::string_view text);

extern const CommandRules kImportRules;

int RunImport(int argc, char** argv);

}  // namespace ceph::tools
