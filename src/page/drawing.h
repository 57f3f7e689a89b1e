#pragma once
// What a page is drawn as: texts, lines, pictures and circles in twips, in the order they
// are drawn, and the pictures they show referred to by handle. The report panel, the
// figure panel and the printer's pages are all such lists, so the screen, the paper and
// cephtool's files show the same; the platform paints them.

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "model/colour.h"

namespace ceph::page {

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

}  // namespace ceph::page
