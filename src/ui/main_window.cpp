#include "ui/main_window.h"

#include <initializer_list>
#include <iterator>
#include <string>

#include "model/figure.h"
#include "ui/services.h"

namespace ceph::ui {

namespace {

MenuItem Item(std::string name, std::string caption, int index = -1) {
    MenuItem m;
    m.name = std::move(name);
    m.caption = std::move(caption);
    m.index = index;
    return m;
}

MenuItem KeyItem(std::string name, std::string caption, std::string shortcut) {
    MenuItem m = Item(std::move(name), std::move(caption));
    m.shortcut = std::move(shortcut);
    return m;
}

}  // namespace

std::string Control::QualifiedName() const {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

std::string MenuItem::QualifiedName() const {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Form:
            return "Form";
        case Kind::Label:
            return "Label";
        case Kind::TextBox:
            return "TextBox";
        case Kind::CommandButton:
            return "CommandButton";
        case Kind::CheckBox:
            return "CheckBox";
        case Kind::Frame:
            return "Frame";
        case Kind::ListBox:
            return "ListBox";
        case Kind::PictureBox:
            return "PictureBox";
        case Kind::Image:
            return "Image";
        case Kind::Line:
            return "Line";
        case Kind::HScrollBar:
            return "HScrollBar";
        case Kind::VScrollBar:
            return "VScrollBar";
        case Kind::Timer:
            return "Timer";
        case Kind::FileListBox:
            return "FileListBox";
        case Kind::DirListBox:
            return "DirListBox";
        case Kind::DriveListBox:
            return "DriveListBox";
        case Kind::Table:
            return "Table";
    }
    return "?";
}

// Each control is declared once, in the window's order: the platform creates the
// widgets in that order and overlapping widgets stack by it.
MainWindow::MainWindow() {
    controls_.Add(readceph, "readceph", nullptr, {1200, 1500, 9600, 7200}, kProgramTitle);
    controls_.Add(File1, "File1", &readceph, {7000, 0, 1200, 600});
    File1.visible = false;
    BuildFigurePanel();
    BuildWindowHelpers();
    BuildResultGrid();
    BuildWorkArea();
    BuildHeader();
    BuildMenus();
    BuildTooltips();
}

void MainWindow::BuildFigurePanel() {
    controls_.Add(Picture3, "Picture3", &readceph, {0, 600, 7095, 5175});
    Picture3.visible = false;
    Picture3.backColor = kLightCyan;
    controls_.Add(Picture8, "Picture8", &Picture3, {0, 480, 7455, 4935});
    Picture8.visible = state.FigurePanel.shown;
    Picture8.backColor = kWhite;
    Picture8.foreColor = kBlue;
    BuildFigureFrames();
    // The lines stay hidden until a tracing is shown; showing it places and colours them.
    for (Line& l : controls_.AddArray(Line2, "Line2", &Picture8)) {
        l.visible = false;
        l.dotted = true;
        l.borderColor = kMagenta;
    }
    for (Line& l : controls_.AddArray(Line1, "Line1", &Picture8)) {
        l.visible = false;
        l.dotted = true;
        l.borderColor = l.index == 3 ? kLightCyan : kBlue;
    }
}

void MainWindow::BuildWindowHelpers() {
    controls_.Add(HScroll1, "HScroll1", &readceph, {3240, 6000, 5415, 255});
    HScroll1.visible = false;
    controls_.Add(Timer1, "Timer1", &readceph).interval = 500;
    // The age box belongs to the header but comes before it in the window's order.
    controls_.Add(Text4, "Text4", &readceph, {4920, 30, 1000, 300});
    Text4.visible = false;
}

void MainWindow::BuildResultGrid() {
    controls_.Add(Picture1, "Picture1", &readceph, {0, 6600, 7560, 3600});
    Picture1.border = false;
    // The grid's cells are placed and captioned by the analysis, from its table of rows.
    controls_.AddArray(Label6, "Label6", &Picture1);
    controls_.AddArray(Text3, "Text3", &Picture1);
    controls_.AddArray(Label7, "Label7", &Picture1);
    controls_.AddArray(Label8, "Label8", &Picture1);
    controls_.AddArray(Label9, "Label9", &Picture1);
    controls_.AddArray(Label12, "Label12", &Picture1);
}

void MainWindow::BuildWorkArea() {
    controls_.Add(Picture2, "Picture2", &readceph, {0, 360, 9100, 5835});
    Picture2.visible = false;
    Picture2.border = false;
    controls_.Add(VScroll1, "VScroll1", &Picture2, {8760, 0, 255, 5415});
    VScroll1.visible = false;
    controls_.Add(Command1, "Command1", &Picture2, {3000, 2160, 252, 300}, "X");
    controls_.Add(VScroll2, "VScroll2", &Picture2, {3000, 360, 240, 1572});
    VScroll2.min = 10;
    VScroll2.max = 300;
    VScroll2.smallChange = 5;
    VScroll2.largeChange = 50;
    VScroll2.value = state.Digitising.zoomPercent;
    controls_.Add(LabelZoom, "LabelZoom", &Picture2, {2895, 90, 345, 240}, "100%").fontSize = 7;
    LabelZoom.visible = false;
    controls_.Add(Picture4, "Picture4", &Picture2, {3240, 0, 5415, 5415});
    Picture4.backColor = kBlack;
    // The keys of the film (zoom, pan, step back) act as soon as the film is shown.
    Picture4.focusWhenShown = true;
    controls_.Add(Image1, "Image1", &Picture4, {0, 0, 5415, 5415});
    controls_.Add(LabelDamage, "LabelDamage", &Picture2, {3240, 5415, 5415, 225});
    LabelDamage.foreColor = kRed;
    LabelDamage.fontSize = 8;
    LabelDamage.visible = false;
    // Under the guide: what the landmark asked for is, then the buttons, the picture's
    // path beside the pointer's position, and the calibration panel at the bottom.
    controls_.Add(Command5, "Command5", &Picture2, {0, 3900, 915, 330}, "退一步");
    controls_.Add(Command6, "Command6", &Picture2, {990, 3900, 915, 330}, "重新");
    controls_.Add(Command3, "Command3", &Picture2, {1980, 3900, 915, 330}, "取消");
    controls_.Add(saveCorrection, "saveCorrection", &Picture2, {0, 3900, 915, 330}, "存檔");
    saveCorrection.visible = false;
    controls_.Add(cancelCorrection, "cancelCorrection", &Picture2, {990, 3900, 915, 330}, "取消");
    cancelCorrection.visible = false;
    controls_.Add(Text5, "Text5", &Picture2, {0, 4290, 1200, 285}, "bmp");
    // Under them while landmarks are asked and the model suggests the one asked: taking
    // the rest as suggested, and what Enter does with its expected error.
    controls_.Add(CommandAcceptAll, "CommandAcceptAll", &Picture2, {0, 4680, 1000, 330},
                  "全部採用");
    CommandAcceptAll.visible = false;
    controls_.Add(LabelSuggestion, "LabelSuggestion", &Picture2, {1060, 4700, 1835, 480});
    LabelSuggestion.fontSize = 8;
    LabelSuggestion.visible = false;
    BuildCalibration();
    controls_.Add(Picture6, "Picture6", &Picture2);
    Picture6.visible = false;
    Picture6.border = false;
    BuildGuide();
    // Wide enough for seven digits and a point: at a zoom other than that of S the units
    // have decimals.
    controls_.Add(LabelX, "LabelX", &Picture2, {1260, 4320, 840, 240}, "0").fontSize = 8;
    controls_.Add(LabelY, "LabelY", &Picture2, {2130, 4320, 840, 240}, "0").fontSize = 8;
}

void MainWindow::BuildGuide() {
    controls_.Add(Picture5, "Picture5", &Picture2, {0, 0, 2895, 3615});
    Picture5.backColor = kWhite;
    Picture5.foreColor = kBlue;
    // Wider than high, or it would be taken for an upright bar and wrapped.
    controls_.Add(Label10, "Label10", &Picture5, {0, 0, 300, 285}, "↖");
    Label10.foreColor = kGreen;
    Label10.fontSize = 12;
    Label10.fontBold = true;
    controls_.Add(LabelPNT, "LabelPNT", &Picture5, {60, 3300, 2800, 270}, "Point").fontSize = 10;
    controls_.Add(LabelPNTNo, "LabelPNTNo", &Picture5, {2400, 3300, 360, 270}, "1");
    LabelPNTNo.visible = false;
    // One line under the prompt: what the landmark asked for is.
    controls_.Add(LabelPNTDef, "LabelPNTDef", &Picture2, {0, 3640, 2895, 240});
    LabelPNTDef.fontSize = 8;
}

// The header labels come last in the window's order, and not in their order across.
void MainWindow::BuildHeader() {
    controls_.Add(Label15, "Label15", &readceph, {4440, 60, 360, 270}, "F");
    controls_.Add(Label13, "Label13", &readceph, {4920, 60, 1000, 270}, "Date");
    // Room for "修改第 n 張".
    controls_.Add(Label2, "Label2", &readceph, {6000, 60, 1200, 270}, "第一張");
    controls_.Add(Label0, "Label0", &readceph, {2040, 60, 1200, 270}, "code");
    controls_.Add(Label3, "Label3", &readceph, {3360, 60, 1000, 270}, "birth");
    controls_.Add(Label1, "Label1", &readceph, {120, 60, 1800, 270}, "Name");
    for (Label* l : {&Label15, &Label13, &Label2, &Label0, &Label3, &Label1})
        l->fontSize = 10;
    controls_.Add(LabelAgeNote, "LabelAgeNote", &readceph, {7300, 60, 5400, 270});
    LabelAgeNote.foreColor = kRed;
    LabelAgeNote.fontSize = 8;
    LabelAgeNote.visible = false;
    // Right of the header while the practice's films are learnt from: how far it has
    // come, a thin bar under it, and 取消.
    controls_.Add(LabelLearning, "LabelLearning", &readceph, {7250, 60, 1200, 240});
    LabelLearning.fontSize = 8;
    LabelLearning.visible = false;
    controls_.Add(PictureLearning, "PictureLearning", &readceph, {7250, 300, 1200, 45});
    PictureLearning.border = false;
    PictureLearning.backColor = Bgr(0xC0, 0xC0, 0xC0);
    PictureLearning.visible = false;
    controls_.Add(CommandLearnCancel, "CommandLearnCancel", &readceph, {8500, 45, 640, 290},
                  "取消");
    CommandLearnCancel.fontSize = 8;
    CommandLearnCancel.visible = false;
}

void MainWindow::BuildMenus() {
    print00mn = Item("print00mn", "列印...");
    printmn.push_back(Item("printmn", "頂端", 0));
    printgraph = Item("printgraph", "列印圖形");
    printgraph.checked = true;
    line629 = Item("line629", "-");
    printfullmn = Item("printfullmn", "列印完整報告");
    printfollowmn = Item("printfollowmn", "列印追蹤報告");
    printfollowmn.enabled = false;
    readmn = Item("readmn", "讀取...");
    graph = Item("graph", "使用圖形");
    line623 = Item("line623", "-");
    readn.push_back(Item("readn", "第 1 張", 0));
    compmn = Item("compmn", "比較...");
    comp.push_back(Item("comp", "第 1 張", 0));
    linesn = Item("linesn", "-");
    snmn = Item("snmn", "以 S–N 重疊");
    snmn.checkable = true;
    analysismn = Item("analysismn", "分析...");
    analysismn.enabled = false;
    followmn = Item("followmn", "追蹤...");
    followmn.enabled = false;
    line631 = Item("line631", "-");
    inputmmnn = Item("inputmmnn", "輸入...");
    inputn.push_back(Item("inputn", "第 1 張", 0));
    editmn = Item("editmn", "編輯...");
    piccase = Item("piccase", "讀取圖案");
    piccas00 = Item("piccas00", "選擇圖檔");
    piccas.push_back(Item("piccas", "File", 0));
    pastemn = Item("pastemn", "貼上圖案");
    bmpsave = Item("bmpsave", "圖案存檔");
    suggestmn = Item("suggestmn", "描點建議");
    learnmn = Item("learnmn", "以本診所的描圖學習");
    BuildViewMenu();
    BuildKeysMenu();
    quitmn = Item("quitmn", "退出");
    line624 = Item("line624", "-");
    rangemn = Item("rangemn", "顯示可信範圍");
    line626 = Item("line626", "-");
    correctmn = Item("correctmn", "修正描點");
    correctmn.enabled = false;
}

void MainWindow::BuildViewMenu() {
    viewmn = Item("viewmn", "顯示調整");
    brightermn = KeyItem("brightermn", "亮一點", "Ctrl+Up");
    darkermn = KeyItem("darkermn", "暗一點", "Ctrl+Down");
    morecontrastmn = KeyItem("morecontrastmn", "對比強一點", "Ctrl+Shift+Up");
    lesscontrastmn = KeyItem("lesscontrastmn", "對比弱一點", "Ctrl+Shift+Down");
    invertmn = KeyItem("invertmn", "反相", "Ctrl+I");
    viewresetmn = KeyItem("viewresetmn", "還原顯示", "Ctrl+0");
    automn = KeyItem("automn", "自動調整", "Ctrl+Shift+0");
    turnrightmn = KeyItem("turnrightmn", "向右轉 90°", "Ctrl+R");
    turnleftmn = KeyItem("turnleftmn", "向左轉 90°", "Ctrl+Shift+R");
    mirrormn = KeyItem("mirrormn", "左右翻轉", "Ctrl+H");
    line625 = Item("line625", "-");
    line632 = Item("line632", "-");
    loupemn = KeyItem("loupemn", "放大鏡", "Ctrl+L");
    marksmn = KeyItem("marksmn", "標出已點的點", "Ctrl+M");
    marksmn.checked = true;
}

// Plain keys, for the hand that is not on the mouse; they act only while the menu is
// enabled, that is while landmarks are placed.
void MainWindow::BuildKeysMenu() {
    keysmn = Item("keysmn", "點選與縮放");
    stepbackmn = KeyItem("stepbackmn", "退一步", "Backspace");
    cancelmn = KeyItem("cancelmn", "取消", "Esc");
    line627 = Item("line627", "-");
    zoominmn = KeyItem("zoominmn", "放大", "+");
    zoomoutmn = KeyItem("zoomoutmn", "縮小", "-");
    fitmn = KeyItem("fitmn", "整張顯示", "F");
    actualmn = KeyItem("actualmn", "原尺寸 100%", "1");
    line628 = Item("line628", "-");
    panleftmn = KeyItem("panleftmn", "向左捲動", "Left");
    panrightmn = KeyItem("panrightmn", "向右捲動", "Right");
    panupmn = KeyItem("panupmn", "向上捲動", "Up");
    pandownmn = KeyItem("pandownmn", "向下捲動", "Down");
    line633 = Item("line633", "-");
    acceptmn = KeyItem("acceptmn", "採用建議的位置", "Return");
    acceptallmn = KeyItem("acceptallmn", "全部採用", "Ctrl+Return");
}

std::vector<MenuNode> MainWindow::MenuTree() {
    auto leaves = [](MenuArray& array) {
        std::vector<MenuNode> nodes;
        for (MenuItem& item : array)
            nodes.push_back({&item, {}});
        return nodes;
    };
    auto concat = [](std::vector<MenuNode> a, std::vector<MenuNode> b) {
        a.insert(a.end(), std::make_move_iterator(b.begin()), std::make_move_iterator(b.end()));
        return a;
    };
    std::vector<MenuNode> tree;
    tree.push_back(
        {&print00mn,
         concat(leaves(printmn),
                {{&printgraph, {}}, {&line629, {}}, {&printfullmn, {}}, {&printfollowmn, {}}})});
    tree.push_back(
        {&readmn, concat(concat({{&graph, {}}, {&line623, {}}}, leaves(readn)),
                         {{&line624, {}}, {&rangemn, {}}, {&line626, {}}, {&correctmn, {}}})});
    tree.push_back({&compmn, concat(leaves(comp), {{&linesn, {}}, {&snmn, {}}})});
    tree.push_back(
        {&analysismn, concat(concat(leaves(analysisn), {{&line631, {}}}), leaves(normsetn))});
    tree.push_back({&followmn, {}});
    tree.push_back({&inputmmnn, leaves(inputn)});
    MenuNode picture{&piccase, concat({{&piccas00, {}}}, leaves(piccas))};
    auto submenu = [](MenuItem* top, std::initializer_list<MenuItem*> items) {
        MenuNode node{top, {}};
        for (MenuItem* m : items)
            node.children.push_back({m, {}});
        return node;
    };
    MenuNode view = submenu(&viewmn, {&brightermn, &darkermn, &morecontrastmn, &lesscontrastmn,
                                      &invertmn, &viewresetmn, &automn, &line625, &turnrightmn,
                                      &turnleftmn, &mirrormn, &line632, &loupemn, &marksmn});
    MenuNode keys = submenu(&keysmn, {&stepbackmn, &cancelmn, &line627, &zoominmn, &zoomoutmn,
                                      &fitmn, &actualmn, &line628, &panleftmn, &panrightmn,
                                      &panupmn, &pandownmn, &line633, &acceptmn, &acceptallmn});
    tree.push_back(
        {&editmn,
         {picture, {&pastemn, {}}, {&bmpsave, {}}, view, keys, submenu(&suggestmn, {&learnmn})}});
    tree.push_back({&quitmn, {}});
    return tree;
}

MenuItem* MainWindow::FindMenu(std::string_view name, int index) {
    std::vector<MenuNode> pending = MenuTree();
    while (!pending.empty()) {
        MenuNode node = std::move(pending.back());
        pending.pop_back();
        if (node.item->name == name && node.item->index == index) return node.item;
        for (MenuNode& child : node.children)
            pending.push_back(std::move(child));
    }
    return nullptr;
}

MenuItem& AddMenuItem(MenuArray& array, int index, std::string caption) {
    MenuItem item = array.front();
    item.index = index;
    item.caption = std::move(caption);
    item.checked = false;
    array.push_back(std::move(item));
    return array.back();
}

PickerWindow::PickerWindow() {
    controls_.Add(gotalk, "gotalk", nullptr, {2400, 2400, 4800, 4500}, "選擇檔案");
    gotalk.visible = false;
    controls_.Add(Drive1, "Drive1", &gotalk, {120, 120, 4455, 315});
    controls_.Add(Dir1, "Dir1", &gotalk, {120, 540, 2115, 3360});
    controls_.Add(File1, "File1", &gotalk, {2340, 540, 2235, 3360});
    File1.pattern = "*.bmp;*jpg";
}

}  // namespace ceph::ui
