#include "figure/movement.h"

#include "model/figure_movement.h"
#include "presenter/figure_view.h"

namespace ceph::figure {

namespace {

// Where along a movement control the mouse was released, in `steps` equal parts of its
// extent, rounded half to even in single precision.
int StepAt(float position, float extent, int steps) {
    return RoundToInt16(static_cast<float>(steps) * position / extent);
}

}  // namespace

void MoveStructure(ui::MainWindow& win, int angle, int dx, int dy) {
    model::MoveStructure(win.state.ShownFigure, angle, dx, dy);
    presenter::ShowFigure(win, win.state.ShownFigure);
}

void Label16_MouseUp(ui::MainWindow& win, float x, float /*y*/) {
    const float width = win.Label16.width;
    if (width == 0) return;
    // Left end +6 degrees (counter-clockwise) to right end -7 (clockwise).
    MoveStructure(win, 6 - StepAt(x, width, 13), 0, 0);
}

void Label17_MouseUp(ui::MainWindow& win, float x, float /*y*/) {
    const float width = win.Label17.width;
    if (width == 0) return;
    MoveStructure(win, 0, StepAt(x, width, 41) - 20, 0);
}

void Label18_MouseUp(ui::MainWindow& win, float /*x*/, float y) {
    const float height = win.Label18.height;
    if (height == 0) return;
    MoveStructure(win, 0, 0, StepAt(y, height, 41) - 20);
}

}  // namespace ceph::figure
