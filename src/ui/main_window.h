#pragma once
// The model of the main window `readceph` and of the file-picker window `gotalk`:
// every control under its window name with its design-time properties, the menu tree
// with its run-time arrays, and the main window's state record. Standard C++ only;
// the platform layer builds the real window from it.

#include <array>
#include <vector>

#include "ui/control_list.h"
#include "ui/controls.h"
#include "ui/menu.h"
#include "ui/state.h"

namespace ceph::ui {

// What LabelTyped says over the typed movement's boxes.
inline constexpr const char* kTypedMovementCaption = "轉°　右移　上移";

constexpr int kTracingSlots = 9;
constexpr int kPrintPositions = 6;

struct MainWindow {
    MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    Form readceph;

    // Patient header along the top: Label1 the patient's name, Label0 the code, Label3
    // the birth date, Label15 the sex, Label13 the age text, Label2 the caption of the
    // tracing shown. While a tracing is input, the text box Text4 over Label13 takes
    // the age that will be stored with it.
    Label Label1, Label0, Label3, Label15, Label13, Label2;
    TextBox Text4;
    // Beside the age box (red): the birth date could not be read, so the clinician types
    // the age; hidden when there is nothing to say.
    Label LabelAgeNote;

    // Window helpers: File1 (hidden) lists the patient's pictures for the picture
    // menu; Timer1 makes the guide's pointer blink; HScroll1 pans the viewport across.
    FileListBox File1;
    Timer Timer1;
    HScrollBar HScroll1;

    // The report panel Picture3 and, inside it, the figure panel Picture8 with the
    // schematic figure: Line1 the nine hard-tissue lines, Line2 the fifteen segments of
    // the soft-tissue profile.
    PictureBox Picture3;
    PictureBox Picture8;
    std::array<Line, 15> Line2;
    std::array<Line, 9> Line1;
    // Frame2 places the radiograph under the figure: Text1 shows its scale and its
    // left and top offsets (state.FigurePanel.alignment) and takes them as typed,
    // Command2 stores them with the tracing.
    Frame Frame2;
    std::array<TextBox, 3> Text1;
    CommandButton Command2;
    // Frame1 simulates tissue movement: List1 picks the structure, List2 beside it shows
    // each structure's turn and shift so far line by line, Check1 draws the lines dotted,
    // Check2 shows the radiograph under the figure; the bars Label16 (turn), Label17
    // (left-right) and Label18 (up-down) take the amount.
    Frame Frame1;
    CheckBox Check2, Check1;
    ListBox List1, List2;
    Label Label16, Label17, Label18;
    // The same movements typed: the turn in degrees (counter-clockwise positive), the
    // shifts in millimetres (right and up positive), added as one step by CommandMove.
    Label LabelTyped;  // says what the boxes hold, or why what was typed cannot be taken
    TextBox TextTurn, TextAcross, TextUp;
    CommandButton CommandMove;

    // The result grid Picture1, kept below the visible screen: Label6 the measurement
    // names, Text3 their values, the unit labels Label7 (degrees), Label8 (millimetres)
    // and Label9 (per cent), and Label12 the norms of the jaw rows; the analysis places
    // and captions them all.
    PictureBox Picture1;
    std::array<Label, kResultRows> Label6;
    std::array<TextBox, kResultRows> Text3;
    std::array<Label, kDegreeLabels> Label7;
    std::array<Label, kMillimetreLabels> Label8;
    std::array<Label, kPercentLabels> Label9;
    std::array<Label, kNormLabels> Label12;

    // The work area Picture2: the viewport Picture4 showing the radiograph Image1,
    // VScroll1 panning it down, the zoom bar VScroll2 (showing the zoom in percent that
    // state.Digitising keeps, and taking the user's) with Command1 back to 100 %, the
    // picture path Text5, Command5 (one step back), Command6 (start again), Command3
    // (cancel), the pointer's position LabelX and LabelY, and the hidden picture holder
    // Picture6 that keeps the radiograph at its own size.
    PictureBox Picture2;
    VScrollBar VScroll1;
    CommandButton Command1;
    VScrollBar VScroll2;
    PictureBox Picture4;
    Image Image1;
    // Under the viewport (red): what the film's decoder found damaged in a film it could
    // still show; hidden for a whole film.
    Label LabelDamage;
    CommandButton Command5, Command6, Command3;
    // While the landmark model suggests the landmark asked: CommandAcceptAll takes the
    // rest as suggested, LabelSuggestion says that Enter takes the one asked.
    CommandButton CommandAcceptAll;
    Label LabelSuggestion;
    // While a stored tracing is corrected, in place of the input's buttons: saveCorrection
    // stores the corrected tracing, cancelCorrection leaves it as stored.
    CommandButton saveCorrection, cancelCorrection;
    TextBox Text5;
    Label LabelX, LabelY;
    Label LabelZoom;  // the zoom in force, above the zoom bar
    PictureBox Picture6;

