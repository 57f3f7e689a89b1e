#pragma once
// `cephtool analyse`: the measurements of stored record lines as CSV.

#include <iosfwd>
#include <string>
#include <string_view>

#include "tools/options.h"

namespace ceph::records {
class RecordReader;
}

namespace ceph::tools {

// One CSV line for a record line: the code, the 37 value texts and the 7 norm texts of
// the sex given and the line's own age text.
std::string AnalyseRecordLine(std::string_view line, bool male);

// Analyses every line `reader` gives into `out`; lines that are not record lines, or
// whose coordinates are not finite numbers, are reported on `err` as "NAME:N: ..." and
// skipped. Returns the number of skipped lines.
int AnalyseRecords(records::RecordReader& reader, std::string_view name, std::ostream& out,
                   std::ostream& err, bool male);
int AnalyseStream(std::istream& in, std::string_view name, std::ostream& out, std::ostream& err,
                  bool male);

extern const CommandRules kAnalyseRules;

// Every file named (standard input for "-" or none), in order, to standard output. 1
// when a file could not be read or a line was skipped (the others are still analysed).
int RunAnalyse(int argc, char** argv);

}  // namespace ceph::tools
