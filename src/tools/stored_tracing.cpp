#include "tools/stored_tracing.h"

#include <iostream>
#include <map>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "store/film_positions.h"
#include "store/handoff.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/settings.h"
#include "tools/analyse.h"

namespace ceph::tools {

base::Result<StoredTracing> ReadStoredTracing(const TracingSource& source) {
    const auto lines = store::ReadHandoff(source.handoff);
    if (!lines) {
        const std::error_code ec = lines.why().error;
        return base::Fail(source.handoff, ec,
                          "cannot read the hand-off file " + source.handoff + ": " + ec.message());
    }
    StoredTracing stored;
    stored.number = source.tracing;
    store::FillPatient(stored.patient, *lines);

    // Only read: a missing record file is not created as the program would.
    const std::string dataDir = base::WithTrailingSeparator(source.data);
    const std::string record = store::RecordFilePath(dataDir, source.tracing);
    base::SourceFile probe;
    const std::error_code missing = probe.Open(record);
    probe.Close();
    const store::TracingLookup found =
        missing == std::errc::no_such_file_or_directory
            ? store::TracingLookup(std::optional<store::FoundTracing>())
            : store::FindTracing(dataDir, stored.patient.code, source.tracing - 1);
    const std::string tracing =
        "tracing " + std::to_string(source.tracing) + " of patient \"" + stored.patient.code + "\"";
    if (!found) {
        const store::TracingProblem& why = found.why();
        if (why.error)
            return base::Fail(record, why.error,
                              "cannot read " + record + ": " + why.error.message());
        return base::Fail(record, {},
                          tracing + " in " + record + " has " + NotATracingText(why.fault));
    }
    if (!*found) return base::Fail(record, {}, tracing + " is not stored in " + record);
    stored.tracing = (**found).tracing;
    return stored;
}

bool CountingPositionsOf(const std::string& dataDir, int n, std::vector<CountingPositions>& out) {
    const std::string problem = store::PositionsThatCount(dataDir, n, out);
    if (!problem.empty()) std::cerr << "cephtool: " << problem << "\n";
    return problem.empty();
}

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = name[name.size() - suffix.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c | 0x20 : c) != suffix[i]) return false;
    }
    return true;
}

}  // namespace ceph::tools
