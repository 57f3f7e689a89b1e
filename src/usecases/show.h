#pragma once
// Showing a stored tracing and superimposing a second one; putting a stored tracing into
// the window (the landmark store, the age label, the figure boxes and the result grid,
// under the tracing's caption).

#include <string>

#include "model/tracing.h"
#include "store/record_line.h"
#include "ui/app.h"

namespace ceph::usecases {

// Fills the landmark store, the age label and (unless comparing) the figure boxes from
// a stored tracing, and the result grid from its analysis; gives the report of the
// tracing as the window now shows it, under the caption of tracing `number`.
model::ReportedTracing ApplyStoredTracing(ui::MainWindow& win, const model::Tracing& tracing,
                                          int number = 0);

// The tracing caption "P.n" and the stored tracing, as ApplyStoredTracing.
model::ReportedTracing ApplyTracing(ui::MainWindow& win, int index, const model::Tracing& stored);

// store::FindTracing for the window's data folder and patient, then ApplyTracing. Without a sound
// line nothing but the tracing caption changes.
store::TracingLookup LoadTracing(ui::MainWindow& win, int index);

// The picture of tracing n of the patient in the picture folder.
std::string TracingPicturePath(const ui::MainWindow& win, int n);

// The correction's menu item follows the shown tracing: offered when its film `path` is
// there and no correction is under way.
void OfferCorrection(ui::MainWindow& win, const std::string& path);

// Shows stored tracing index+1: its report on the report panel (and the snapshot), the
// radiograph under the figure when wanted, the figure with its profile, and the menus
// of the viewing state. False when it could not be shown (the user was told why) and the
// window stays as it was.
bool ShowTracing(ui::App& app, int index);

// Superimposes stored tracing index+1 in red on the tracing shown; the landmark store
// keeps the shown tracing.
void comp_Click(ui::App& app, int index);
// The compared tracing laid on the shown S-N line, or as traced at S: the choice holds
// for later comparisons and redraws one under way.
void snmn_Click(ui::App& app);

}  // namespace ceph::usecases
