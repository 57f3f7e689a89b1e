#pragma once
// The three figure-adjustment boxes Text1 (scale, left and top offset of the radiograph
// under the figure) show the alignment of the state record. What is typed into them is
// taken into the state only when it is committed: Enter, leaving a box or "ReLoad" (a
// value such as 0.25 passes through a lone 0 on its way). Whatever the alignment comes
// from, typed or computed, its scale is guarded at once: a scale that reads as 0 becomes
// 1, since a picture scaled by nothing would vanish.

#include "model/figure_alignment.h"
#include "ui/main_window.h"

namespace ceph::ui {

// Puts `alignment` into the state, its scale guarded, and shows it in the boxes.
void SetFigureAlignment(MainWindow& win, model::FigureAlignment alignment);

// Commits what the boxes hold, as typed.
void AcceptFigureBoxes(MainWindow& win);

}  // namespace ceph::ui
