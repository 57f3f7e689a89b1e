#pragma once
// Showing a stored tracing and superimposing a second one.

#include <string>

#include "ui/app.h"

namespace ceph::usecases {

// The picture of tracing n of the patient in the picture folder.
std::string TracingPicturePath(const ui::MainWindow& win, int n);

// Shows stored tracing index+1: its report on the report panel (and the snapshot), the
// radiograph under the figure when wanted, the figure with its profile, and the menus
// of the viewing state.
void ShowTracing(ui::App& app, int index);

// Superimposes stored tracing index+1 in red on the tracing shown; the landmark store
// keeps the shown tracing.
void comp_Click(ui::App& app, int index);
// The compared tracing laid on the shown S-N line, or as traced at S: the choice holds
// for later comparisons and redraws one under way.
void snmn_Click(ui::App& app);

}  // namespace ceph::usecases
