#pragma once
// How sure each value of the report is: "±x.x" in small grey beside every value on the
// report panel, from the spread of clinicians' clicks. Screen only: the snapshot and
// the printed page never show it.

#include <string>

#include "ui/app.h"

namespace ceph::report {

// Beside the values of the tracing in the store when "顯示可信範圍" is checked; clears
// them otherwise.
void ShowHalfWidths(ui::App& app);

// "顯示可信範圍": switches the half-widths on or off for the tracing shown.
void rangemn_Click(ui::App& app);

}  // namespace ceph::report
