#pragma once
// Showing and hiding the figure panel, and aligning the radiograph painted under the
// figure by clicking on it.

#include "ui/main_window.h"

namespace ceph::figure {

// The `graph` menu item toggles the figure panel.
void graph_Click(ui::MainWindow& win);
// A click on the report panel outside the figure hides the figure.
void Picture3_Click(ui::MainWindow& win);

// Mouse released over the figure at (x, y) twips: with the offset boxes armed the
// clicked picture point is moved onto S; otherwise, with the scale box armed and x
// right of S, the picture is scaled so the clicked point comes under N. Returns true
// when a box changed: the alignment is then to be saved and the tracing shown again.
bool AlignPicture(ui::MainWindow& win, float x, float y);

}  // namespace ceph::figure
