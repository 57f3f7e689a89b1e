#pragma once
// The pieces of the full report page, each drawn into its place on the page in twips.

#include <string>
#include <string_view>
#include <vector>

#include "page/full_report.h"

namespace ceph::page {

// A place on the page, in twips.
struct PageBox {
    float x = 0, y = 0, width = 0, height = 0;
};

inline constexpr Colour kFlagOrange = Bgr(230, 120, 0);
inline constexpr Colour kFlagRed = Bgr(210, 0, 0);
inline constexpr Colour kPageGrey = Bgr(110, 110, 110);

// How wide a text prints at `size` points, near enough to keep it inside its column:
// the page's face gives ideographs a full em and Latin letters and digits well under
// one.
float TextWidth(float size, std::string_view text);
// The text cut into lines no wider than `width` at `size`, at blanks where it has them
// and between any two characters otherwise.
std::vector<std::string> WrapText(std::string_view text, float size, float width);

void AddText(DrawingList& page, float size, float x, float y, std::string text,
             Colour colour = kBlack);
void AddFrame(DrawingList& page, const PageBox& box, Colour colour = kPageGrey);

// The radiograph of the tracing, cut to its landmarks, with the landmarks marked and
// named and the tracing lines over it; without a radiograph the landmarks and lines
// alone, and why there is none.
void DrawRadiographBox(DrawingList& page, const FullReportInputs& in, const PageBox& box);
// The schematic figure as shown, at a scale a clinician reads it at.
void DrawFigureBox(DrawingList& page, const model::Figure& figure, const PageBox& box);
// The program's own analysis (left) and the chosen one with its notes (right), from
// `top` down to no further than `bottom`.
void DrawAnalysisTables(DrawingList& page, const FullReportInputs& in, float top, float bottom);

}  // namespace ceph::page
