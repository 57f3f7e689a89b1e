#include "ui/figure_boxes.h"

#include "model/numbers.h"

namespace ceph::ui {

void CheckFigureBoxes(MainWindow& win) {
    // Only the scale box is tested, whichever box changed.
    TextBox& scale = win.Text1[0];
    if (TextToNumber(scale.text) == 0) scale.text = "1";
}

void WriteFigureBox(MainWindow& win, int index, std::string text) {
    TextBox& box = win.Text1[index];
    if (box.text == text) return;
    box.text = std::move(text);
    CheckFigureBoxes(win);
}

}  // namespace ceph::ui
