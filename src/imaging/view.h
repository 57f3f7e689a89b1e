#pragma once
// How the radiograph is shown while landmarks are placed: brightness, contrast and
// inversion of the display, the magnifier and the marks of the placed landmarks, and
// the mouse wheel over the picture. None of it changes the picture, what a click
// stores or what is saved.

#include "ui/app.h"

namespace ceph::imaging {

// Reset returns to the picture's own window (a deep picture's file window, else its
// histogram's); Auto sets the window from the histogram.
enum class ViewStep {
    Brighter,
    Darker,
    MoreContrast,
    LessContrast,
    Invert,
    Reset,
    Auto,
    Loupe,
    Marks
};

// One command of the picture menu's display submenu; ignored while no landmarks are
// being placed.
void ChangeView(ui::App& app, ViewStep step);

// 向右轉 90°, 向左轉 90°, 左右翻轉: the film is turned as shown, and a click then stores
// the units of the turned film, as it would on an upright copy of it. Unlike the other
// aids a turn changes what a click stores: once S is placed the landmarks start again
// at S, as for another picture. The film positions keep the turn; 圖案存檔 stores the
// film as shown, turned.
enum class TurnStep { Right, Left, Mirror };
void TurnFilm(ui::App& app, TurnStep step);

// The wheel over the radiograph: `notches` away from the user (negative: towards)
// pans up, with Shift left; with Ctrl it zooms in, keeping the picture's point under the
// pointer (x, y, twips in the image) in place as far as the pan bars reach.
void Image1_Wheel(ui::App& app, int notches, bool shift, bool ctrl, float x, float y);

// The zoom keys while landmarks are placed: one step of the zoom bar in or out, the
// whole film in the viewport, or 100 %. The film point under the pointer stays in
// place, or the one in the middle of the viewport when the pointer is not over the
// film. The zoom never changes what a click stores: the landmarks keep the scale of S.
enum class ZoomStep { In, Out, Fit, Actual };
void ZoomKey(ui::App& app, ZoomStep step);
// The arrow keys: `across` and `down` small steps of the pan bars (negative: left, up).
void PanKey(ui::App& app, int across, int down);

}  // namespace ceph::imaging
