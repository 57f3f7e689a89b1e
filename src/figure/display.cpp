#include "figure/display.h"

#include "figure/figure.h"
#include "presenter/figure_view.h"

namespace ceph::figure {

namespace {

// A scale click must lie at least 3.3 mm right of S, or the scale would blow up.
constexpr float kScaleClickBeyond = 900;

// Moves the picture so that its point under (x, y) comes onto S.
void AlignOffsets(ui::MainWindow& win, float x, float y) {
    model::FigureAlignment a = win.state.FigurePanel.alignment;
    a.left = model::TypedNumber(FormatGeneral(a.left.Value() + kOriginX - x));
    a.top = model::TypedNumber(FormatGeneral(a.top.Value() + kOriginY - y));
    presenter::SetFigureAlignment(win, std::move(a));
    win.state.FigurePanel.offsetArmed = false;
}

// Scales the picture so that its horizontal extent from S to x matches S-N on the figure.
void AlignScale(ui::MainWindow& win, float x) {
    const float clickedMm = (x - kOriginX) / kTwipsPerMm;
    model::FigureAlignment a = win.state.FigurePanel.alignment;
    a.scale = model::TypedNumber(Format3(a.scale.Value() * win.state.X[1] / clickedMm));
    presenter::SetFigureAlignment(win, std::move(a));
    win.state.FigurePanel.scaleArmed = false;
}

// The panel shown or hidden, the menu item offering the other.
void ShowPanel(ui::MainWindow& win, bool shown) {
    win.state.FigurePanel.shown = shown;
    presenter::ShowFigurePanel(win);
}

}  // namespace

void graph_Click(ui::MainWindow& win) {
    ShowPanel(win, !win.state.FigurePanel.shown);
}

void Picture3_Click(ui::MainWindow& win) {
    ShowPanel(win, false);
}

bool AlignPicture(ui::MainWindow& win, float x, float y) {
    const ui::FigurePanelState& f = win.state.FigurePanel;
    // With both boxes armed the offsets win; the scale waits for the next click.
    if (f.offsetArmed) {
        AlignOffsets(win, x, y);
    } else if (x > kScaleClickBeyond && f.scaleArmed) {
        AlignScale(win, x);
    } else {
        return false;
    }
    return true;
}

}  // namespace ceph::figure
