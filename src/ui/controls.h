#pragma once
// The controls of the two windows as plain data. Each kind is a small struct with the
// properties the behaviour reads and writes; positions and sizes are in twips inside
// the control's container. The platform layer turns these into real widgets and keeps
// them in step after every handled event.

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "model/colour.h"
#include "model/numbers.h"

namespace ceph::ui {

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

// The grey levels of a picture that reach the screen: `level` is shown mid-grey, and the
// `width` levels around it spread from black to white. In the picture's own stored values
// (0..255 for an 8-bit picture, 0..65535 for a deep one). A width of 0 is no window: the
// picture's levels as they are.
struct PictureWindow {
    double level = 0;
    double width = 0;
    bool empty() const { return !(width > 0); }
    bool operator==(const PictureWindow&) const = default;
};

// A loaded picture is owned by the platform's picture service; the model holds a
// handle and the picture's size in pixels, and what the file told about it. Handle 0 is
// "no picture".
struct PictureRef {
    PictureRef() = default;
    PictureRef(std::uint32_t handle, int widthPx, int heightPx)
        : handle(handle), widthPx(widthPx), heightPx(heightPx) {}

    std::uint32_t handle = 0;
    int widthPx = 0;
    int heightPx = 0;
    // Bits of a grey level as kept: 8 for ordinary pictures (colour ones too), up to 16 for
    // the deep greyscale a DICOM file, a 16-bit TIFF or PNG holds. A deep picture reaches
    // the screen only through a window.
    int bits = 8;
    // The display window the file itself gives (a DICOM's window centre and width), and
    // the one from the 0.5 % and 99.5 % points of the picture's histogram (grey pictures
    // only); either may be empty.
    PictureWindow fileWindow;
    PictureWindow histogramWindow;
    // Millimetres per pixel across and down, as the file gives them (for a radiograph:
    // at the detector); 0 when unknown.
    double spacingX = 0;
    double spacingY = 0;
    // What the file's decoder found damaged in a picture it could still show (a
    // compressed stream cut short): the film may be the only copy, so it is shown, with
    // this under it. Empty for a whole picture.
    std::string damage;
    bool empty() const { return handle == 0; }
    bool deep() const { return bits > 8; }
    bool operator==(const PictureRef&) const = default;
};

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

// One element of a picture box's persistent image or of a printed page.
struct DrawText {
    float size;  // points
    float x, y;  // top-left of the text, twips
    std::string text;
    Colour colour;
};
struct DrawLine {
    float x1, y1, x2, y2;  // twips
    Colour colour;
    int width = 1;
};
struct DrawPicture {
    PictureRef picture;
    float x, y, width, height;          // twips
    std::uint32_t rasterOp = 0xCC0020;  // source copy; 0x8800C6 ANDs source and destination
    // The part of the picture drawn, in its pixels; a width of 0 draws the whole picture.
    float sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
};
struct DrawCircle {
    float x, y, radius;  // twips
    Colour colour;
};
using DrawOp = std::variant<DrawText, DrawLine, DrawPicture, DrawCircle>;

struct DrawingList {
    std::vector<DrawOp> ops;
    void Clear() { ops.clear(); }
    // Appends an op built in place from its fields (a temporary op moved into the list
    // makes GCC 12 warn, wrongly, that the text's string may be uninitialised).
    // Compilers without aggregate initialisation from parentheses (clang before 16)
    // build the op from braces instead.
    template <class Op, class... Fields>
    void Add(Fields&&... fields) {
        if constexpr (std::is_constructible_v<Op, Fields&&...>)
            ops.emplace_back(std::in_place_type<Op>, std::forward<Fields>(fields)...);
        else
            ops.emplace_back(std::in_place_type<Op>, Op{std::forward<Fields>(fields)...});
    }
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

// A landmark already placed, marked on the radiograph while digitising.
struct PlacedMark {
    float x, y;  // twips in the image
    std::string label;
};

// How the radiograph is shown while landmarks are placed. Only the display changes: the
// picture and what a click stores stay as they are, and so does a saved copy of an 8-bit
// picture (a deep one can only be saved as its window and the aids show it).
struct PictureView {
    // The window the brightness and contrast below act on; empty: the picture's own levels
    // (a deep picture then shows through its file's window, else its histogram's).
    PictureWindow window;
    int brightness = 0;  // -100..100, added to every grey level in percent of white
    int contrast = 100;  // percent; 100 leaves the picture as it is
    bool invert = false;
    bool loupe = false;     // a magnifier follows the pointer
    bool showMarks = true;  // the placed landmarks are marked
    bool operator==(const PictureView&) const = default;
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

// The printer as the behaviour sees it: the pages of the job under way, each a
// drawing list in twips from the printable area's top-left, and the current font size
// and print position. Ending the document hands the pages to the platform.
struct Printer {
    std::vector<DrawingList> pages;
    float fontSize = 10;
    float currentX = 0, currentY = 0;
    Colour foreColor = kBlack;
    // The page being drawn, started on first use.
    DrawingList& CurrentPage() {
        if (pages.empty()) pages.emplace_back();
        return pages.back();
    }
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
