#pragma once
// A stored tracing shown in a window model as the program shows it, to compare what
// cephtool draws from the model with what the window shows.

#include <string>

#include "base/filesys.h"
#include "base/result.h"
#include "digitising/landmarks.h"
#include "presenter/header.h"
#include "presenter/result_grid.h"
#include "store/record_line.h"
#include "tools/stored_tracing.h"
#include "ui/main_window.h"
#include "usecases/show.h"

namespace ceph::tools {

// Fills the header labels and the landmark tables and reads the tracing into the
// store (with its analysis and figure boxes). When the hand-off cannot be read or the
// patient has no such tracing, the problem as ReadStoredTracing gives it.
inline base::Result<void> LoadStoredTracing(ui::MainWindow& w, const TracingSource& source) {
    presenter::LayOutResultGrid(w);
    w.state.DataDir = base::WithTrailingSeparator(source.data);
    digitising::InitLandmarkTables(w.state);
    const base::Result<StoredTracing> stored = ReadStoredTracing(source);
    if (!stored) return base::Fail(stored.why());
    for (ui::Label* l : {&w.Label0, &w.Label1, &w.Label3, &w.Label13, &w.Label15})
        l->caption.clear();
    w.state.Patient = stored->patient;
    presenter::ShowPatient(w);
    // The window reads the line again, as showing the tracing does.
    const store::TracingLookup found = usecases::LoadTracing(w, source.tracing - 1);
    if (!found || !*found)
        return base::Fail(source.data, {}, "the tracing could not be shown in the window");
    w.state.ShownTracing = static_cast<std::int16_t>(source.tracing - 1);
    return {};
}

}  // namespace ceph::tools
