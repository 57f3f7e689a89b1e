#pragma once
// The model of the main window `readceph` and of the file-picker window `gotalk`:
// every control under its window name with its design-time properties, the menu tree
// with its run-time arrays, and the main window's state record. Standard C++ only;
// the platform layer builds the real window from it.

#include <array>
#include <vector>

#include "ui/controls.h"
#include "ui/menu.h"
#include "ui/state.h"

namespace ceph::ui {

constexpr int kResultRows = 37;
constexpr int kTracingSlots = 9;
constexpr int kPrintPositions = 6;

// One entry of the flat list through which the platform walks every control.
struct ControlRef {
    Control* control;
    Kind kind;
    Control* container;
};

struct MainWindow {
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    Form readceph;

    // Patient header and tracing caption.
    Label Label1, Label0, Label3, Label13, Label15, Label2;

    FileListBox File1;
    Timer Timer1;
    TextBox Text4;
    ScrollBar HScroll1;

    // Report panel and the figure panel inside it.
    PictureBox Picture3;
    PictureBox Picture8;
    Frame Frame2;
    std::array<TextBox, 3> Text1;
    CommandButton Command2;
    Frame Frame1;
    CheckBox Check2, Check1;
    ListBox List1;
    Label Label16, Label17, Label18;
    std::array<Line, 15> Line2;
    std::array<Line, 9> Line1;

    // Result grid, kept below the visible screen.
    PictureBox Picture1;
    std::array<Label, kResultRows> Label6;
    std::array<TextBox, kResultRows> Text3;
    std::array<Label, 14> Label7;
    std::array<Label, 15> Label8;
    std::array<Label, 4> Label9;
    std::array<Label, 7> Label12;

    // Work area: viewport, zoom, guide drawing, digitising and calibration.
    PictureBox Picture2;
    ScrollBar VScroll1;
    CommandButton Command1;
    ScrollBar VScroll2;
    PictureBox Picture4;
    Image Image1;
    CommandButton Command5, Command6, Command3;
    TextBox Text5;
    PictureBox Picture7;
    TextBox Text2, Text6;
    CommandButton Command4;
    Label Label14, Label11, Label4, Label5;
    PictureBox Picture6;
    PictureBox Picture5;
    Label Label10, LabelPNT, LabelPNTNo;
    Label LabelX, LabelY;

    // Menus.
    MenuItem print00mn;
    MenuArray printmn;
    MenuItem printgraph;
    MenuItem readmn;
    MenuItem graph;
    MenuItem line623;
    MenuArray readn;
    MenuItem compmn;
    MenuArray comp;
    MenuItem inputmmnn;
    MenuArray inputn;
    MenuItem editmn;
    MenuItem piccase;
    MenuItem piccas00;
    MenuArray piccas;
    MenuItem pastemn;
    MenuItem bmpsave;
    MenuItem quitmn;

    State state;

    // Every control, containers before their children, in the window's order.
    const std::vector<ControlRef>& Controls() const { return controls_; }
    Control* Find(std::string_view name, int index = -1) const;
    // The menu bar as a tree, reflecting the current run-time arrays.
    std::vector<MenuNode> MenuTree();
    MenuItem* FindMenu(std::string_view name, int index = -1);

  private:
    void Register(Control& c, Kind kind, Control* container);
    std::vector<ControlRef> controls_;
};

// Appends run-time item `index` to a menu array, copying the design-time item's
// settings as a newly loaded menu control does.
MenuItem& AddMenuItem(MenuArray& array, int index, std::string caption);

struct PickerWindow {
    PickerWindow();
    PickerWindow(const PickerWindow&) = delete;
    PickerWindow& operator=(const PickerWindow&) = delete;

    Form gotalk;
    DriveListBox Drive1;
    DirListBox Dir1;
    FileListBox File1;

    const std::vector<ControlRef>& Controls() const { return controls_; }

  private:
    std::vector<ControlRef> controls_;
};

}  // namespace ceph::ui
