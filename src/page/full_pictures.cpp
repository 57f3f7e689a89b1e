// The two pictures of the full report: the radiograph with the tracing, and the figure.
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/figure_movement.h"
#include "model/label_placement.h"
#include "model/landmark.h"
#include "page/full_page.h"

namespace ceph::page {

namespace {

constexpr float kPadding = 80;
// Room kept around the landmarks, in millimetres: the soft tissue in front of them.
constexpr float kMarginMm = 14;
// The figure no larger than this many times the panel's size: its face (N to Me)
// then prints at about 7 cm.
constexpr float kLargestFigureScale = 1.1f;
// Lines in device pixels, as the window's: this many to show on paper as on screen.
constexpr int kLineWidth = 3;
// The landmarks' crosses and names on the radiograph, in twips and points.
constexpr float kMarkArm = 50;
constexpr float kMarkNameSize = 6;
constexpr float kMarkNameHeight = kMarkNameSize * 20 * 1.25f;

// A rectangle growing to hold points.
struct Extent {
    float left = std::numeric_limits<float>::max(), top = left;
    float right = std::numeric_limits<float>::lowest(), bottom = right;
    void Add(float x, float y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    bool empty() const { return left > right; }
    float width() const { return right - left; }
    float height() const { return bottom - top; }
};

// Maps an extent of the figure panel into a box, its shape kept, centred.
struct Placement {
    float scale = 1, x = 0, y = 0;  // page = x + scale * (panel - extent's corner)
    float left = 0, top = 0;
    float X(float panelX) const { return x + scale * (panelX - left); }
    float Y(float panelY) const { return y + scale * (panelY - top); }
};

Placement Place(const Extent& e, const PageBox& box, float largest) {
    Placement p;
    const float w = std::max(e.width(), 1.0f), h = std::max(e.height(), 1.0f);
    p.scale = std::min({(box.width - 2 * kPadding) / w, (box.height - 2 * kPadding) / h, largest});
    p.left = e.left, p.top = e.top;
    p.x = box.x + (box.width - p.scale * w) / 2;
    p.y = box.y + (box.height - p.scale * h) / 2;
    return p;
}

float PanelX(float mm) {
    return model::kFigureOriginX + model::kFigureTwipsPerMm * mm;
}
float PanelY(float mm) {
    return model::kFigureOriginY + model::kFigureTwipsPerMm * mm;
}

// The part of the radiograph behind the placed extent, clipped to the picture.
void DrawPicturePart(DrawingList& page, const FullRadiograph& r, const Placement& at,
                     const Extent& e) {
    // A picture pixel in twips of the panel, as the panel shows the picture.
    const float perPixelX = r.twipsPerPixelX * r.scale, perPixelY = r.twipsPerPixelY * r.scale;
    if (!(perPixelX > 0) || !(perPixelY > 0)) return;
    const auto pixelX = [&](float panel) {
        return std::clamp((panel - r.left) / perPixelX, 0.0f,
                          static_cast<float>(r.picture.widthPx));
    };
    const auto pixelY = [&](float panel) {
        return std::clamp((panel - r.top) / perPixelY, 0.0f,
                          static_cast<float>(r.picture.heightPx));
    };
    const float x0 = pixelX(e.left), x1 = pixelX(e.right);
    const float y0 = pixelY(e.top), y1 = pixelY(e.bottom);
    if (x1 <= x0 || y1 <= y0) return;
    const float left = at.X(r.left + x0 * perPixelX), top = at.Y(r.top + y0 * perPixelY);
    page.Add<DrawPicture>(r.picture, left, top, (x1 - x0) * at.scale * perPixelX,
                          (y1 - y0) * at.scale * perPixelY, std::uint32_t{0xCC0020}, x0, y0,
                          x1 - x0, y1 - y0);
}

}  // namespace

void DrawRadiographBox(DrawingList& page, const FullReportInputs& in, const PageBox& box) {
    const model::PointTable& X = in.tracing.X;
    const model::PointTable& Y = in.tracing.Y;
    Extent e;
    for (int n = 1; n <= model::kLandmarkCount; ++n)
        e.Add(PanelX(X[n]), PanelY(Y[n]));
    const bool picture = !in.radiograph.picture.empty();
    // Why there is no picture goes under the tracing, which then leaves it room.
    std::vector<std::string> why;
    if (!picture) why = WrapText(in.radiograph.problem, 9, box.width - 2 * kPadding);
    const float whyHeight = static_cast<float>(why.size()) * 220;
    for (std::size_t i = 0; i < why.size(); ++i)
        AddText(page, 9, box.x + kPadding,
                box.y + box.height - kPadding - whyHeight + static_cast<float>(i) * 220, why[i],
                kFlagRed);
    AddFrame(page, box);
    if (e.empty()) return;
    const float margin = kMarginMm * model::kFigureTwipsPerMm;
    e.Add(e.left - margin, e.top - margin);
    e.Add(e.right + margin, e.bottom + margin);
    const Placement at = Place(e, {box.x, box.y, box.width, box.height - whyHeight},
                               std::numeric_limits<float>::max());
    if (picture) DrawPicturePart(page, in.radiograph, at, e);

    // Bright on the film, dark on white paper.
    const Colour lines = picture ? Bgr(255, 215, 0) : kBlue;
    const Colour marks = picture ? Bgr(255, 70, 70) : kRed;
    const auto& pairs = model::FigurePairs();
    for (std::size_t k = 0; k < static_cast<std::size_t>(model::kPairFigureLines); ++k) {
        const int i = model::Number(pairs[k].from), j = model::Number(pairs[k].to);
        page.Add<DrawLine>(at.X(PanelX(X[i])), at.Y(PanelY(Y[i])), at.X(PanelX(X[j])),
                           at.Y(PanelY(Y[j])), lines, kLineWidth);
    }
    std::vector<model::LabelRequest> names;
    for (const model::LandmarkInfo& info : model::Landmarks()) {
        const int n = model::Number(info.landmark);
        names.push_back({at.X(PanelX(X[n])), at.Y(PanelY(Y[n])),
                         TextWidth(kMarkNameSize, info.abbreviation), kMarkNameHeight});
    }
    const std::vector<model::PlacedLabel> placed =
        model::PlaceLabels(names, kMarkArm, 20, {box.x, box.y, box.width, box.height - whyHeight});
    for (std::size_t i = 0; i < names.size(); ++i) {
        const float x = static_cast<float>(names[i].x), y = static_cast<float>(names[i].y);
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        page.Add<DrawLine>(x - kMarkArm, y, x + kMarkArm, y, marks, 2);
        page.Add<DrawLine>(x, y - kMarkArm, x, y + kMarkArm, marks, 2);
        const model::LabelRect& b = placed[i].box;
        if (placed[i].leader) {
            double ex = 0, ey = 0;
            model::LeaderEnd(b, x, y, ex, ey);
            page.Add<DrawLine>(x, y, static_cast<float>(ex), static_cast<float>(ey), marks, 1);
        }
        AddText(page, kMarkNameSize, static_cast<float>(b.left), static_cast<float>(b.top),
                model::Landmarks()[i].abbreviation, marks);
    }
}

constexpr float kMovedLine = 160;  // twips, a line of 7-point text

void DrawFigureBox(DrawingList& page, const model::Figure& figure, const PageBox& box) {
    AddFrame(page, box);
    std::vector<const model::FigureLine*> lines;
    for (const model::FigureLine& l : figure.pairLines)
        lines.push_back(&l);
    for (const model::FigureLine& l : figure.profile)
        if (l.visible) lines.push_back(&l);
    for (const model::FigureLine& l : figure.hardTissue)
        if (l.visible) lines.push_back(&l);
    Extent e;
    for (const model::FigureLine* l : lines) {
        e.Add(l->x1, l->y1);
        e.Add(l->x2, l->y2);
    }
    if (e.empty()) return;
    std::vector<std::string> moved;
    for (int s = 0; s < model::kFigureStructures; ++s)
        if (const std::string text = model::MovementText(figure.simulation, s); !text.empty())
            moved.push_back(std::string(model::kStructureNames[s]) + " " + text);
    // Room under the figure for the movements and its scale.
    const float below = 300 + kMovedLine * float(moved.size());
    const PageBox inside{box.x, box.y, box.width, box.height - below};
    const Placement at = Place(e, inside, kLargestFigureScale);
    for (const model::FigureLine* l : lines) {
        // The panel's white lines would vanish on paper.
        const Colour colour = l->colour == kWhite ? kBlack : l->colour;
        page.Add<DrawLine>(at.X(l->x1), at.Y(l->y1), at.X(l->x2), at.Y(l->y2), colour,
                           kLineWidth * std::max(1, l->width));
    }
    // A centimetre of the patient, as the figure is printed.
    const float cm = 10 * model::kFigureTwipsPerMm * at.scale;
    const float y = box.y + box.height - 150, x = box.x + kPadding;
    page.Add<DrawLine>(x, y, x + cm, y, kBlack, kLineWidth);
    page.Add<DrawLine>(x, y - 50, x, y + 50, kBlack, kLineWidth);
    page.Add<DrawLine>(x + cm, y - 50, x + cm, y + 50, kBlack, kLineWidth);
    AddText(page, 7, x + cm + 80, y - 70, "1 cm", kPageGrey);
    // What was moved and by how much, one structure a line above the scale, so the page
    // tells the simulation it shows.
    for (std::size_t k = 0; k < moved.size(); ++k)
        AddText(page, 7, x, inside.y + inside.height + float(k) * kMovedLine, moved[k], kBlack);
}

}  // namespace ceph::page
