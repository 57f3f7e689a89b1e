#pragma once
// `cephtool analyse`: the measurements of stored record lines as CSV.

#include <iosfwd>
#include <string>
#include <string_view>

namespace ceph::tools {

// One CSV line for a record line: the code, the 37 value texts and the 7 norm texts of
// the sex given and the line's own age text.
std::string AnalyseRecordLine(std::string_view line, bool male);

// Analyses every line of `in` into `out`; lines that are not record lines are reported
// on `err` with their line number and skipped. Returns the number of skipped lines.
int AnalyseStream(std::istream& in, std::ostream& out, std::ostream& err, bool male);

}  // namespace ceph::tools
