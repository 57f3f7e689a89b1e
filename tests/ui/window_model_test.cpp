// The window model as the platform and the report read it: nesting, the result grid's
// places, the menu tree and the landmark tables.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "digitising/landmarks.h"
#include "ui/main_window.h"

namespace ceph::ui {
namespace {

TEST(WindowModel, ContainersComeBeforeTheirChildrenAndNamesAreUnique) {
    MainWindow w;
    std::set<const Control*> seen;
    std::set<std::pair<std::string, int>> names;
    for (const ControlRef& ref : w.Controls()) {
        EXPECT_TRUE(ref.container == nullptr || seen.count(ref.container))
            << ref.control->QualifiedName();
        EXPECT_EQ(ref.control->container, ref.container);
        EXPECT_EQ(ref.control->kind, ref.kind);
        EXPECT_TRUE(names.insert({ref.control->name, ref.control->index}).second)
            << ref.control->QualifiedName();
        seen.insert(ref.control);
    }
    EXPECT_EQ(w.Controls().front().control, &w.readceph);
}

TEST(WindowModel, Nesting) {
    MainWindow w;
    struct Case {
        const char* name;
        int index;
        const Control* container;
    };
    const Case cases[] = {
        {"Picture8", -1, &w.Picture3}, {"Frame2", -1, &w.Picture8},
        {"Text1", 2, &w.Frame2},       {"Command2", -1, &w.Frame2},
        {"List1", -1, &w.Frame1},      {"Label18", -1, &w.Frame1},
        {"Line1", 8, &w.Picture8},     {"Line2", 14, &w.Picture8},
        {"Text3", 36, &w.Picture1},    {"Label12", 6, &w.Picture1},
        {"Image1", -1, &w.Picture4},   {"Picture4", -1, &w.Picture2},
        {"Text2", -1, &w.Picture7},    {"Command4", -1, &w.Picture7},
        {"Label10", -1, &w.Picture5},  {"LabelPNTNo", -1, &w.Picture5},
        {"Command3", -1, &w.Picture2}, {"Label0", -1, &w.readceph},
        {"File1", -1, &w.readceph},
    };
    for (const Case& c : cases) {
        const Control* found = w.Find(c.name, c.index);
        ASSERT_NE(found, nullptr) << c.name << "(" << c.index << ")";
        EXPECT_EQ(found->container, c.container) << found->QualifiedName();
    }
    EXPECT_EQ(w.Find("Text3"), nullptr);  // an array needs its index
    EXPECT_EQ(w.Find("Text3", 37), nullptr);
    EXPECT_EQ(w.Find("Text1", 1)->QualifiedName(), "Text1(1)");
}

// A run of the registration list: one control, or `count` elements of an array.
struct ListRun {
    const char* name;
    int count;  // 0: a single control
    const char* kind;
    const char* container;
};

std::vector<std::string> Expand(const std::vector<ListRun>& runs) {
    std::vector<std::string> out;
    for (const ListRun& r : runs) {
        const std::string tail = std::string(" ") + r.kind + " " + r.container;
        if (r.count == 0) out.push_back(r.name + tail);
        for (int i = 0; i < r.count; ++i)
            out.push_back(r.name + ("(" + std::to_string(i) + ")") + tail);
    }
    return out;
}

std::vector<std::string> Listed(const std::vector<ControlRef>& refs) {
    std::vector<std::string> out;
    for (const ControlRef& ref : refs)
        out.push_back(ref.control->QualifiedName() + " " + KindName(ref.kind) + " " +
                      (ref.container ? ref.container->QualifiedName() : ""));
    return out;
}

// The platform creates the widgets in this order, and overlapping widgets stack by it,
// so the list may only change on purpose.
TEST(WindowModel, RegistrationOrderAndKinds) {
    const std::vector<ListRun> main = {
        {"readceph", 0, "Form", ""},
        {"File1", 0, "FileListBox", "readceph"},
        {"Picture3", 0, "PictureBox", "readceph"},
        {"Picture8", 0, "PictureBox", "Picture3"},
        {"Frame2", 0, "Frame", "Picture8"},
        {"Text1", 3, "TextBox", "Frame2"},
        {"Command2", 0, "CommandButton", "Frame2"},
        {"Frame1", 0, "Frame", "Picture8"},
        {"Check2", 0, "CheckBox", "Frame1"},
        {"List1", 0, "ListBox", "Frame1"},
        {"List2", 0, "ListBox", "Frame1"},
        {"Check1", 0, "CheckBox", "Frame1"},
        {"Label16", 0, "Label", "Frame1"},
        {"Label17", 0, "Label", "Frame1"},
        {"Label18", 0, "Label", "Frame1"},
        {"LabelTyped", 0, "Label", "Frame1"},
        {"TextTurn", 0, "TextBox", "Frame1"},
        {"TextAcross", 0, "TextBox", "Frame1"},
        {"TextUp", 0, "TextBox", "Frame1"},
        {"CommandMove", 0, "CommandButton", "Frame1"},
        {"Line2", 15, "Line", "Picture8"},
        {"Line1", 9, "Line", "Picture8"},
        {"HScroll1", 0, "HScrollBar", "readceph"},
        {"Timer1", 0, "Timer", "readceph"},
        {"Text4", 0, "TextBox", "readceph"},
        {"Picture1", 0, "PictureBox", "readceph"},
        {"Label6", 37, "Label", "Picture1"},
        {"Text3", 37, "TextBox", "Picture1"},
        {"Label7", 14, "Label", "Picture1"},
        {"Label8", 15, "Label", "Picture1"},
        {"Label9", 4, "Label", "Picture1"},
        {"Label12", 7, "Label", "Picture1"},
        {"Picture2", 0, "PictureBox", "readceph"},
        {"VScroll1", 0, "VScrollBar", "Picture2"},
        {"Command1", 0, "CommandButton", "Picture2"},
        {"VScroll2", 0, "VScrollBar", "Picture2"},
        {"LabelZoom", 0, "Label", "Picture2"},
        {"Picture4", 0, "PictureBox", "Picture2"},
        {"Image1", 0, "Image", "Picture4"},
        {"LabelDamage", 0, "Label", "Picture2"},
        {"Command5", 0, "CommandButton", "Picture2"},
        {"Command6", 0, "CommandButton", "Picture2"},
        {"Command3", 0, "CommandButton", "Picture2"},
        {"saveCorrection", 0, "CommandButton", "Picture2"},
        {"cancelCorrection", 0, "CommandButton", "Picture2"},
        {"Text5", 0, "TextBox", "Picture2"},
        {"CommandAcceptAll", 0, "CommandButton", "Picture2"},
        {"LabelSuggestion", 0, "Label", "Picture2"},
        {"Picture7", 0, "PictureBox", "Picture2"},
        {"Text2", 0, "TextBox", "Picture7"},
        {"Text6", 0, "TextBox", "Picture7"},
        {"Command4", 0, "CommandButton", "Picture7"},
        {"Label14", 0, "Label", "Picture7"},
        {"Label11", 0, "Label", "Picture7"},
        {"Label4", 0, "Label", "Picture7"},
        {"Label5", 0, "Label", "Picture7"},
        {"LabelSpacing", 0, "Label", "Picture7"},
        {"CommandRuler", 0, "CommandButton", "Picture7"},
        {"TextRuler", 0, "TextBox", "Picture7"},
        {"LabelRulerMM", 0, "Label", "Picture7"},
        {"CommandRulerOK", 0, "CommandButton", "Picture7"},
        {"CommandRulerCancel", 0, "CommandButton", "Picture7"},
        {"LabelSNCheck", 0, "Label", "Picture7"},
        {"Picture6", 0, "PictureBox", "Picture2"},
        {"Picture5", 0, "PictureBox", "Picture2"},
        {"Label10", 0, "Label", "Picture5"},
        {"LabelPNT", 0, "Label", "Picture5"},
        {"LabelPNTNo", 0, "Label", "Picture5"},
        {"LabelPNTDef", 0, "Label", "Picture2"},
        {"LabelX", 0, "Label", "Picture2"},
        {"LabelY", 0, "Label", "Picture2"},
        {"Label15", 0, "Label", "readceph"},
        {"Label13", 0, "Label", "readceph"},
        {"Label2", 0, "Label", "readceph"},
        {"Label0", 0, "Label", "readceph"},
        {"Label3", 0, "Label", "readceph"},
        {"Label1", 0, "Label", "readceph"},
        {"LabelAgeNote", 0, "Label", "readceph"},
        {"LabelLearning", 0, "Label", "readceph"},
        {"PictureLearning", 0, "PictureBox", "readceph"},
        {"CommandLearnCancel", 0, "CommandButton", "readceph"},
    };
    EXPECT_EQ(Listed(MainWindow().Controls()), Expand(main));
    const std::vector<ListRun> picker = {
        {"gotalk", 0, "Form", ""},
        {"Drive1", 0, "DriveListBox", "gotalk"},
        {"Dir1", 0, "DirListBox", "gotalk"},
        {"File1", 0, "FileListBox", "gotalk"},
    };
    EXPECT_EQ(Listed(PickerWindow().Controls()), Expand(picker));
}

std::vector<std::string> Names(const std::vector<MenuNode>& nodes) {
    std::vector<std::string> out;
    for (const MenuNode& n : nodes)
        out.push_back(n.item->QualifiedName());
    return out;
}
TEST(MenuTree, ShapeFollowsTheRunTimeArrays) {
    MainWindow w;
    AddMenuItem(w.readn, 1, "第 2 張");
    AddMenuItem(w.piccas, 1, "77b.bmp");
    std::vector<MenuNode> tree = w.MenuTree();
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(tree), (V{"print00mn", "readmn", "compmn", "analysismn", "followmn",
                              "inputmmnn", "editmn", "quitmn"}));
    EXPECT_TRUE(tree[4].children.empty()) << "追蹤... opens its window";
    EXPECT_EQ(Names(tree[0].children),
              (V{"printmn(0)", "printgraph", "line629", "printfullmn", "printfollowmn"}));
    EXPECT_TRUE(tree[0].children[2].item->IsSeparator());
    EXPECT_EQ(Names(tree[1].children), (V{"graph", "line623", "readn(0)", "readn(1)", "line624",
                                          "rangemn", "line626", "correctmn"}));
    EXPECT_TRUE(tree[1].children[1].item->IsSeparator());
    EXPECT_EQ(Names(tree[3].children), (V{"line631"}));
    // The S-N choice stays last in the compare menu, behind a separator, however many
    // tracings come before it.
    AddMenuItem(w.comp, 1, "第 2 張");
    const std::vector<MenuNode> compare = w.MenuTree()[2].children;
    EXPECT_EQ(Names(compare), (V{"comp(0)", "comp(1)", "linesn", "snmn"}));
    EXPECT_TRUE(compare[2].item->IsSeparator());
    EXPECT_EQ(Names(tree[6].children),
              (V{"piccase", "pastemn", "bmpsave", "viewmn", "keysmn", "suggestmn"}));
    EXPECT_EQ(tree[6].children[3].children.size(), 14u);
    EXPECT_EQ(tree[6].children[4].children.size(), 15u);
    EXPECT_EQ(Names(tree[6].children[0].children), (V{"piccas00", "piccas(0)", "piccas(1)"}));
    EXPECT_TRUE(tree[7].children.empty());

