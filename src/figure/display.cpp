#include "figure/display.h"

#include "figure/figure.h"
#include "ui/figure_boxes.h"

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

// Moves the picture so that its point under (x, y) comes onto S.
void AlignOffsets(ui::MainWindow& win, float x, float y) {
    ui::WriteFigureBox(win, 1, FormatGeneral(TextToNumber(win.Text1[1].text) + kOriginX - x));
    ui::WriteFigureBox(win, 2, FormatGeneral(TextToNumber(win.Text1[2].text) + kOriginY - y));
    win.Text1[1].tag.clear();
}

// Scales the picture so that its horizontal extent from S to x matches S-N on the figure.
void AlignScale(ui::MainWindow& win, float x) {
    const float clickedMm = (x - kOriginX) / kTwipsPerMm;
    ui::WriteFigureBox(win, 0,
                       Format3(TextToNumber(win.Text1[0].text) * win.state.X[1] / clickedMm));
    win.Text1[0].tag.clear();
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
    return true;
}

}  // namespace ceph::figure
