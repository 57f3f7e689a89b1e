#include "figure/figure.h"

#include <algorithm>
#include <array>

#include "figure/index_set.h"

namespace ceph::figure {

namespace {

constexpr int kStructureCount = 9;
constexpr int kProfileSegments = 15;

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
constexpr std::array<Highlight, kStructureCount> kHighlights{{
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

// The profile runs as two chains, nasion to upper lip (points 0..8) and lower lip to
// chin (points 9..16); the mouth opening between points 8 and 9 is not drawn.
constexpr int SegmentStart(int segment) {
    return segment < 8 ? segment : segment + 1;
}

void PlaceHardTissueLines(ui::MainWindow& win) {
    const ui::State& s = win.state;
    for (int k = 0; k < static_cast<int>(win.Line1.size()); ++k) {
        ui::Line& line = win.Line1[k];
        const int a = s.LandmarkPairs[0][k], b = s.LandmarkPairs[1][k];
        line.visible = false;
        line.borderWidth = 2;
        SetLineEnds(line, s.X[a], s.Y[a], s.X[b], s.Y[b]);
    }
}

void ShowProfileLines(ui::MainWindow& win) {
    for (ui::Line& line : win.Line2) {
        line.visible = true;
        line.borderColor = kMagenta;
    }
}

// The movement and alignment frames stand just in front of the nose tip; the panel
// grows to hold them and, below, the chin.
void LayOutPanel(ui::MainWindow& win) {
    const float noseTip = kTwipsPerMm * win.state.ProfilePts[0][3];
    win.Frame1.left = noseTip + 1400.0f;
    win.Frame2.left = noseTip + 1520.0f;
    ui::PictureBox& panel = win.Picture8;
    panel.width = win.Frame1.width + win.Frame1.left + 200.0f;
    panel.height = std::max(win.Frame2.height + win.Frame2.top + 200.0f,
                            kTwipsPerMm * win.state.Y[12] + 800.0f);
    panel.left = (win.readceph.width - panel.width) / 2.0f;
}

}  // namespace

void SetLineEnds(ui::Line& line, float x1, float y1, float x2, float y2) {
    line.x1 = kOriginX + kTwipsPerMm * x1;
    line.y1 = kOriginY + kTwipsPerMm * y1;
    line.x2 = kOriginX + kTwipsPerMm * x2;
    line.y2 = kOriginY + kTwipsPerMm * y2;
}

void DrawProfile(ui::MainWindow& win) {
    const auto& px = win.state.ProfilePts[0];
    const auto& py = win.state.ProfilePts[1];
    for (int i = 0; i < kProfileSegments; ++i) {
        const int a = SegmentStart(i), b = a + 1;
        SetLineEnds(win.Line2[i], px[a], py[a], px[b], py[b]);
    }
}

void HighlightLine(ui::Line& line) {
    line.visible = true;
    line.borderColor = kGreen;
}

void SetUpFigure(ui::MainWindow& win) {
    // Unchecking the box raises its click, which restores the solid hard-tissue lines.
    if (win.Check1.value != 0) {
        win.Check1.value = 0;
        Check1_Click(win);
    }
    PlaceHardTissueLines(win);
    win.List1.listIndex = 0;
    List1_Click(win);
    ShowProfileLines(win);
    DrawProfile(win);
    LayOutPanel(win);
}

void List1_Click(ui::MainWindow& win) {
    for (ui::Line& line : win.Line1)
        line.visible = false;
    for (ui::Line& line : win.Line2)
        line.borderWidth = 1;
    const int s = win.List1.listIndex;
    if (s < 0 || s >= kStructureCount) return;
    kHighlights[s].thickSegments.ForEach([&](int i) { win.Line2[i].borderWidth = 2; });
    kHighlights[s].shownLines.ForEach([&](int k) { HighlightLine(win.Line1[k]); });
}

void Check1_Click(ui::MainWindow& win) {
    const int width = win.Check1.value == 1 ? 1 : 2;
    for (ui::Line& line : win.Line1)
        line.borderWidth = width;
}

}  // namespace ceph::figure
