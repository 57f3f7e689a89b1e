#pragma once
// Where a report is drawn: every report step goes through these few operations, so the
// screen panel, the paper and cephtool's files always show the same thing.

#include <string>
#include <string_view>

#include "model/geometry.h"
#include "page/drawing.h"

namespace ceph::page {

// Where a report is drawn: texts and lines in twips, in the target's current colour.
class ReportTarget {
  public:
    virtual ~ReportTarget() = default;
    // A text with its top-left at (x, y) in the given point size.
    virtual void Text(int size, int x, int y, std::string_view text) = 0;
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
};

// The printer's current page; the pages go to paper, a PDF or a picture afterwards.
class PrinterTarget : public ReportTarget {
  public:
    explicit PrinterTarget(Printer& printer) : printer_(printer) {}
    void Text(int size, int x, int y, std::string_view text) override;
    void Line(float x1, float y1, float x2, float y2) override;

  private:
    Printer& printer_;
};

// A text on a surface that keeps its font size and print position (a picture box, the
// printer), in the surface's colour.
template <class Surface>
void AddSurfaceText(Surface& surface, DrawingList& list, int size, int x, int y,
                    std::string_view text) {
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y),
               fs = static_cast<float>(size);
    surface.fontSize = fs;
    surface.currentX = fx;
    surface.currentY = fy;
    list.Add<DrawText>(fs, fx, fy, std::string(text), surface.foreColor);
}

}  // namespace ceph::page
