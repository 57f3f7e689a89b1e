#pragma once
// The three figure-adjustment boxes (scale, left and top offset of the radiograph under
// the figure) guard themselves: whenever any of them changes, typed or written by the
// program, the scale box is set to "1" if it reads as 0, since a picture scaled by
// nothing would vanish. Every write of the program goes through here so the rule runs
// for it as for the user's typing.

#include <string>

#include "ui/main_window.h"

namespace ceph::ui {

// The boxes' change rule.
void FigureBoxesChanged(MainWindow& win);

// Writes box `index` (0..2) and runs the change rule when the text changed.
void WriteFigureBox(MainWindow& win, int index, std::string text);

}  // namespace ceph::ui
