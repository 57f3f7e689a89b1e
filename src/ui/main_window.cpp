#include "ui/main_window.h"

#include <string>

namespace ceph::ui {

namespace {

template <class T>
T& Setup(T& c, std::string name, int index, float l, float t, float w, float h) {
    c.name = std::move(name);
    c.index = index;
    c.Move(l, t, w, h);
    return c;
}

void SetupLabel(Label& c, std::string name, int index, std::string caption, float l, float t,
                float w, float h) {
    Setup(c, std::move(name), index, l, t, w, h);
    c.caption = std::move(caption);
}

void SetupText(TextBox& c, std::string name, int index, std::string text, float l, float t, float w,
               float h) {
    Setup(c, std::move(name), index, l, t, w, h);
    c.text = std::move(text);
}

void SetupButton(CommandButton& c, std::string name, std::string caption, float l, float t, float w,
                 float h) {
    Setup(c, std::move(name), -1, l, t, w, h);
    c.caption = std::move(caption);
}

MenuItem Item(std::string name, std::string caption, int index = -1) {
    MenuItem m;
    m.name = std::move(name);
    m.caption = std::move(caption);
    m.index = index;
    return m;
}

const char* const kStructures[] = {"Upper Incisor", "Lower Incisor",   "Occlusal plane",
                                   "Alveolar bone", "Mandibular bone", "Nose",
                                   "Upper lip",     "Lower lip",       "Chin"};

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
    }
    return "?";
}

