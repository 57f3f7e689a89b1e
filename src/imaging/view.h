#pragma once
// How the radiograph is shown while landmarks are placed: brightness, contrast and
// inversion of the display, the magnifier and the marks of the placed landmarks, and
// the mouse wheel over the picture. None of it changes the picture, what a click
// stores or what is saved.

#include "ui/app.h"

namespace ceph::imaging {

enum class ViewStep { Brighter, Darker, MoreContrast, LessContrast, Invert, Reset, Loupe, Marks };

// One command of the picture menu's display submenu; ignored while no landmarks are
// being placed.
void ChangeView(ui::App& app, ViewStep step);

// The wheel over the radiograph: `notches` away from the user (negative: towards)
// pans up, with Shift left; with Ctrl it zooms in, keeping the picture's point under the
// pointer (x, y, twips in the image) in place as far as the pan bars reach, and only
// while the zoom may change.
void Image1_Wheel(ui::App& app, int notches, bool shift, bool ctrl, float x, float y);

}  // namespace ceph::imaging
