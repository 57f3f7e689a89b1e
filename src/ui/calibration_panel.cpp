#include "ui/main_window.h"

// The calibration panel: the S-N distance, the length and the scale, the help with the
// length (from the picture's pixel spacing, or measured against the film's ruler) and
// why the length looks wrong.

namespace ceph::ui {

void MainWindow::BuildCalibration() {
    // Shown once every landmark is placed, over the picture's path and the pointer's
    // position, which are not needed any more, and across to the viewport under the zoom
    // bar, so that the ruler's row and a warning of two lines have room.
    controls_.Add(Picture7, "Picture7", &Picture2, {0, 4290, 3230, 1545});
    Picture7.visible = false;
    controls_.Add(Text2, "Text2", &Picture7, {1800, 30, 1000, 300}, "0.02");
    controls_.Add(Text6, "Text6", &Picture7, {400, 390, 700, 300}, "75");
    controls_.Add(Command4, "Command4", &Picture7, {1560, 360, 1300, 360}, "完成存檔退出");
    controls_.Add(Label14, "Label14", &Picture7, {1000, 60, 760, 270}, "X");
    controls_.Add(Label11, "Label11", &Picture7, {60, 420, 300, 270}, "==");
    controls_.Add(Label4, "Label4", &Picture7, {1150, 420, 400, 270}, "mm");
    controls_.Add(Label5, "Label5", &Picture7, {60, 60, 900, 270}, "SN 距離");
    // The length the picture's pixel spacing gives, in grey: a hint, not a value.
    controls_.Add(LabelSpacing, "LabelSpacing", &Picture7, {60, 780, 2130, 240});
    LabelSpacing.foreColor = Bgr(0x80, 0x80, 0x80);
    LabelSpacing.fontSize = 8;
    LabelSpacing.visible = false;
    controls_.Add(CommandRuler, "CommandRuler", &Picture7, {2210, 750, 990, 300}, "用尺規校正");
    CommandRuler.fontSize = 8;
    // The ruler's distance row takes the same place while the ruler is measured; the box
    // shows (and takes the keys) once both points are placed.
    controls_.Add(TextRuler, "TextRuler", &Picture7, {60, 750, 700, 300});
    TextRuler.visible = false;
    TextRuler.focusWhenShown = true;
    controls_.Add(LabelRulerMM, "LabelRulerMM", &Picture7, {800, 780, 350, 240}, "mm");
    LabelRulerMM.visible = false;
    controls_.Add(CommandRulerOK, "CommandRulerOK", &Picture7, {1240, 750, 900, 300}, "確定");
    CommandRulerOK.visible = false;
    controls_.Add(CommandRulerCancel, "CommandRulerCancel", &Picture7, {2240, 750, 960, 300},
                  "取消");
    CommandRulerCancel.visible = false;
    // Why the length or the scale looks wrong; empty when it looks right.
    controls_.Add(LabelSNCheck, "LabelSNCheck", &Picture7, {60, 1050, 3110, 480});
    LabelSNCheck.wrap = true;
    LabelSNCheck.foreColor = kRed;
    LabelSNCheck.fontSize = 8;
}

}  // namespace ceph::ui
