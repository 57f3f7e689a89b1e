#pragma once
// The schematic figure in the window: the figure model written into the figure panel's
// line controls (`Line1` the bones, `Line2` the profile), the profile points of the
// state record, the structure list and the dotted switch, and the panel laid out
// around the figure.

#include "model/figure.h"
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

}  // namespace ceph::presenter