MainWindow::MainWindow() {
    Setup(readceph, "readceph", -1, 1200, 1500, 9600, 7200);
    readceph.caption = "側頭顱分析";

    // Header along the top of the window, above the work area.
    SetupLabel(Label1, "Label1", -1, "Name", 120, 60, 1800, 270);
    SetupLabel(Label0, "Label0", -1, "code", 2040, 60, 1200, 270);
    SetupLabel(Label3, "Label3", -1, "birth", 3360, 60, 1000, 270);
    SetupLabel(Label15, "Label15", -1, "F", 4440, 60, 360, 270);
    SetupLabel(Label13, "Label13", -1, "Date", 4920, 60, 1000, 270);
    SetupLabel(Label2, "Label2", -1, "第一張", 6000, 60, 900, 270);
    for (Label* l : {&Label1, &Label0, &Label3, &Label15, &Label13, &Label2})
        l->fontSize = 10;

    Setup(File1, "File1", -1, 7000, 0, 1200, 600);
    File1.visible = false;
    Setup(Timer1, "Timer1", -1, 0, 0, 0, 0);
    Timer1.interval = 500;
    SetupText(Text4, "Text4", -1, "", 4920, 30, 1000, 300);
    Text4.visible = false;
    Setup(HScroll1, "HScroll1", -1, 3240, 6000, 5415, 255);
    HScroll1.visible = false;

    Setup(Picture3, "Picture3", -1, 0, 600, 7095, 5175);
    Picture3.visible = false;
    Picture3.backColor = kLightCyan;
    Setup(Picture8, "Picture8", -1, 0, 480, 7455, 4935);
    Picture8.visible = false;
    Picture8.backColor = kWhite;
    Picture8.foreColor = kBlue;

    Setup(Frame2, "Frame2", -1, 4800, 3240, 2055, 975);
    Frame2.caption = "調整圖形";
    const char* figureTexts[3] = {"1", "0", "0"};
    for (int i = 0; i < 3; ++i)
        SetupText(Text1[i], "Text1", i, figureTexts[i], 120 + i * 630, 270, 570, 300);
    SetupButton(Command2, "Command2", "ReLoad", 120, 600, 1800, 300);

    Setup(Frame1, "Frame1", -1, 4680, 240, 2295, 2895);
    Frame1.caption = "組織移動";
    Setup(List1, "List1", -1, 120, 240, 2055, 1815);
    for (const char* s : kStructures)
        List1.items.emplace_back(s);
    // The structure names are Latin; a compact Latin face keeps all nine in view
    // (the window's CJK face has tall lines).
    List1.fontName = "DejaVu Sans";
    List1.fontSize = 8;
    Setup(Check1, "Check1", -1, 1320, 2160, 855, 270);
    Check1.caption = "虛線";
    Setup(Check2, "Check2", -1, 1320, 2520, 855, 270);
    Check2.caption = "圖形";
    Check2.value = 1;
    // Movement bars: where the mouse is released along a bar gives the amount, so each
    // shows its extent. The turn and the horizontal shift run across, the vertical
    // shift down.
    SetupLabel(Label16, "Label16", -1, "逆轉順", 120, 2160, 735, 255);
    SetupLabel(Label17, "Label17", -1, "左移右", 120, 2490, 735, 255);
    SetupLabel(Label18, "Label18", -1, "上下", 960, 2160, 255, 615);
    for (Label* l : {&Label16, &Label17, &Label18}) {
        l->border = true;
        l->centred = true;
    }

    for (int i = 0; i < 15; ++i) {
        Setup(Line2[i], "Line2", i, 0, 0, 0, 0);
        Line2[i].visible = false;
        Line2[i].dotted = true;
        Line2[i].borderColor = kMagenta;
    }
    for (int i = 0; i < 9; ++i) {
        Setup(Line1[i], "Line1", i, 0, 0, 0, 0);
        Line1[i].visible = false;
        Line1[i].dotted = true;
        Line1[i].borderColor = i == 3 ? kLightCyan : kBlue;
    }

    Setup(Picture1, "Picture1", -1, 0, 6600, 7560, 3600);
    Picture1.border = false;
    // The grid's rows are laid out by the analysis, from its table of rows.
    auto name = [](auto& array, const char* n) {
        for (std::size_t i = 0; i < array.size(); ++i)
            Setup(array[i], n, static_cast<int>(i), 0, 0, 0, 0);
    };
    name(Label6, "Label6");
    name(Text3, "Text3");
    name(Label7, "Label7");
    name(Label8, "Label8");
    name(Label9, "Label9");
    name(Label12, "Label12");

    Setup(Picture2, "Picture2", -1, 0, 360, 9100, 5600);
    Picture2.visible = false;
    Picture2.border = false;
    Setup(VScroll1, "VScroll1", -1, 8760, 0, 255, 5415);
    VScroll1.visible = false;
    SetupButton(Command1, "Command1", "X", 3000, 2160, 252, 300);
    Setup(VScroll2, "VScroll2", -1, 3000, 360, 240, 1572);
    VScroll2.min = 10;
    VScroll2.max = 300;
    VScroll2.smallChange = 5;
    VScroll2.largeChange = 50;
    VScroll2.value = 100;
    Setup(Picture4, "Picture4", -1, 3240, 0, 5415, 5415);
    Picture4.backColor = kBlack;
    Setup(Image1, "Image1", -1, 0, 0, 5415, 5415);

    Setup(Picture5, "Picture5", -1, 0, 0, 2895, 3615);
    Picture5.backColor = kWhite;
    Picture5.foreColor = kBlue;
    SetupLabel(Label10, "Label10", -1, "↖", 0, 0, 240, 285);
    Label10.foreColor = kGreen;
    Label10.fontSize = 12;
    Label10.fontBold = true;
    SetupLabel(LabelPNT, "LabelPNT", -1, "Point", 60, 3300, 2200, 270);
    LabelPNT.fontSize = 10;
    SetupLabel(LabelPNTNo, "LabelPNTNo", -1, "1", 2400, 3300, 360, 270);
    LabelPNTNo.visible = false;

    SetupButton(Command5, "Command5", "退一步", 0, 3705, 915, 360);
    SetupButton(Command6, "Command6", "重新", 990, 3705, 915, 360);
    SetupButton(Command3, "Command3", "取消", 1980, 3705, 915, 360);
    SetupText(Text5, "Text5", -1, "bmp", 0, 4140, 2895, 285);
    SetupLabel(LabelX, "LabelX", -1, "0", 0, 4500, 900, 240);
    SetupLabel(LabelY, "LabelY", -1, "0", 990, 4500, 900, 240);

    Setup(Picture7, "Picture7", -1, 0, 4800, 2895, 780);
    Picture7.visible = false;
    SetupLabel(Label5, "Label5", -1, "SN 距離", 60, 60, 900, 270);
    SetupLabel(Label14, "Label14", -1, "X", 1000, 60, 760, 270);
    SetupText(Text2, "Text2", -1, "0.02", 1800, 30, 1000, 300);
    SetupLabel(Label11, "Label11", -1, "==", 60, 420, 300, 270);
    SetupText(Text6, "Text6", -1, "75", 400, 390, 700, 300);
    SetupLabel(Label4, "Label4", -1, "mm", 1150, 420, 400, 270);
    SetupButton(Command4, "Command4", "完成存檔退出", 1560, 360, 1300, 360);

    Setup(Picture6, "Picture6", -1, 0, 0, 0, 0);
    Picture6.visible = false;
    Picture6.border = false;

    // Nesting: containers first, then their children in the window's order.
    Register(readceph, Kind::Form, nullptr);
    Register(File1, Kind::FileListBox, &readceph);
    Register(Picture3, Kind::PictureBox, &readceph);
    Register(Picture8, Kind::PictureBox, &Picture3);
    Register(Frame2, Kind::Frame, &Picture8);
    for (auto& t : Text1)
        Register(t, Kind::TextBox, &Frame2);
    Register(Command2, Kind::CommandButton, &Frame2);
    Register(Frame1, Kind::Frame, &Picture8);
    Register(Check2, Kind::CheckBox, &Frame1);
    Register(List1, Kind::ListBox, &Frame1);
    Register(Check1, Kind::CheckBox, &Frame1);
    Register(Label16, Kind::Label, &Frame1);
    Register(Label17, Kind::Label, &Frame1);
    Register(Label18, Kind::Label, &Frame1);
    for (auto& l : Line2)
        Register(l, Kind::Line, &Picture8);
    for (auto& l : Line1)
        Register(l, Kind::Line, &Picture8);
    Register(HScroll1, Kind::HScrollBar, &readceph);
    Register(Timer1, Kind::Timer, &readceph);
    Register(Text4, Kind::TextBox, &readceph);
    Register(Picture1, Kind::PictureBox, &readceph);
    for (auto& l : Label6)
        Register(l, Kind::Label, &Picture1);
    for (auto& t : Text3)
        Register(t, Kind::TextBox, &Picture1);
    for (auto& l : Label7)
        Register(l, Kind::Label, &Picture1);
    for (auto& l : Label8)
        Register(l, Kind::Label, &Picture1);
    for (auto& l : Label9)
        Register(l, Kind::Label, &Picture1);
    for (auto& l : Label12)
        Register(l, Kind::Label, &Picture1);
    Register(Picture2, Kind::PictureBox, &readceph);
    Register(VScroll1, Kind::VScrollBar, &Picture2);
    Register(Command1, Kind::CommandButton, &Picture2);
    Register(VScroll2, Kind::VScrollBar, &Picture2);
    Register(Picture4, Kind::PictureBox, &Picture2);
    Register(Image1, Kind::Image, &Picture4);
    Register(Command5, Kind::CommandButton, &Picture2);
    Register(Command6, Kind::CommandButton, &Picture2);
    Register(Command3, Kind::CommandButton, &Picture2);
    Register(Text5, Kind::TextBox, &Picture2);
    Register(Picture7, Kind::PictureBox, &Picture2);
    Register(Text2, Kind::TextBox, &Picture7);
    Register(Text6, Kind::TextBox, &Picture7);
    Register(Command4, Kind::CommandButton, &Picture7);
    Register(Label14, Kind::Label, &Picture7);
    Register(Label11, Kind::Label, &Picture7);
    Register(Label4, Kind::Label, &Picture7);
    Register(Label5, Kind::Label, &Picture7);
    Register(Picture6, Kind::PictureBox, &Picture2);
    Register(Picture5, Kind::PictureBox, &Picture2);
    Register(Label10, Kind::Label, &Picture5);
    Register(LabelPNT, Kind::Label, &Picture5);
    Register(LabelPNTNo, Kind::Label, &Picture5);
    Register(LabelX, Kind::Label, &Picture2);
    Register(LabelY, Kind::Label, &Picture2);
    Register(Label15, Kind::Label, &readceph);
    Register(Label13, Kind::Label, &readceph);
    Register(Label2, Kind::Label, &readceph);
    Register(Label0, Kind::Label, &readceph);
    Register(Label3, Kind::Label, &readceph);
    Register(Label1, Kind::Label, &readceph);

    // Menus: design-time item 0 of every array; start-up adds the rest.
    print00mn = Item("print00mn", "列印...");
    printmn.push_back(Item("printmn", "頂端", 0));
    printgraph = Item("printgraph", "列印圖形");
    printgraph.checked = true;
    readmn = Item("readmn", "讀取...");
    graph = Item("graph", "使用圖形");
    line623 = Item("line623", "-");
    readn.push_back(Item("readn", "第 1 張", 0));
    compmn = Item("compmn", "比較...");
    comp.push_back(Item("comp", "第 1 張", 0));
    inputmmnn = Item("inputmmnn", "輸入...");
    inputn.push_back(Item("inputn", "第 1 張", 0));
    editmn = Item("editmn", "編輯...");
    piccase = Item("piccase", "讀取圖案");
    piccas00 = Item("piccas00", "選擇圖檔");
    piccas.push_back(Item("piccas", "File", 0));
    pastemn = Item("pastemn", "貼上圖案");
    bmpsave = Item("bmpsave", "圖案存檔");
    quitmn = Item("quitmn", "退出");
}

