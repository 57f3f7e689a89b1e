#include "model/figure_movement.h"

#include <array>
#include <cmath>

#include "model/index_set.h"

namespace ceph::model {

namespace {

constexpr double kPi = 3.14159265358979;

struct Point {
    double x, y;
};

Point Start(const FigureLine& line) {
    return {line.x1, line.y1};
}
Point End(const FigureLine& line) {
    return {line.x2, line.y2};
}
Point Midpoint(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}
// Profile point i where the figure draws it, in twips.
Point ProfileTwips(const Profile& p, int i) {
    return {kFigureTwipsPerMm * static_cast<double>(p.x[i]) + kFigureOriginX,
            kFigureTwipsPerMm * static_cast<double>(p.y[i]) + kFigureOriginY};
}

// y grows downwards, so a positive angle turns counter-clockwise on the screen.
Point Turn(Point p, double angle, Point c) {
    const double theta = kPi * angle / 180;
    const double cs = std::cos(theta), sn = std::sin(theta);
    return {c.x + (p.x - c.x) * cs + (p.y - c.y) * sn, c.y + (p.y - c.y) * cs - (p.x - c.x) * sn};
}

// The points the structures turn about, in twips, from the figure as it stands.
const FigureLine& Bone(const Figure& f, int k) {
    return f.hardTissue[k];
}
Point UpperApex(const Figure& f) {
    return Start(Bone(f, 0));
}
Point LowerApex(const Figure& f) {
    return End(Bone(f, 1));
}
Point OcclusalMiddle(const Figure& f) {
    return Midpoint(Start(Bone(f, 2)), End(Bone(f, 2)));
}
Point PalatalMiddle(const Figure& f) {
    return Midpoint(Start(Bone(f, 3)), End(Bone(f, 3)));
}
Point GonionPogonionMiddle(const Figure& f) {
    return Midpoint(Start(Bone(f, 8)), Start(Bone(f, 5)));
}
template <int i>
Point OnProfile(const Figure& f) {
    return ProfileTwips(f.profilePoints, i);
}

constexpr IndexSet Points(int first, int last) {
    return IndexSet::Range(first, last);
}

// How each structure of the list moves: the point it turns about, its hard-tissue
// lines, and the profile points that ride on it. The turning and shifting sets differ
// on purpose: the occlusal plane shifts the upper lip's start (point 5) without turning
// it, and the lower lip turns the lip-chin point 12 without shifting it.
struct Movable {
    Point (*centre)(const Figure&);
    IndexSet lines;
    IndexSet turnedPoints;
    IndexSet shiftedPoints;
};
constexpr std::array<Movable, kFigureStructures> kMovables{{
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

void TurnStructure(Figure& f, const Movable& m, int angle) {
    // All parts turn about the same point, taken before any of them moves.
    const Point c = m.centre(f);
    m.lines.ForEach([&](int k) { RotateLine(angle, f.hardTissue[k], c.x, c.y); });
    m.turnedPoints.ForEach([&](int i) { RotateProfilePoint(f.profilePoints, angle, i, c.x, c.y); });
}

void ShiftStructure(Figure& f, const Movable& m, int dx, int dy) {
    auto& px = f.profilePoints.x;
    auto& py = f.profilePoints.y;
    m.shiftedPoints.ForEach([&](int i) {
        px[i] = static_cast<float>(px[i] + dx / 30.0);
        py[i] = static_cast<float>(py[i] + dy / 30.0);
    });
    m.lines.ForEach([&](int k) { ShiftLine(f.hardTissue[k], dx, dy); });
}

}  // namespace

void RotateLine(double angle, FigureLine& line, double cx, double cy) {
    const Point c{cx, cy};
    const Point a = Turn(Start(line), angle, c), b = Turn(End(line), angle, c);
    line.x1 = static_cast<float>(a.x);
    line.y1 = static_cast<float>(a.y);
    line.x2 = static_cast<float>(b.x);
    line.y2 = static_cast<float>(b.y);
}

void ShiftLine(FigureLine& line, double dx, double dy) {
    line.x1 = static_cast<float>(line.x1 + dx);
    line.x2 = static_cast<float>(line.x2 + dx);
    line.y1 = static_cast<float>(line.y1 + dy);
    line.y2 = static_cast<float>(line.y2 + dy);
}

void RotateProfilePoint(Profile& profile, double angle, int i, double cx, double cy) {
    const Point p = Turn(ProfileTwips(profile, i), angle, {cx, cy});
    profile.x[i] = static_cast<float>((p.x - kFigureOriginX) / kFigureTwipsPerMm);
    profile.y[i] = static_cast<float>((p.y - kFigureOriginY) / kFigureTwipsPerMm);
}

void MoveStructure(Figure& f, int angle, int dx, int dy) {
    const int s = f.selected;
    if (s >= 0 && s < kFigureStructures) {
        const Movable& m = kMovables[s];
        if (angle != 0)
            TurnStructure(f, m, angle);
        else
            ShiftStructure(f, m, dx, dy);
    }
    DrawProfile(f);
}

}  // namespace ceph::model
