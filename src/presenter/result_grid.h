#pragma once
// The off-screen result grid: laid out from the standard analysis's table, and filled
// with the values and norms of the tracing in the landmark store.

#include "model/tracing.h"
#include "ui/main_window.h"

namespace ceph::presenter {

// Captions, value boxes, unit labels and norm labels of the result grid in their
// places, from the table.
void LayOutResultGrid(ui::MainWindow& win);

// A tracing's results in the window: its landmarks (29 and 30 with them) in the store,
// its values in the boxes `Text3` and its norms in the labels `Label12`.
void ShowResults(ui::MainWindow& win, const model::ReportedTracing& tracing);

}  // namespace ceph::presenter