    EXPECT_EQ(w.FindMenu("piccas", 1), &w.piccas[1]);
    EXPECT_EQ(w.FindMenu("piccas00"), &w.piccas00);
    EXPECT_EQ(w.FindMenu("readn"), nullptr);
    EXPECT_EQ(w.FindMenu("readn", 2), nullptr);
}

TEST(MenuTree, AddedItemsCopyTheFirstAndNeverMoveIt) {
    MainWindow w;
    MenuItem* first = &w.printmn[0];
    w.printmn[0].enabled = false;
    for (int i = 1; i <= 40; ++i)
        AddMenuItem(w.printmn, i, "Line " + std::to_string(i));
    EXPECT_EQ(&w.printmn[0], first);
    EXPECT_EQ(w.printmn[40].name, "printmn");
    EXPECT_EQ(w.printmn[40].index, 40);
    EXPECT_FALSE(w.printmn[40].enabled);
    EXPECT_FALSE(w.printmn[40].checked);
}

TEST(Landmarks, NamesAndPairsAfterSetUp) {
    State s;
    s.LandmarkName[0] = "stale";
    s.LandmarkPairs[0][15] = 7;
    s.X[3] = 5;  // the point store is not set up here
    digitising::InitLandmarkTables(s);
    const char* names[20] = {"",        "N",       "Or",      "ANS",         "A",
                             "U1 Apex", "U1 Edge", "L1 Edge", "L1 Apex",     "B",
                             "Pog",     "Gn",      "Me",      "Go",          "Ar",
                             "Po",      "S",       "PNS",     "Upper Molar", "Lower Molar"};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(s.LandmarkName[i], names[i]) << i;
    EXPECT_EQ(s.LandmarkName[20], "");
    const int pairs[13][2] = {{5, 6},   {7, 8},   {29, 30}, {3, 17}, {9, 10}, {10, 11}, {11, 12},
                              {12, 13}, {13, 14}, {2, 15},  {1, 4},  {1, 16}, {4, 9}};
    for (int k = 0; k < kPairSlots; ++k) {
        int from = k < 13 ? pairs[k][0] : 0, to = k < 13 ? pairs[k][1] : 0;
        EXPECT_EQ(s.LandmarkPairs[0][k], from) << k;
        EXPECT_EQ(s.LandmarkPairs[1][k], to) << k;
    }
    EXPECT_EQ(s.X[3], 5);
}

}  // namespace
}  // namespace ceph::ui