void MainWindow::Register(Control& c, Kind kind, Control* container) {
    c.kind = kind;
    c.container = container;
    controls_.push_back({&c, kind, container});
}

Control* MainWindow::Find(std::string_view name, int index) const {
    for (const ControlRef& ref : controls_)
        if (ref.control->name == name && ref.control->index == index) return ref.control;
    return nullptr;
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
    tree.push_back({&print00mn, concat(leaves(printmn), {{&printgraph, {}}})});
    tree.push_back({&readmn, concat({{&graph, {}}, {&line623, {}}}, leaves(readn))});
    tree.push_back({&compmn, leaves(comp)});
    tree.push_back({&inputmmnn, leaves(inputn)});
    MenuNode picture{&piccase, concat({{&piccas00, {}}}, leaves(piccas))};
    tree.push_back({&editmn, {picture, {&pastemn, {}}, {&bmpsave, {}}}});
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
    Setup(gotalk, "gotalk", -1, 2400, 2400, 4800, 4500);
    gotalk.caption = "選擇檔案";
    gotalk.visible = false;
    Setup(Drive1, "Drive1", -1, 120, 120, 4455, 315);
    Setup(Dir1, "Dir1", -1, 120, 540, 2115, 3360);
    Setup(File1, "File1", -1, 2340, 540, 2235, 3360);
    File1.pattern = "*.bmp;*jpg";
    for (auto [c, k] :
         std::initializer_list<std::pair<Control*, Kind>>{{&gotalk, Kind::Form},
                                                          {&Drive1, Kind::DriveListBox},
                                                          {&Dir1, Kind::DirListBox},
                                                          {&File1, Kind::FileListBox}}) {
        c->kind = k;
        c->container = k == Kind::Form ? nullptr : &gotalk;
        controls_.push_back({c, k, c->container});
    }
}

}  // namespace ceph::ui
