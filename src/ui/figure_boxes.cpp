#include "ui/figure_boxes.h"

namespace ceph::ui {

void SetFigureAlignment(MainWindow& win, model::FigureAlignment alignment) {
    model::GuardScale(alignment);
    const model::FigureAlignment& a = win.state.FigurePanel.alignment = std::move(alignment);
    win.Text1[0].text = a.scale.text;
    win.Text1[1].text = a.left.text;
    win.Text1[2].text = a.top.text;
}

void AcceptFigureBoxes(MainWindow& win) {
    model::FigureAlignment typed;
    typed.scale = model::TypedNumber(win.Text1[0].text);
    typed.left = model::TypedNumber(win.Text1[1].text);
    typed.top = model::TypedNumber(win.Text1[2].text);
    SetFigureAlignment(win, std::move(typed));
}

}  // namespace ceph::ui
