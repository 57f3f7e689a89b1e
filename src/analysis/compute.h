#pragma once
// Running the analysis on the window: the values into the result grid, the norms of
// the patient's group beside the A-Ar-Gn block.

#include <array>
#include <string>

#include "analysis/catalogue.h"
#include "analysis/norms.h"
#include "ui/main_window.h"

namespace ceph::analysis {

// The grid texts of one tracing: 37 values at one decimal (empty where a row has no
// value) and the seven norm texts.
struct AnalysisTexts {
    std::array<std::string, kRows> values;
    std::array<const char*, kNormRows> norms;
};

AnalysisTexts ToTexts(const AnalysisValues& values, int normGroup);

// Computes the landmarks now in the store, sets points 29 and 30, and writes the value
// boxes `Text3` and the norm labels `Label12`.
void ComputeAnalysis(ui::MainWindow& win);

}  // namespace ceph::analysis
