#include "model/figure.h"

#include <algorithm>

#include "model/index_set.h"
#include "model/landmark.h"

namespace ceph::model {

namespace {

// Profile segments by the part of the face they outline.
constexpr IndexSet kNose = IndexSet::Range(0, 3);
constexpr IndexSet kUpperLip = IndexSet::Range(4, 7);
constexpr IndexSet kLowerLip = IndexSet::Range(8, 11);
constexpr IndexSet kChin = IndexSet::Range(12, 14);

// What the structure list shows for each item: profile segments drawn solid and the
// hard-tissue lines shown. Every other hard-tissue line is hidden, so a bone line is
// seen only while its structure (or one containing it) is selected.
struct Highlight {
    IndexSet thickSegments;
    IndexSet shownLines;
};
constexpr std::array<Highlight, kFigureStructures> kHighlights{{
    {kUpperLip, {0}},                         // upper incisor
    {kLowerLip, {1}},                         // lower incisor
    {kUpperLip | kLowerLip, {0, 1, 2}},       // occlusal plane
    {kUpperLip, {0, 3}},                      // alveolar bone
    {kLowerLip | kChin, {1, 4, 5, 6, 7, 8}},  // mandibular bone
    {kNose, {}},                              // nose
    {kUpperLip, {}},                          // upper lip
    {kLowerLip, {}},                          // lower lip
    {kChin, {}},                              // chin
}};

// A bone line is seen only in green, while its structure is chosen; the profile is
// magenta and the pair figure under them blue.
constexpr Colour kBoneColour = kGreen;
constexpr Colour kProfileColour = kMagenta;
constexpr Colour kPairColour = kBlue;

// The profile runs as two chains, nasion to upper lip (points 0..8) and lower lip to
// chin (points 9..16); the mouth opening between points 8 and 9 is not drawn.
constexpr int SegmentStart(int segment) {
    return segment < 8 ? segment : segment + 1;
}

void PlaceHardTissueLines(Figure& f, const PointTable& X, const PointTable& Y) {
    for (int k = 0; k < kHardTissueLines; ++k) {
        FigureLine& line = f.hardTissue[k];
        const LandmarkPair& pair = FigurePairs()[k];
        const std::size_t a = Slot(pair.from), b = Slot(pair.to);
        line.visible = false;
        line.width = 2;
        SetLineEnds(line, X[a], Y[a], X[b], Y[b]);
    }
}

void ShowProfileLines(Figure& f) {
    for (FigureLine& line : f.profile)
        line.visible = true;
}

// The pair figure as the panel has always painted it: from the first landmark, a step
// to the second.
void PaintPairLines(Figure& f, const PointTable& X, const PointTable& Y) {
    const float scale = kFigureTwipsPerMm;
    for (int k = 0; k < kPairFigureLines; ++k) {
        const LandmarkPair& pair = FigurePairs()[k];
        const std::size_t i = Slot(pair.from), j = Slot(pair.to);
        FigureLine& line = f.pairLines[k];
        line.x1 = kFigureOriginX + scale * X[i];
        line.y1 = kFigureOriginY + scale * Y[i];
        line.x2 = line.x1 + scale * (X[j] - X[i]);
        line.y2 = line.y1 + scale * (Y[j] - Y[i]);
        line.colour = kPairColour;
        line.width = 1;
        line.visible = true;
    }
}

// The movement and alignment frames stand just in front of the nose tip; the panel
// grows to hold them and, below, the chin.
void LayOutPanel(Figure& f, const PointTable& Y) {
    const float noseTip = kFigureTwipsPerMm * f.profilePoints.x[3];
    f.movementFrameLeft = noseTip + 1400.0f;
    f.alignmentFrameLeft = noseTip + 1520.0f;
    f.width = kMovementFrameWidth + f.movementFrameLeft + 200.0f;
    f.height = std::max(kAlignmentFrameHeight + kAlignmentFrameTop + 200.0f,
                        kFigureTwipsPerMm * Y[Slot(Landmark::Me)] + 800.0f);
}

}  // namespace

Figure::Figure() {
    for (FigureLine& line : hardTissue) {
        line.dotted = true;
        line.colour = kBoneColour;
    }
    for (FigureLine& line : profile) {
        line.dotted = true;
        line.colour = kProfileColour;
    }
}

void SetLineEnds(FigureLine& line, float x1, float y1, float x2, float y2) {
    line.x1 = kFigureOriginX + kFigureTwipsPerMm * x1;
    line.y1 = kFigureOriginY + kFigureTwipsPerMm * y1;
    line.x2 = kFigureOriginX + kFigureTwipsPerMm * x2;
    line.y2 = kFigureOriginY + kFigureTwipsPerMm * y2;
}

Figure MakeFigure(const PointTable& X, const PointTable& Y, const Profile& profile) {
    Figure f;
    f.profilePoints = profile;
    // Nothing moved yet: the simulated landmarks are the tracing's.
    f.simulation.X = X;
    f.simulation.Y = Y;
    SetDotted(f, false);
    PlaceHardTissueLines(f, X, Y);
    Select(f, 0);
    ShowProfileLines(f);
    DrawProfile(f);
    LayOutPanel(f, Y);
    PaintPairLines(f, X, Y);
    return f;
}

Figure FigureOf(const Tracing& tracing) {
    PointTable X = tracing.X, Y = tracing.Y;
    DeriveOcclusalPoints(X, Y);
    return MakeFigure(X, Y, EstimateProfile(X, Y));
}

void Select(Figure& f, int s) {
    f.selected = s;
    for (FigureLine& line : f.hardTissue)
        line.visible = false;
    for (FigureLine& line : f.profile)
        line.width = 1;
    if (s < 0 || s >= kFigureStructures) return;
    const Highlight& h = kHighlights[s];
    h.thickSegments.ForEach([&](int i) { f.profile[i].width = 2; });
    h.shownLines.ForEach([&](int k) { f.hardTissue[k].visible = true; });
}

void SetDotted(Figure& f, bool dotted) {
    f.dotted = dotted;
    for (FigureLine& line : f.hardTissue)
        line.width = dotted ? 1 : 2;
}

void DrawProfile(Figure& f) {
    const auto& px = f.profilePoints.x;
    const auto& py = f.profilePoints.y;
    for (int i = 0; i < kProfileSegments; ++i) {
        const int a = SegmentStart(i), b = a + 1;
        SetLineEnds(f.profile[i], px[a], py[a], px[b], py[b]);
    }
}

}  // namespace ceph::model
