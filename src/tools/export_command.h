#pragma once
// `cephtool export`: every stored tracing of a data folder as one CSV table, for a
// spreadsheet or a statistics program.

#include <string>
#include <string_view>

#include "tools/options.h"

namespace ceph::tools {

// Appends one CSV field: as it is, or quoted with its quotes doubled when it holds a
// comma, a quote, a CR or an LF. Text that is not UTF-8 is taken as code page 950, as
// the host suite's texts are. A text beginning with =, +, -, @, a tab or a CR that is
// not a number gets a single quote in front, so that a spreadsheet shows it instead of
// running it as a formula.
void AppendCsvField(std::string& out, std::string_view field);

extern const CommandRules kExportRules;

// The table to --out FILE.csv through the atomic writer, or to standard output. 1 when
// a record file, a folder or a hand-off could not be read or a line was skipped (the
// other tracings are still exported), 2 for a faulty command line.
int RunExport(int argc, char** argv);

}  // namespace ceph::tools
