#include "figure/movement.h"

#include <array>
#include <cmath>

#include "figure/figure.h"
#include "figure/index_set.h"

namespace ceph::figure {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr int kStructureCount = 9;

struct Point {
    double x, y;
};

Point Start(const ui::Line& line) {
    return {line.x1, line.y1};
}
Point End(const ui::Line& line) {
    return {line.x2, line.y2};
}
Point Midpoint(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}
// Profile point i where the figure draws it, in twips.
Point ProfileTwips(const ui::State& s, int i) {
    return {kTwipsPerMm * static_cast<double>(s.ProfilePts[0][i]) + kOriginX,
            kTwipsPerMm * static_cast<double>(s.ProfilePts[1][i]) + kOriginY};
}

// y grows downwards, so a positive angle turns counter-clockwise on the screen.
Point Turn(Point p, double angle, Point c) {
    const double theta = kPi * angle / 180;
    const double cs = std::cos(theta), sn = std::sin(theta);
    return {c.x + (p.x - c.x) * cs + (p.y - c.y) * sn, c.y + (p.y - c.y) * cs - (p.x - c.x) * sn};
}

// The points the structures turn about, in twips, from the figure as it stands.
using Window = const ui::MainWindow&;
Point UpperApex(Window w) {
    return Start(w.Line1[0]);
}
Point LowerApex(Window w) {
    return End(w.Line1[1]);
}
Point OcclusalMiddle(Window w) {
    return Midpoint(Start(w.Line1[2]), End(w.Line1[2]));
}
Point PalatalMiddle(Window w) {
    return Midpoint(Start(w.Line1[3]), End(w.Line1[3]));
}
Point GonionPogonionMiddle(Window w) {
    return Midpoint(Start(w.Line1[8]), Start(w.Line1[5]));
}
template <int i>
Point OnProfile(Window w) {
    return ProfileTwips(w.state, i);
}

constexpr IndexSet Points(int first, int last) {
    return IndexSet::Range(first, last);
}

// How each structure of the list moves: the point it turns about, its hard-tissue
// lines, and the profile points that ride on it. The turning and shifting sets differ
// on purpose: the occlusal plane shifts the upper lip's start (point 5) without turning
// it, and the lower lip turns the lip-chin point 12 without shifting it.
struct Movable {
    Point (*centre)(Window);
    IndexSet lines;
    IndexSet turnedPoints;
    IndexSet shiftedPoints;
};
constexpr std::array<Movable, kStructureCount> kMovables{{
    {UpperApex, {0}, Points(6, 8), Points(6, 8)},                              // upper incisor
    {LowerApex, {1}, Points(9, 11), Points(9, 11)},                            // lower incisor
    {OcclusalMiddle, {0, 1, 2}, Points(6, 11), Points(5, 11)},                 // occlusal plane
    {PalatalMiddle, {0, 3}, Points(6, 8), Points(6, 8)},                       // alveolar bone
    {GonionPogonionMiddle, {1, 4, 5, 6, 7, 8}, Points(9, 14), Points(9, 14)},  // mandible
    {OnProfile<2>, {}, Points(1, 4), Points(1, 4)},                            // nose
    {OnProfile<5>, {}, Points(5, 8), Points(5, 8)},                            // upper lip
    {OnProfile<12>, {}, Points(9, 12), Points(9, 11)},                         // lower lip
    {OnProfile<14>, {}, Points(12, 14), Points(12, 14)},                       // chin
}};

void TurnStructure(ui::MainWindow& win, const Movable& m, int angle) {
    // All parts turn about the same point, taken before any of them moves.
    const Point c = m.centre(win);
    m.lines.ForEach([&](int k) { RotateLine(angle, win.Line1[k], c.x, c.y); });
    m.turnedPoints.ForEach([&](int i) { RotateProfilePoint(win.state, angle, i, c.x, c.y); });
}

void ShiftStructure(ui::MainWindow& win, const Movable& m, int dx, int dy) {
    auto& px = win.state.ProfilePts[0];
    auto& py = win.state.ProfilePts[1];
    m.shiftedPoints.ForEach([&](int i) {
        px[i] = static_cast<float>(px[i] + dx / 30.0);
        py[i] = static_cast<float>(py[i] + dy / 30.0);
    });
    m.lines.ForEach([&](int k) { ShiftLine(win.Line1[k], dx, dy); });
}

// Where along a movement control the mouse was released, in `steps` equal parts of its
// extent, rounded half to even in single precision.
int StepAt(float position, float extent, int steps) {
    return RoundToInt16(static_cast<float>(steps) * position / extent);
}

}  // namespace

void RotateLine(double angle, ui::Line& line, double cx, double cy) {
    const Point c{cx, cy};
    const Point a = Turn(Start(line), angle, c), b = Turn(End(line), angle, c);
    line.x1 = static_cast<float>(a.x);
    line.y1 = static_cast<float>(a.y);
    line.x2 = static_cast<float>(b.x);
    line.y2 = static_cast<float>(b.y);
}

void ShiftLine(ui::Line& line, double dx, double dy) {
    line.x1 = static_cast<float>(line.x1 + dx);
    line.x2 = static_cast<float>(line.x2 + dx);
    line.y1 = static_cast<float>(line.y1 + dy);
    line.y2 = static_cast<float>(line.y2 + dy);
}

void RotateProfilePoint(ui::State& state, double angle, int i, double cx, double cy) {
    const Point p = Turn(ProfileTwips(state, i), angle, {cx, cy});
    state.ProfilePts[0][i] = static_cast<float>((p.x - kOriginX) / kTwipsPerMm);
    state.ProfilePts[1][i] = static_cast<float>((p.y - kOriginY) / kTwipsPerMm);
}

void MoveStructure(ui::MainWindow& win, int angle, int dx, int dy) {
    const int s = win.List1.listIndex;
    if (s >= 0 && s < kStructureCount) {
        if (angle != 0)
            TurnStructure(win, kMovables[s], angle);
        else
            ShiftStructure(win, kMovables[s], dx, dy);
    }
    DrawProfile(win);
}

void Label16_MouseUp(ui::MainWindow& win, float x, float /*y*/) {
    const float width = win.Label16.width;
    if (width == 0) return;
    // Left end +6 degrees (counter-clockwise) to right end -7 (clockwise).
    MoveStructure(win, 6 - StepAt(x, width, 13), 0, 0);
}

void Label17_MouseUp(ui::MainWindow& win, float x, float /*y*/) {
    const float width = win.Label17.width;
    if (width == 0) return;
    MoveStructure(win, 0, StepAt(x, width, 41) - 20, 0);
}

void Label18_MouseUp(ui::MainWindow& win, float /*x*/, float y) {
    const float height = win.Label18.height;
    if (height == 0) return;
    MoveStructure(win, 0, 0, StepAt(y, height, 41) - 20);
}

}  // namespace ceph::figure
