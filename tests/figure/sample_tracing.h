#pragma once
// A plausible tracing in millimetres (S at the origin, y downwards) laid out as the
// figure sees it when a tracing is shown: landmark tables, profile and figure built.

#include <array>
#include <utility>

#include "digitising/landmarks.h"
#include "figure/figure.h"
#include "ui/main_window.h"

namespace ceph::testing {

inline void LoadSampleTracing(ui::State& s) {
    digitising::InitLandmarkTables(s);
    // N, Or, ANS, A, U1 Apex, U1 Edge, L1 Edge, L1 Apex, B, Pog, Gn, Me, Go, Ar, Po, S, PNS,
    // Upper Molar, Lower Molar.
    const std::array<std::pair<float, float>, 19> points{{{70, -5},
                                                          {55, 15},
                                                          {68, 40},
                                                          {65, 45},
                                                          {60, 52},
                                                          {68, 72},
                                                          {66, 70},
                                                          {55, 90},
                                                          {60, 88},
                                                          {62, 100},
                                                          {58, 106},
                                                          {52, 108},
                                                          {0, 85},
                                                          {-8, 40},
                                                          {-12, 20},
                                                          {0, 0},
                                                          {15, 42},
                                                          {35, 68},
                                                          {35, 72}}};
    for (int n = 1; n <= 19; ++n) {
        s.X[n] = points[n - 1].first;
        s.Y[n] = points[n - 1].second;
    }
    // The occlusal plane as the analysis leaves it: molar and incisor midpoints.
    s.X[29] = 35, s.Y[29] = 70;
    s.X[30] = 67, s.Y[30] = 71;
}

inline void ShowSampleFigure(ui::MainWindow& win) {
    LoadSampleTracing(win.state);
    figure::BuildFigure(win);
}

}  // namespace ceph::testing
