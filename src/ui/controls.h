#pragma once
// The controls of the two windows as plain data. Each kind is a small struct with the
// properties the behaviour reads and writes; positions and sizes are in twips inside
// the control's container. The platform layer turns these into real widgets and keeps
// them in step after every handled event.

#include <string>
#include <vector>

#include "model/colour.h"
#include "model/numbers.h"
#include "page/drawing.h"

namespace ceph::ui {

// The pictures and drawing lists the controls show, and the printer's pages, are those
// of the page below the window, so that a page is drawn the same with or without one.
using page::DrawCircle;
using page::DrawingList;
using page::DrawLine;
using page::DrawOp;
using page::DrawPicture;
using page::DrawText;
using page::PictureRef;
using page::PictureView;
using page::PictureWindow;
using page::Printer;

enum class Kind {
    Form,
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    Frame,
    ListBox,
    PictureBox,
    Image,
    Line,
    HScrollBar,
    VScrollBar,
    Timer,
    FileListBox,
    DirListBox,
    DriveListBox,
    Table,
};

const char* KindName(Kind kind);

// Properties every control has.
struct Control {
    std::string name;
    int index = -1;  // position in a control array, -1 for a single control
    Kind kind = Kind::Label;
    Control* container = nullptr;  // nullptr: the window itself
    bool visible = true;
    bool enabled = true;
    float left = 0, top = 0, width = 0, height = 0;  // twips
    std::string tag;
    std::string fontName;  // empty: the window's face
    float fontSize = 9;
    bool fontBold = false;
    // Shown when the pointer rests on the control: what a control without a caption of
    // its own is for, or the unit of one whose caption does not say it.
    std::string tooltip;
    // Takes the keyboard focus each time it comes into view, so that the keys meant for
    // it act at once and none is typed into a box by mistake.
    bool focusWhenShown = false;
    // Takes the keyboard focus once the event being handled is done, if it is shown (not
    // one only now coming into view); the platform then clears it. Where the keys are to
    // act next when the control that had them goes.
    bool takeFocus = false;

    // "Text3(5)" for array elements, the bare name otherwise.
    std::string QualifiedName() const;
    void Move(float l, float t, float w, float h) { left = l, top = t, width = w, height = h; }
};

struct Label : Control {
    std::string caption;
    Colour foreColor = kSystemWindowText;
    bool autoSize = false;
    bool border = false;   // a thin frame around the label's area
    bool centred = false;  // text centred instead of left-aligned
    bool wrap = false;     // a text too long for one line goes on over the next
};

struct TextBox : Control {
    std::string text;
};

struct CommandButton : Control {
    std::string caption;
};

struct CheckBox : Control {
    std::string caption;
    int value = 0;  // 0 unchecked, 1 checked
};

struct Frame : Control {
    std::string caption;
};

struct ListBox : Control {
    std::vector<std::string> items;
    int listIndex = -1;
};

struct PictureBox : Control {
    Colour backColor = kSystemButtonFace;
    Colour foreColor = kSystemWindowText;
    bool border = true;
    PictureRef picture;   // background picture
    DrawingList drawing;  // persistent image drawn over the background
    // Drawn over the persistent image on the screen only: never in a saved bitmap or on
    // paper.
    DrawingList screenOnly;
    float currentX = 0, currentY = 0;
};

// A landmark already placed, marked on the radiograph while digitising, or one the
// landmark model suggests: hollow, the one asked for highlighted with a circle as wide
// as the model's expected error there.
enum class MarkKind { Placed, Suggested, SuggestedAsked };
struct PlacedMark {
    float x, y;  // twips in the image
    std::string label;
    MarkKind kind = MarkKind::Placed;
    float reach = 0;  // the expected error's radius in twips; 0: none drawn
    bool operator==(const PlacedMark&) const = default;
};

struct Image : Control {
    PictureRef picture;
    bool stretch = true;
    PictureView view;
    std::vector<PlacedMark> marks;
};

struct Line : Control {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // twips in the container
    Colour borderColor = kBlack;
    int borderWidth = 1;
    bool dotted = false;  // the dotted style shows only at width 1
};

struct ScrollBar : Control {
    int value = 0, min = 0, max = 32767, smallChange = 1, largeChange = 1;
    // Twips moved per step of the value: 1, or more where the distance to cover would
    // not fit the bar's range of 0..32767.
    int unit = 1;
};

// The two scroll bars share every property; which way a bar runs is its kind.
struct HScrollBar : ScrollBar {};
struct VScrollBar : ScrollBar {};

struct Timer : Control {
    int interval = 0;  // milliseconds
};

// File, folder and drive lists. Their entries are filled by the behaviour from the
// file system helper; the widget only shows them.
struct FileListBox : Control {
    std::string path;
    std::string pattern = "*.*";
    std::vector<std::string> items;
    int listIndex = -1;
};

struct DirListBox : Control {
    std::string path;
    std::vector<std::string> items;
    int listIndex = -1;
};

struct DriveListBox : Control {
    std::string drive;
    std::string folder;  // the folder listed beside it, which the box shows when set
    std::vector<std::string> items;
    int listIndex = -1;
};

// One cell of a table: its text, drawn in a colour of its own and bold where it is to
// stand out, and what the pointer resting on it tells.
struct TableCell {
    std::string text;
    Colour colour = kSystemWindowText;
    bool bold = false;
    std::string tooltip;
    bool operator==(const TableCell&) const = default;
};

// Rows of cells under column headings; the widget scrolls what does not fit and sizes
// its columns to their texts. Read-only: the user looks, the behaviour fills it.
struct Table : Control {
    std::vector<std::string> columns;
    std::vector<std::vector<TableCell>> rows;
    // The leading columns that hold words, aligned left; the numbers after them are
    // aligned right, so that their digits stand under each other.
    int textColumns = 1;
};

struct Form : Control {
    std::string caption;
    // Whether the user may resize and maximise the window; otherwise it keeps the size
    // the behaviour gives it.
    bool resizable = false;
    // Whether it fills the screen: the user's choice while it is resizable, kept in the
    // model so that the next input opens the same way.
    bool maximised = false;
    // The client area (inside the frame, under the menu bar) in twips as the platform
    // last reported it; 0 while it is not known for the current size.
    float scaleWidth = 0, scaleHeight = 0;
};

}  // namespace ceph::ui
