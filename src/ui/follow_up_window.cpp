#include "ui/follow_up_window.h"

namespace ceph::ui {

namespace {

constexpr float kMargin = 120, kColumn = 2700, kBoxHeight = 270;

}  // namespace

FollowUpWindow::FollowUpWindow() {
    controls_.Add(followwin, "followwin", nullptr, {0, 0, 17280, 11640}, "追蹤");
    followwin.visible = false;
    controls_.Add(LabelTracings, "LabelTracings", &followwin, {kMargin, 60, kColumn, 240}, "描圖");
    controls_.AddArray(CheckTrace, "CheckTrace", &followwin);
    for (std::size_t i = 0; i < CheckTrace.size(); ++i) {
        CheckTrace[i].Move(kMargin, 330 + static_cast<float>(i) * kBoxHeight, kColumn, 240);
        CheckTrace[i].visible = false;
        CheckTrace[i].tooltip = "勾選要一起比較的描圖";
    }
    controls_.Add(LabelReg, "LabelReg", &followwin, {kMargin, 2880, kColumn, 240}, "重疊方式");
    // Room for the four registrations in a taller face (Windows') and a bar under them.
    controls_.Add(RegList, "RegList", &followwin, {kMargin, 3150, kColumn, 1560});
    controls_.Add(LabelRef, "LabelRef", &followwin, {kMargin, 4800, kColumn, 240}, "參考描圖");
    controls_.Add(RefList, "RefList", &followwin, {kMargin, 5070, kColumn, 1890});
    controls_.Add(Overlay, "Overlay", &followwin, {kColumn + 2 * kMargin, 60, 7440, 6900});
    Overlay.backColor = kWhite;
    controls_.Add(LabelAna, "LabelAna", &followwin, {10560, 60, 900, 240}, "分析");
    controls_.Add(AnaList, "AnaList", &followwin, {11460, 60, 5700, 1020});
    controls_.Add(ValueTable, "ValueTable", &followwin, {10560, 1140, 6600, 5220});
    controls_.Add(LabelAges, "LabelAges", &followwin, {10560, 6420, 6600, 660});
    LabelAges.wrap = true;
    LabelAges.fontSize = 8;
    LabelAges.foreColor = kRed;
    controls_.Add(LabelCurve, "LabelCurve", &followwin, {kMargin, 7200, kColumn, 240}, "生長曲線");
    controls_.Add(CurveList, "CurveList", &followwin, {kMargin, 7470, kColumn, 3480});
    controls_.Add(Curve, "Curve", &followwin, {kColumn + 2 * kMargin, 7200, 14040, 4260});
    Curve.backColor = kWhite;
    controls_.Add(CommandPrint, "CommandPrint", &followwin, {kMargin, 11040, kColumn, 390},
                  "列印追蹤報告");
    CommandPrint.tooltip = "列印勾選的描圖的追蹤報告（沒有印表機時可存成 PDF）";
    AnaList.tooltip = "表中 37 項之後列出的分析（依病人性別與各描圖的年齡取常模）";
    CurveList.tooltip = "選擇要看隨年齡變化的測量項目";
    Curve.tooltip = "測量值隨年齡的變化；灰色帶為該年齡層常模的平均 ± 1 個標準差";
    ValueTable.tooltip = "各描圖的測量值；變化＝最後一張－參考描圖，每年＝變化÷相隔年數";
    RegList.tooltip = "其他描圖以哪一條線、哪一點對齊參考描圖";
    RefList.tooltip = "其他描圖對齊的描圖（預設為勾選中編號最小的）";
    Overlay.tooltip = "各描圖依所選方式重疊，顏色見圖例";
}

}  // namespace ceph::ui
