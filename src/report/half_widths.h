#pragma once
// How sure each value of the report is: "±x.x" in small grey beside every value on the
// report panel, from the spread of clinicians' clicks. Screen only: the snapshot and
// the printed page never show it.

#include <string>

#include "ui/app.h"
#include "uncertainty/uncertainty.h"

namespace ceph::report {

// Beside the values of the tracing in the store when "顯示可信範圍" is checked; clears
// them otherwise.
void ShowHalfWidths(ui::App& app);

// The half-widths `u` beside the values of a report laid out for `state`, and what they
// mean, onto `list`.
void DrawHalfWidths(ui::DrawingList& list, const ui::State& state,
                    const uncertainty::Uncertainty& u);

// "顯示可信範圍": switches the half-widths on or off for the tracing shown.
void rangemn_Click(ui::App& app);

}  // namespace ceph::report
