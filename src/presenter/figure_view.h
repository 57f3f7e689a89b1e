#pragma once
// The schematic figure in the window: the figure model written into the figure panel's
// line controls (`Line1` the bones, `Line2` the profile), the profile points of the
// state record, the structure list and the dotted switch, the panel laid out around the
// figure, and the alignment boxes of the radiograph under it.

#include "model/figure.h"
#include "model/figure_alignment.h"
#include "ui/main_window.h"

namespace ceph::presenter {

// The figure's lines, profile points, chosen structure, each structure's movement so
// far and the dotted switch.
void ShowFigure(ui::MainWindow& win, const model::Figure& figure);

// The movement and alignment frames in front of the nose, the panel sized to hold them
// and the chin, and centred in the window.
void LayOutFigurePanel(ui::MainWindow& win, const model::Figure& figure);

// The figure panel shown or hidden as the state has it, and the `graph` item offering
// the other.
void ShowFigurePanel(ui::MainWindow& win);

// The profile points as the state record keeps them beside the figure, and back.
void ShowProfile(ui::State& state, const model::Profile& profile);
model::Profile ShownProfile(const ui::State& state);

// The three figure-adjustment boxes Text1 (scale, left and top offset of the radiograph
// under the figure) show the alignment of the state record. What is typed into them is
// taken into the state only when it is committed: Enter, leaving a box or "ReLoad" (a
// value such as 0.25 passes through a lone 0 on its way). Whatever the alignment comes
// from, typed or computed, its scale is guarded at once: a scale that reads as 0 becomes
// 1, since a picture scaled by nothing would vanish.

// Puts `alignment` into the state, its scale guarded, and shows it in the boxes.
void SetFigureAlignment(ui::MainWindow& win, model::FigureAlignment alignment);

// Commits what the boxes hold, as typed.
void AcceptFigureBoxes(ui::MainWindow& win);

}  // namespace ceph::presenter
