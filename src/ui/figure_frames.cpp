// The figure panel's two frames: the structures to move with their bars and typed
// movements, and the alignment of the radiograph under the figure.
#include "model/figure.h"
#include "ui/main_window.h"

namespace ceph::ui {

void MainWindow::BuildFigureFrames() {
    controls_.Add(Frame2, "Frame2", &Picture8, {4800, 3240, 2055, 975}, "調整圖形");
    // The boxes show the alignment of the state: scale 1 at the panel's corner.
    const model::FigureAlignment& at = state.FigurePanel.alignment;
    controls_.Add(Text1[0], {"Text1", 0}, &Frame2, {120, 270, 570, 300}, at.scale.text);
    controls_.Add(Text1[1], {"Text1", 1}, &Frame2, {750, 270, 570, 300}, at.left.text);
    controls_.Add(Text1[2], {"Text1", 2}, &Frame2, {1380, 270, 570, 300}, at.top.text);
    controls_.Add(Command2, "Command2", &Frame2, {120, 600, 1800, 300}, "ReLoad");

    controls_.Add(Frame1, "Frame1", &Picture8, {4680, 240, model::kMovementFrameWidth, 2895},
                  "組織移動");
    controls_.Add(Check2, "Check2", &Frame1, {1320, 2520, 855, 270}, "圖形").value = 1;
    controls_.Add(List1, "List1", &Frame1, {120, 240, 1620, 1815});
    List1.items.assign(std::begin(model::kStructureNames), std::end(model::kStructureNames));
    // Each structure's movement so far, on its line: the same face, size and height as
    // List1 keep the lines level, and the same selection makes one row of the two.
    controls_.Add(List2, "List2", &Frame1, {1740, 240, 2040, 1815});
    List2.items.assign(std::size(model::kStructureNames), std::string());
    // The structure names are Latin; a compact Latin face keeps all nine in view
    // (the window's CJK face has tall lines).
    for (ListBox* list : {&List1, &List2}) {
        list->fontName = "DejaVu Sans";
        list->fontSize = 8;
    }
    controls_.Add(Check1, "Check1", &Frame1, {1320, 2160, 855, 270}, "虛線");
    // Movement bars: where the mouse is released along a bar gives the amount, so each
    // shows its extent. The turn and the horizontal shift run across, the vertical
    // shift down.
    controls_.Add(Label16, "Label16", &Frame1, {120, 2160, 735, 255}, "逆轉順");
    controls_.Add(Label17, "Label17", &Frame1, {120, 2490, 735, 255}, "左移右");
    controls_.Add(Label18, "Label18", &Frame1, {960, 2160, 255, 615}, "上下");
    for (Label* l : {&Label16, &Label17, &Label18}) {
        l->border = true;
        l->centred = true;
    }
    // A movement typed instead of clicked: the turn in degrees, the shifts in millimetres.
    controls_.Add(LabelTyped, "LabelTyped", &Frame1, {2280, 2070, 1560, 225}, kTypedMovementCaption)
        .fontSize = 8;
    controls_.Add(TextTurn, "TextTurn", &Frame1, {2280, 2295, 480, 270});
    controls_.Add(TextAcross, "TextAcross", &Frame1, {2790, 2295, 480, 270});
    controls_.Add(TextUp, "TextUp", &Frame1, {3300, 2295, 480, 270});
    controls_.Add(CommandMove, "CommandMove", &Frame1, {2280, 2595, 1500, 270}, "移動");
}

}  // namespace ceph::ui
