#pragma once
// The off-screen result grid: laid out from the standard analysis's table, and filled
// with the values and norms of the tracing in the landmark store.

#include "ui/main_window.h"

namespace ceph::presenter {

// Captions, value boxes, unit labels and norm labels of the result grid in their
// places, from the table.
void LayOutResultGrid(ui::MainWindow& win);

// Computes the landmarks now in the store, sets points 29 and 30, and writes the value
// boxes `Text3` and the norm labels `Label12` (the norms of the patient's sex and of
// the tracing's age text).
void ComputeAnalysis(ui::MainWindow& win, std::string_view age);

}  // namespace ceph::presenter
