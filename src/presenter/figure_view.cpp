#include "presenter/figure_view.h"

#include "model/figure_movement.h"

namespace ceph::presenter {

namespace {

// A hidden control keeps the colour it last showed: it is not seen, and the window has
// always left it so.
void ShowLine(ui::Line& control, const model::FigureLine& line) {
    control.x1 = line.x1;
    control.y1 = line.y1;
    control.x2 = line.x2;
    control.y2 = line.y2;
    if (line.visible) control.borderColor = line.colour;
    control.borderWidth = line.width;
    control.visible = line.visible;
    control.dotted = line.dotted;
}

}  // namespace

void ShowFigure(ui::MainWindow& win, const model::Figure& figure) {
    for (int k = 0; k < model::kHardTissueLines; ++k)
        ShowLine(win.Line1[k], figure.hardTissue[k]);
    for (int i = 0; i < model::kProfileSegments; ++i)
        ShowLine(win.Line2[i], figure.profile[i]);
    ShowProfile(win.state, figure.profilePoints);
    win.List1.listIndex = figure.selected;
    win.List2.items.resize(model::kFigureStructures);
    for (int s = 0; s < model::kFigureStructures; ++s)
        win.List2.items[static_cast<std::size_t>(s)] = model::MovementText(figure.simulation, s);
    win.List2.listIndex = figure.selected;
    win.Check1.value = figure.dotted ? 1 : 0;
}

void LayOutFigurePanel(ui::MainWindow& win, const model::Figure& figure) {
    win.Frame1.left = figure.movementFrameLeft;
    win.Frame2.left = figure.alignmentFrameLeft;
    ui::PictureBox& panel = win.Picture8;
    panel.backColor = figure.background;
    panel.width = figure.width;
    panel.height = figure.height;
    panel.left = (win.readceph.width - panel.width) / 2.0f;
}

void ShowFigurePanel(ui::MainWindow& win) {
    const bool shown = win.state.FigurePanel.shown;
    win.Picture8.visible = shown;
    win.graph.caption = shown ? "取消圖形" : "使用圖形";
}

void ShowProfile(ui::State& state, const model::Profile& profile) {
    for (int i = 0; i < model::kProfilePoints; ++i) {
        state.ProfilePts[0][i] = profile.x[i];
        state.ProfilePts[1][i] = profile.y[i];
    }
}

model::Profile ShownProfile(const ui::State& state) {
    model::Profile profile;
    for (int i = 0; i < model::kProfilePoints; ++i) {
        profile.x[i] = state.ProfilePts[0][i];
        profile.y[i] = state.ProfilePts[1][i];
    }
    return profile;
}

void SetFigureAlignment(ui::MainWindow& win, model::FigureAlignment alignment) {
    model::GuardScale(alignment);
    const model::FigureAlignment& a = win.state.FigurePanel.alignment = std::move(alignment);
    win.Text1[0].text = a.scale.text;
    win.Text1[1].text = a.left.text;
    win.Text1[2].text = a.top.text;
}

void AcceptFigureBoxes(ui::MainWindow& win) {
    model::FigureAlignment typed;
    typed.scale = model::TypedNumber(win.Text1[0].text);
    typed.left = model::TypedNumber(win.Text1[1].text);
    typed.top = model::TypedNumber(win.Text1[2].text);
    SetFigureAlignment(win, std::move(typed));
}

}  // namespace ceph::presenter
