#pragma once
// Putting a stored tracing into the window: the landmark store, the age label, the
// figure boxes and the result grid, under the tracing's caption.

#include "model/tracing.h"
#include "store/record_line.h"
#include "ui/main_window.h"

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

}  // namespace ceph::usecases
