#include "figure/figure.h"

#include "model/profile.h"
#include "presenter/figure_view.h"

namespace ceph::figure {

void SetUpFigure(ui::MainWindow& win) {
    ui::State& s = win.state;
    // The profile is taken as it stands, so the figure shows what the state record holds.
    s.ShownFigure = model::MakeFigure(s.X, s.Y, presenter::ShownProfile(s));
    presenter::ShowFigure(win, s.ShownFigure);
    presenter::LayOutFigurePanel(win, s.ShownFigure);
}

void BuildFigure(ui::MainWindow& win) {
    presenter::ShowProfile(win.state, model::EstimateProfile(win.state.X, win.state.Y));
    SetUpFigure(win);
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
