#pragma once
// Simulating treatment on the shown figure from the movement bars: where the mouse is
// released along a bar gives the turn or the shift of the structure chosen in the
// list. The figure model moves (model/figure_movement.h) and the presenter shows it.

#include "ui/main_window.h"

namespace ceph::figure {

// Turns (angle in whole degrees, not 0) or shifts (dx or dy in twips) the structure
// selected in `List1`, then redraws the profile.
void MoveStructure(ui::MainWindow& win, int angle, int dx, int dy);

// The three movement controls: where the mouse is released along the control gives
// the turn or the shift (x, y in twips inside the control).
void Label16_MouseUp(ui::MainWindow& win, float x, float y);
void Label17_MouseUp(ui::MainWindow& win, float x, float y);
void Label18_MouseUp(ui::MainWindow& win, float x, float y);

// "移動": the turn and shifts typed beside the list added to the selected structure as
// one step, as clicks on the bars add them; empty boxes are 0. Why a box cannot be
// taken (not a number, a turn that is not whole degrees, more than the figure can show)
// is said under the boxes, and nothing moves.
void CommandMove_Click(ui::MainWindow& win);

}  // namespace ceph::figure
