#include "figure/display.h"

#include "figure/figure.h"

namespace ceph::figure {

namespace {

// The menu item offers what a click will do: use the hidden figure or cancel the shown one.
constexpr const char* kUseFigure = "使用圖形";
constexpr const char* kCancelFigure = "取消圖形";
// A scale click must lie at least 3.3 mm right of S, or the scale would blow up.
constexpr float kScaleClickBeyond = 900;

// A box is armed for a click on the figure while its tag reads "1".
bool Armed(const ui::TextBox& box) {
    return box.tag == "1";
}

// The scale box never holds 0: a picture scaled by nothing would vanish.
void GuardScale(ui::TextBox& scale) {
    if (TextToNumber(scale.text) == 0) scale.text = "1";
}

// Moves the picture so that its point under (x, y) comes onto S.
void AlignOffsets(ui::MainWindow& win, float x, float y) {
    ui::TextBox& left = win.Text1[1];
    ui::TextBox& top = win.Text1[2];
    left.text = FormatGeneral(TextToNumber(left.text) + kOriginX - x);
    top.text = FormatGeneral(TextToNumber(top.text) + kOriginY - y);
    left.tag.clear();
}

// Scales the picture so that its horizontal extent from S to x matches S-N on the figure.
void AlignScale(ui::MainWindow& win, float x) {
    ui::TextBox& scale = win.Text1[0];
    const float clickedMm = (x - kOriginX) / kTwipsPerMm;
    scale.text = Format3(TextToNumber(scale.text) * win.state.X[1] / clickedMm);
    scale.tag.clear();
}

}  // namespace

void graph_Click(ui::MainWindow& win) {
    if (win.graph.caption != kUseFigure) {
        Picture3_Click(win);
        return;
    }
    win.Picture8.visible = true;
    win.graph.caption = kCancelFigure;
}

void Picture3_Click(ui::MainWindow& win) {
    win.graph.caption = kUseFigure;
    win.Picture8.visible = false;
}

bool AlignPicture(ui::MainWindow& win, float x, float y) {
    // With both boxes armed the offsets win; the scale waits for the next click.
    if (Armed(win.Text1[1])) {
        AlignOffsets(win, x, y);
    } else if (x > kScaleClickBeyond && Armed(win.Text1[0])) {
        AlignScale(win, x);
    } else {
        return false;
    }
    GuardScale(win.Text1[0]);
    return true;
}

}  // namespace ceph::figure
