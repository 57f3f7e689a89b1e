#include "figure/movement.h"

#include <cmath>
#include <optional>
#include <string>

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

namespace {

// How far a typed step may go: a turn beyond this, or a shift beyond this many
// millimetres, is a slip of the keyboard, not a treatment.
constexpr double kMostTurn = 90, kMostShift = 50;

// The number a box holds (0 when empty), or why it cannot be taken.
std::optional<double> Typed(const std::string& text, double most, std::string& why) {
    if (TrimBlanks(text).empty()) return 0.0;
    if (!IsDecimalNumber(text)) {
        why = "「" + text + "」不是數字";
        return std::nullopt;
    }
    const double v = TextToNumber(text);
    if (std::abs(v) > most) {
        why = "「" + text + "」太大";
        return std::nullopt;
    }
    return v;
}

}  // namespace

void CommandMove_Click(ui::MainWindow& win) {
    std::string why;
    const auto turn = Typed(win.TextTurn.text, kMostTurn, why);
    const auto across = Typed(win.TextAcross.text, kMostShift, why);
    const auto up = Typed(win.TextUp.text, kMostShift, why);
    if (turn && *turn != std::round(*turn)) why = "轉動須為整數度";
    win.LabelTyped.foreColor = why.empty() ? kSystemWindowText : kRed;
    win.LabelTyped.caption = why.empty() ? std::string(ui::kTypedMovementCaption) : why;
    if (!why.empty()) return;
    const auto twips = [](double mm) {
        return static_cast<int>(std::lround(mm * model::kFigureTwipsPerMm));
    };
    if (*turn != 0) MoveStructure(win, static_cast<int>(*turn), 0, 0);
    if (twips(*across) != 0) MoveStructure(win, 0, twips(*across), 0);
    // Up on the screen is towards smaller y.
    if (twips(*up) != 0) MoveStructure(win, 0, 0, -twips(*up));
}

}  // namespace ceph::figure
