#include "tools/stored_tracing.h"

#include <ostream>

#include "app/handoff.h"
#include "base/filesys.h"
#include "base/safe_file.h"
#include "digitising/landmarks.h"
#include "model/measurement.h"
#include "presenter/result_grid.h"
#include "records/record_file.h"
#include "records/record_line.h"
#include "tools/analyse.h"

namespace ceph::tools {

std::optional<StoredTracing> ReadStoredTracing(const TracingSource& source, std::ostream& err) {
    const auto lines = app::ReadHandoff(source.handoff);
    if (!lines) {
        err << "cephtool: cannot read the hand-off file " << source.handoff << ": "
            << lines.why().error.message() << "\n";
        return std::nullopt;
    }
    StoredTracing stored;
    stored.number = source.tracing;
    std::string* header[4] = {&stored.patient.name, &stored.patient.code, &stored.patient.birthDate,
                              &stored.patient.sex};
    for (std::size_t i = 0; i < lines->size() && i < 4; ++i)
        *header[i] = (*lines)[i];

    // Only read: a missing record file is not created as the program would.
    const std::string dataDir = base::WithTrailingSeparator(source.data);
    const std::string record = records::RecordFilePath(dataDir, source.tracing);
    base::SourceFile probe;
    const std::error_code missing = probe.Open(record);
    probe.Close();
    const records::TracingLookup found =
        missing == std::errc::no_such_file_or_directory
            ? records::TracingLookup(std::optional<records::RecordFields>())
            : records::FindTracing(dataDir, stored.patient.code, source.tracing - 1);
    if (!found) {
        const records::TracingProblem& why = found.why();
        if (why.error)
            err << "cephtool: cannot read " << record << ": " << why.error.message() << "\n";
        else
            err << "cephtool: tracing " << source.tracing << " of patient \"" << stored.patient.code
                << "\" in " << record << " has " << NotATracingText(why.fault) << "\n";
        return std::nullopt;
    }
    if (*found) {
        stored.tracing = records::TracingOf(**found);
        return stored;
    }
    err << "cephtool: tracing " << source.tracing << " of patient \"" << stored.patient.code
        << "\" is not stored in " << record << "\n";
    return std::nullopt;
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
