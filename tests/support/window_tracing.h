#pragma once
// A stored tracing shown in a window model as the program shows it, to compare what
// cephtool draws from the model with what the window shows.

#include <string>

#include "app/handoff.h"
#include "base/filesys.h"
#include "base/result.h"
#include "base/safe_file.h"
#include "digitising/landmarks.h"
#include "presenter/header.h"
#include "presenter/result_grid.h"
#include "records/record_file.h"
#include "records/record_line.h"
#include "tools/analyse.h"
#include "tools/stored_tracing.h"
#include "ui/main_window.h"

namespace ceph::tools {

// Fills the header labels and the landmark tables and reads the tracing into the
// store (with its analysis and figure boxes). When the hand-off cannot be read or the
// patient has no such tracing, the problem as ReadStoredTracing gives it.
inline base::Result<void> LoadStoredTracing(ui::MainWindow& w, const TracingSource& source) {
    presenter::LayOutResultGrid(w);
    w.state.DataDir = base::WithTrailingSeparator(source.data);
    digitising::InitLandmarkTables(w.state);
    const auto lines = app::ReadHandoff(source.handoff);
    if (!lines) {
        const std::error_code ec = lines.why().error;
        return base::Fail(source.handoff, ec,
                          "cannot read the hand-off file " + source.handoff + ": " + ec.message());
    }
    for (ui::Label* l : {&w.Label0, &w.Label1, &w.Label3, &w.Label13, &w.Label15})
        l->caption.clear();
    w.state.Patient = {};
    std::string* fields[4] = {&w.state.Patient.name, &w.state.Patient.code,
                              &w.state.Patient.birthDate, &w.state.Patient.sex};
    for (std::size_t i = 0; i < lines->size(); ++i)
        *fields[i] = (*lines)[i];
    presenter::ShowPatient(w);

    // Only read: a missing record file is not created as the program would.
    const std::string record = records::RecordFilePath(w.state.DataDir, source.tracing);
    base::SourceFile probe;
    const std::error_code missing = probe.Open(record);
    probe.Close();
    const records::TracingLookup found =
        missing == std::errc::no_such_file_or_directory
            ? records::TracingLookup(std::optional<records::RecordFields>())
            : records::LoadTracing(w, source.tracing - 1);
    const std::string tracing = "tracing " + std::to_string(source.tracing) + " of patient \"" +
                                w.state.Patient.code + "\"";
    if (!found) {
        const records::TracingProblem& why = found.why();
        if (why.error)
            return base::Fail(record, why.error,
                              "cannot read " + record + ": " + why.error.message());
        return base::Fail(record, {},
                          tracing + " in " + record + " has " + NotATracingText(why.fault));
    }
    if (!*found) return base::Fail(record, {}, tracing + " is not stored in " + record);
    w.state.ShownTracing = static_cast<std::int16_t>(source.tracing - 1);
    return {};
}

}  // namespace ceph::tools
