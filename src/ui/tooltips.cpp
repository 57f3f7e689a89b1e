#include "ui/main_window.h"

namespace ceph::ui {

// The controls that show no caption of their own (bars, boxes, read-outs, the panels
// that are clicked) say what they are for when the pointer rests on them; so do those
// whose caption leaves out the unit.
void MainWindow::BuildTooltips() {
    VScroll2.tooltip = "放大縮小影像（100 為原尺寸）";
    LabelZoom.tooltip = "影像目前的放大率";
    Command1.tooltip = "影像回到原尺寸（100%）";
    HScroll1.tooltip = "左右移動影像";
    VScroll1.tooltip = "上下移動影像";
    LabelX.tooltip = "游標在影像上的 X 位置（影像單位）";
    LabelY.tooltip = "游標在影像上的 Y 位置（影像單位）";
    Text5.tooltip = "這張描圖的影像檔";
    Picture5.tooltip = "標點位置示意圖：箭頭指向下一個要點選的標點";
    Label5.tooltip = "S–N 在影像上的距離（影像單位）";
    Label14.tooltip = "S–N 在影像上的距離（影像單位）";
    Text6.tooltip = "S–N 的實際長度（mm）";
    Text2.tooltip = "每一影像單位的長度（mm）";
    LabelSpacing.tooltip =
        "由影像檔記錄的像素間距算出；檔案未記錄放大率時，是底片（偵測器）上的長度，\n"
        "不是正中矢狀面上的：會比真正的 S–N 長，多出放射攝影的放大率。";
    CommandRuler.tooltip = "在影像的尺規上點兩點，再輸入兩點間的距離，由此算出 S–N 的長度";
    TextRuler.tooltip = "尺規上兩點間的距離（mm），按 Enter 確定";
    CommandRulerOK.tooltip = "由尺規算出 S–N 的長度";
    CommandRulerCancel.tooltip = "放棄尺規校正，S–N 長度不變（Esc）";
    Text4.tooltip = "拍攝時的年齡，例如 12Y 3M";
    CommandAcceptAll.tooltip =
        "其餘的標點都放在建議的位置（Ctrl+Enter）；沒有建議的標點照常點選，\n"
        "放好的標點可以用 Shift+點選 拿起來移動";
    Text1[0].tooltip = "比例：影像在圖形下的縮放倍率（按 Enter 或離開欄位後生效）";
    Text1[1].tooltip = "左：影像左上角在圖形中的左右位置（twips）";
    Text1[2].tooltip = "上：影像左上角在圖形中的上下位置（twips）";
    Command2.tooltip = "儲存圖形調整並重新顯示";
    List1.tooltip = "選擇要移動的組織";
    List2.tooltip = "各組織至今的轉動（逆時針為正）與移動";
    Label16.tooltip = "在條上放開滑鼠：左邊逆時針、右邊順時針轉動所選組織";
    Label17.tooltip = "在條上放開滑鼠：左邊向左、右邊向右移動所選組織";
    Label18.tooltip = "在條上放開滑鼠：上面向上、下面向下移動所選組織";
    TextTurn.tooltip = "轉動（度，整數；逆時針為正，如「逆轉順」的左端）";
    TextAcross.tooltip = "左右移動（mm，向右為正）";
    TextUp.tooltip = "上下移動（mm，向上為正）";
    CommandMove.tooltip = "把輸入的轉動與移動加到所選組織上，如在條上點一下";
    Picture8.tooltip = "點一下圖形以對齊影像（先點選調整圖形的欄位）";
    Picture3.tooltip = "點一下報告以隱藏圖形";
}

}  // namespace ceph::ui
