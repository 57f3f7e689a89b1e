#pragma once
// The report of the tracing last loaded (page/tracing_page.h) on the window's current
// output target: the report panel or the printer.

#include "model/tracing.h"
#include "page/tracing_page.h"
#include "ui/app.h"

namespace ceph::report {

// Draws the report of a tracing as it was shown or compared, whatever the window holds
// now, with its text starting at `top` twips. An overlay (the compared tracing) is red
// on screen, shifted down between the rows of the main pass, and without the patient
// header; its figure lies on the shown tracing's S-N line while the state record asks
// for that. A single-tracing report on screen is kept in the state record, where a
// comparison starts from it, and written as the snapshot bitmap.
void DrawReport(ui::App& app, const model::ReportedTracing& tracing, bool overlay, int top);

// The snapshot of the report panel, in the save folder of the data folder.
std::string SnapshotPath(const ui::State& state);

}  // namespace ceph::report
