#include "figure/figure.h"

#include "model/profile.h"
#include "presenter/figure_view.h"

namespace ceph::figure {

namespace {

// The figure kept in the state record and written into the panel's controls.
void ShowNewFigure(ui::MainWindow& win, const model::Profile& profile) {
    ui::State& s = win.state;
    s.ShownFigure = model::MakeFigure(s.X, s.Y, profile);
    presenter::ShowFigure(win, s.ShownFigure);
    presenter::LayOutFigurePanel(win, s.ShownFigure);
}

}  // namespace

void SetUpFigure(ui::MainWindow& win) {
    // The profile is taken as it stands, so the figure shows what the state record holds.
    ShowNewFigure(win, presenter::ShownProfile(win.state));
}

void BuildFigure(ui::MainWindow& win) {
    // The figure carries its profile into the state record's profile points.
    ShowNewFigure(win, model::EstimateProfile(win.state.X, win.state.Y));
}

void List1_Click(ui::MainWindow& win) {
    model::Select(win.state.ShownFigure, win.List1.listIndex);
    presenter::ShowFigure(win, win.state.ShownFigure);
}

void List2_Click(ui::MainWindow& win) {
    win.List1.listIndex = win.List2.listIndex;
    List1_Click(win);
}

void Check1_Click(ui::MainWindow& win) {
    model::SetDotted(win.state.ShownFigure, win.Check1.value == 1);
    presenter::ShowFigure(win, win.state.ShownFigure);
}

}  // namespace ceph::figure
