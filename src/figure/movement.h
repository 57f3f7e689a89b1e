#pragma once
// Simulating treatment on the figure: turning and shifting the selected structure's
// hard-tissue lines and the profile points that ride on it. Only the figure moves; the
// landmarks, the measurements and the stored record stay as they are, and the next
// showing of the tracing rebuilds the figure.

#include "ui/main_window.h"

namespace ceph::figure {

// Turns both ends of a line control by `angle` degrees about (cx, cy) in twips; a
// positive angle turns counter-clockwise on the screen.
void RotateLine(double angle, ui::Line& line, double cx, double cy);
void ShiftLine(ui::Line& line, double dx, double dy);
// Turns profile point i about (cx, cy) in twips of the figure panel.
void RotateProfilePoint(ui::State& state, double angle, int i, double cx, double cy);

// Turns (angle in whole degrees, not 0) or shifts (dx or dy in twips) the structure
// selected in `List1`, then redraws the profile.
void MoveStructure(ui::MainWindow& win, int angle, int dx, int dy);

// The three movement controls: where the mouse is released along the control gives
// the turn or the shift (x, y in twips inside the control).
void Label16_MouseUp(ui::MainWindow& win, float x, float y);
void Label17_MouseUp(ui::MainWindow& win, float x, float y);
void Label18_MouseUp(ui::MainWindow& win, float x, float y);

}  // namespace ceph::figure
