#pragma once
// `cephtool analyse`: the measurements of stored record lines as CSV.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "model/measurement.h"
#include "model/tracing.h"
#include "tools/named_analysis.h"
#include "tools/options.h"
#include "uncertainty/uncertainty.h"

namespace ceph::store {
class RecordReader;
struct RecordFields;
enum class LineFault;
}  // namespace ceph::store

namespace ceph::tools {

// What each output line holds beyond the values and norms.
struct AnalyseOptions {
    bool male = false;
    // The 37 half-widths of the 95 % range after the norms, from this model, when set.
    const uncertainty::ErrorModel* errorModel = nullptr;
    int draws = uncertainty::kDefaultDraws;
    std::uint64_t seed = uncertainty::kDefaultSeed;
    // A named analysis printed in place of the 37 rows and their norms, when set.
    const NamedChoice* named = nullptr;
};

// One CSV line for a record line: the code, the 37 value texts and the 7 norm texts of
// the sex given and the line's own age text (and the half-widths when asked for).
std::string AnalyseRecordLine(std::string_view line, bool male);
std::string AnalyseRecordLine(std::string_view line, const AnalyseOptions& options);

// The names of the columns of those lines.
std::string AnalyseHeader(bool uncertainty);
std::string AnalyseHeader(const AnalyseOptions& options);

// The 37 value texts as the report shows them ("*****" for one too long for its
// field) and the 7 norm texts of a record line's fields, for the sex given and the
// line's own age text: what every command prints of a tracing.
model::AnalysisTexts AnalyseTracing(const model::Tracing& tracing, bool male);

// Why a line is no tracing, as the commands say it ("coordinates that are not finite
// numbers").
std::string NotATracingText(store::LineFault fault);

// Hands every line `reader` gives that is a tracing to `tracing`, with its fields; lines
// that are not record lines (a line longer than any record line among them), or that
// are no tracing (store::LineFault), are reported on `err` as "NAME:N: ..., skipped".
// Returns the number of skipped lines.
using TracingSink = std::function<void(std::string_view line, const model::Tracing&)>;
int ForEachTracing(store::RecordReader& reader, std::string_view name, std::ostream& err,
                   const TracingSink& tracing);

// Analyses every line `reader` gives into `out`; lines that are not record lines, or
// whose coordinates are not finite numbers, are reported on `err` as "NAME:N: ..." and
// skipped. Returns the number of skipped lines.
int AnalyseRecords(store::RecordReader& reader, std::string_view name, std::ostream& out,
                   std::ostream& err, const AnalyseOptions& options);
int AnalyseStream(std::istream& in, std::string_view name, std::ostream& out, std::ostream& err,
                  bool male);

extern const CommandRules kAnalyseRules;

// Every file named (standard input for "-" or none), in order, to standard output. 1
// when a file could not be read or a line was skipped (the others are still analysed).
int RunAnalyse(int argc, char** argv);

}  // namespace ceph::tools
