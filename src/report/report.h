#pragma once
// The report of the tracing last loaded: patient header, the 37 result rows and a
// small line figure, on the current output target.

#include "base/app.h"

namespace ceph::report {

// Draws one report with its text starting at `top` twips. An overlay (the compared
// tracing) is red on screen, shifted down between the rows of the main pass, and
// without the patient header. A single-tracing report on screen is also kept as the
// snapshot bitmap that a comparison starts from.
void DrawReport(base::App& app, bool overlay, int top);

// The snapshot of the report panel, in the save folder of the data folder.
std::string SnapshotPath(const ui::State& state);

}  // namespace ceph::report