    // The calibration panel Picture7: the digitised S-N distance Label14, the scale
    // Text2 (millimetres per unit of that distance), the true S-N length Text6 in
    // millimetres, their captions Label5, Label11 and Label4, and Command4 that
    // finishes and stores the tracing.
    PictureBox Picture7;
    TextBox Text2, Text6;
    CommandButton Command4;
    Label Label14, Label11, Label4, Label5;
    // Under the rows: the S-N length the picture's own pixel spacing gives (grey, hidden
    // when the picture has none), CommandRuler that starts measuring the length against
    // the ruler on the film, and in its place while it is measured, the distance of the
    // two ruler points TextRuler in millimetres (LabelRulerMM), CommandRulerOK that takes
    // it and CommandRulerCancel that gives the measuring up.
    Label LabelSpacing;
    CommandButton CommandRuler;
    TextBox TextRuler;
    Label LabelRulerMM;
    CommandButton CommandRulerOK, CommandRulerCancel;
    // Under them: why the S-N length or the scale looks implausible (red), or empty.
    Label LabelSNCheck;

    // The guide drawing Picture5: the blinking pointer Label10 at the landmark to
    // digitise next, its name LabelPNT and its number LabelPNTNo (hidden).
    PictureBox Picture5;
    Label Label10, LabelPNT, LabelPNTNo;
    // Under the guide: what the landmark asked for is.
    Label LabelPNTDef;
    // While the landmark model is learnt in the background: what it is doing and how far
    // it has come (LabelLearning, with the bar PictureLearning under it) and
    // CommandLearnCancel that stops it, leaving the model as it was.
    Label LabelLearning;
    PictureBox PictureLearning;
    CommandButton CommandLearnCancel;

    // Menus: the design-time item 0 of each array; start-up adds the rest.
    MenuItem print00mn;
    MenuArray printmn;
    MenuItem printgraph;
    // Last in the print menu: the full page with the radiograph, the figure and the
    // named analyses.
    MenuItem line629;
    MenuItem printfullmn;
    MenuItem printfollowmn;  // the follow-up page, offered with 追蹤...
    MenuItem readmn;
    MenuItem graph;
    MenuItem line623;
    MenuArray readn;
    MenuItem compmn;
    MenuArray comp;
    // After the compared tracings: whether the compared one is laid on the shown S-N line.
    MenuItem linesn;
    MenuItem snmn;
    // After the compare menu: the named analyses (one item each, filled at start-up and
    // again when the practice's table is read again) and, after line631, the norm sets
    // of the chosen analysis.
    MenuItem analysismn;
    MenuArray analysisn;
    MenuItem line631;
    MenuArray normsetn;
    // After it: the follow-up window, offered once the patient has two tracings.
    MenuItem followmn;
    MenuItem inputmmnn;
    MenuArray inputn;
    MenuItem editmn;
    MenuItem piccase;
    MenuItem piccas00;
    MenuArray piccas;
    MenuItem pastemn;
    // 描點建議: learning the landmark model from this data folder's tracings.
    MenuItem suggestmn, learnmn;
    MenuItem bmpsave;
    MenuItem quitmn;
    // Added after the tracings of the read menu: the half-widths beside the values.
    MenuItem line624;
    MenuItem rangemn;
    // Last in the read menu: correcting the shown tracing on its radiograph.
    MenuItem line626;
    MenuItem correctmn;
    // Added at the end of the picture menu: how the radiograph is shown while digitising.
    MenuItem viewmn;
    MenuItem brightermn, darkermn, morecontrastmn, lesscontrastmn, invertmn, viewresetmn, automn;
    MenuItem line625;
    MenuItem turnrightmn, turnleftmn, mirrormn;  // the film turned as shown
    MenuItem line632;
    MenuItem loupemn, marksmn;
    // Added after it: the keys of the hands that click, shown with the commands they give
    // while landmarks are placed.
    MenuItem keysmn;
    MenuItem stepbackmn, cancelmn;
    MenuItem line627;
    MenuItem zoominmn, zoomoutmn, fitmn, actualmn;
    MenuItem line628;
    MenuItem panleftmn, panrightmn, panupmn, pandownmn;
    MenuItem line633, acceptmn, acceptallmn;

    State state;

    // Every control, containers before their children, in the window's order.
    const std::vector<ControlRef>& Controls() const { return controls_.refs(); }
    Control* Find(std::string_view name, int index = -1) const {
        return controls_.Find(name, index);
    }
    // The menu bar as a tree, reflecting the current run-time arrays.
    std::vector<MenuNode> MenuTree();
    MenuItem* FindMenu(std::string_view name, int index = -1);

  private:
    // Each declares one group of controls; called in the window's order.
    void BuildFigurePanel();
    void BuildFigureFrames();
    void BuildWindowHelpers();
    void BuildResultGrid();
    void BuildWorkArea();
    void BuildCalibration();
    void BuildGuide();
    void BuildHeader();
    void BuildMenus();
    void BuildViewMenu();
    void BuildKeysMenu();
    void BuildTooltips();
    ControlList controls_;
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

    const std::vector<ControlRef>& Controls() const { return controls_.refs(); }

  private:
    ControlList controls_;
};

}  // namespace ceph::ui
