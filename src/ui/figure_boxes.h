#pragma once
// The three figure-adjustment boxes (scale, left and top offset of the radiograph under
// the figure) are checked whenever a value is committed: the scale box is set to "1" if
// it reads as 0, since a picture scaled by nothing would vanish. Typing commits nothing
// until Enter, leaving the box or "ReLoad" (a value such as 0.25 passes through a lone
// 0 on its way). Every write of the program goes through here and is checked at once.

#include <string>

#include "ui/main_window.h"

namespace ceph::ui {

// The boxes' check.
void CheckFigureBoxes(MainWindow& win);

// Writes box `index` (0..2) and runs the check when the text changed.
void WriteFigureBox(MainWindow& win, int index, std::string text);

}  // namespace ceph::ui
