#include "ui/analysis_window.h"

#include <algorithm>

namespace ceph::ui {

namespace {

constexpr float kMargin = 120;
constexpr float kListsTop = 300, kListsHeight = 1380;
constexpr float kNotesHeight = 1080;

}  // namespace

AnalysisWindow::AnalysisWindow() {
    controls_.Add(anawin, "anawin", nullptr, {0, 0, 8700, 9600}, "分析");
    anawin.visible = false;
    controls_.Add(LabelAna, "LabelAna", &anawin, {kMargin, 60, 2400, 240}, "分析方法");
    controls_.Add(AnaList, "AnaList", &anawin, {kMargin, kListsTop, 2400, kListsHeight});
    controls_.Add(LabelNorm, "LabelNorm", &anawin, {2640, 60, 1800, 240}, "常模");
    controls_.Add(NormList, "NormList", &anawin, {2640, kListsTop, 1800, kListsHeight});
    controls_.Add(LabelCase, "LabelCase", &anawin, {4560, kListsTop, 4020, kListsHeight});
    LabelCase.wrap = true;
    controls_.Add(AnaTable, "AnaTable", &anawin);
    controls_.Add(LabelNotes, "LabelNotes", &anawin);
    LabelNotes.wrap = true;
    LabelNotes.fontSize = 8;
    LabelAna.tooltip = "在下方清單選擇分析方法";
    LabelNorm.tooltip = "在下方清單選擇常模";
    AnaList.tooltip = "選擇分析方法";
    NormList.tooltip = "選擇常模（各測量值比較的平均值與標準差）";
    LabelCase.tooltip = "表中數值所屬的描圖與拍攝時的年齡";
    AnaTable.tooltip =
        "差異＝數值－常模平均；標記：超過 1 個標準差為 ↑ 或 ↓，超過 2 個為 ↑↑ 或 ↓↓。\n"
        "比較時，差值＝比較的描圖－顯示的描圖；模擬：組織移動後重算的數值。";
    LabelNotes.tooltip = "這個分析由現有標點無法量得的項目與原因";
    LayOut(0, 0, anawin.width, anawin.height);
}

void AnalysisWindow::LayOut(float left, float top, float width, float height) {
    anawin.Move(left, top, width, height);
    const float inner = width - 2 * kMargin;
    LabelCase.width = std::max(600.0f, width - kMargin - LabelCase.left);
    const float tableTop = kListsTop + kListsHeight + 120;
    const float notesTop = height - kNotesHeight - 60;
    AnaTable.Move(kMargin, tableTop, inner, std::max(600.0f, notesTop - 60 - tableTop));
    LabelNotes.Move(kMargin, notesTop, inner, kNotesHeight);
}

}  // namespace ceph::ui
