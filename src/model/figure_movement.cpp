#include "model/figure_movement.h"

#include <array>
#include <cmath>

#include "model/index_set.h"
#include "model/landmark.h"
#include "model/numbers.h"

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

// Landmarks by number, for the sets each structure carries.
constexpr IndexSet Carried(std::initializer_list<Landmark> landmarks) {
    IndexSet s;
    for (Landmark l : landmarks)
        s = s | IndexSet{Number(l)};
    return s;
}

// The landmarks each structure carries: the ends of its bone lines, and what rides with
// it in the mouth although no line of the figure reaches it. The occlusal points 29 and
// 30 are not carried: they are found again from the molars and incisor edges, as the
// analysis finds them.
using enum Landmark;
// The incisors are their axes: apex and edge.
constexpr IndexSet kUpperIncisor = Carried({U1Apex, U1Edge});
constexpr IndexSet kLowerIncisor = Carried({L1Edge, L1Apex});
// The occlusal plane is the dentition: both incisors and, at its back end, the molars
// that the plane's molar point stands for.
constexpr IndexSet kDentition = kUpperIncisor | kLowerIncisor | Carried({UpperMolar, LowerMolar});
// The alveolar bone carries the upper incisor and the palatal plane (ANS, PNS), and with
// them A, which lies on the same bone in front of the incisor root, and the upper molar
// rooted in it.
constexpr IndexSet kMaxilla = kUpperIncisor | Carried({ANS, PNS, A, UpperMolar});
// The mandible carries the lower incisor and its outline from B round the chin to Go and
// up the ramus to Ar, and the lower molar rooted in it.
constexpr IndexSet kMandible = kLowerIncisor | Carried({B, Pog, Gn, Me, Go, Ar, LowerMolar});

// How each structure of the list moves: the point it turns about, its hard-tissue
// lines, and the profile points that ride on it. The turning and shifting sets differ
// on purpose: the occlusal plane shifts the upper lip's start (point 5) without turning
// it, and the lower lip turns the lip-chin point 12 without shifting it. The soft tissue
// (nose, lips, chin) carries no landmark: every landmark is bone or tooth.
struct Movable {
    Point (*centre)(const Figure&);
    IndexSet lines;
    IndexSet turnedPoints;
    IndexSet shiftedPoints;
    IndexSet landmarks;
};
constexpr std::array<Movable, kFigureStructures> kMovables{{
    {UpperApex, {0}, Points(6, 8), Points(6, 8), kUpperIncisor},
    {LowerApex, {1}, Points(9, 11), Points(9, 11), kLowerIncisor},
    {OcclusalMiddle, {0, 1, 2}, Points(6, 11), Points(5, 11), kDentition},
    {PalatalMiddle, {0, 3}, Points(6, 8), Points(6, 8), kMaxilla},
    {GonionPogonionMiddle, {1, 4, 5, 6, 7, 8}, Points(9, 14), Points(9, 14), kMandible},
    {OnProfile<2>, {}, Points(1, 4), Points(1, 4), {}},       // nose
    {OnProfile<5>, {}, Points(5, 8), Points(5, 8), {}},       // upper lip
    {OnProfile<12>, {}, Points(9, 12), Points(9, 11), {}},    // lower lip
    {OnProfile<14>, {}, Points(12, 14), Points(12, 14), {}},  // chin
}};

// A point of the figure panel in millimetres, S at the origin.
Point InMillimetres(Point twips) {
    return {(twips.x - kFigureOriginX) / kFigureTwipsPerMm,
            (twips.y - kFigureOriginY) / kFigureTwipsPerMm};
}

// The carried landmarks turned (about c in millimetres) or shifted (in millimetres) as
// their structure is, the occlusal points found again from them, and the structure's
// totals.
void TurnLandmarks(Simulation& sim, int s, IndexSet landmarks, int angle, Point c) {
    landmarks.ForEach([&](int n) {
        const Point p = Turn({sim.X[n], sim.Y[n]}, angle, c);
        sim.X[n] = static_cast<float>(p.x);
        sim.Y[n] = static_cast<float>(p.y);
    });
    DeriveOcclusalPoints(sim.X, sim.Y);
    sim.turn[s] += angle;
    sim.moved = true;
}

void ShiftLandmarks(Simulation& sim, int s, IndexSet landmarks, double dx, double dy) {
    landmarks.ForEach([&](int n) {
        sim.X[n] = static_cast<float>(sim.X[n] + dx);
        sim.Y[n] = static_cast<float>(sim.Y[n] + dy);
    });
    DeriveOcclusalPoints(sim.X, sim.Y);
    sim.shiftX[s] += dx;
    sim.shiftY[s] += dy;
    if (dx != 0 || dy != 0) sim.moved = true;
}

void TurnStructure(Figure& f, int s, int angle) {
    const Movable& m = kMovables[s];
    // All parts turn about the same point, taken before any of them moves.
    const Point c = m.centre(f);
    m.lines.ForEach([&](int k) { RotateLine(angle, f.hardTissue[k], c.x, c.y); });
    m.turnedPoints.ForEach([&](int i) { RotateProfilePoint(f.profilePoints, angle, i, c.x, c.y); });
    TurnLandmarks(f.simulation, s, m.landmarks, angle, InMillimetres(c));
}

void ShiftStructure(Figure& f, int s, int dx, int dy) {
    const Movable& m = kMovables[s];
    auto& px = f.profilePoints.x;
    auto& py = f.profilePoints.y;
    m.shiftedPoints.ForEach([&](int i) {
        px[i] = static_cast<float>(px[i] + dx / 30.0);
        py[i] = static_cast<float>(py[i] + dy / 30.0);
    });
    m.lines.ForEach([&](int k) { ShiftLine(f.hardTissue[k], dx, dy); });
    ShiftLandmarks(f.simulation, s, m.landmarks, dx / 30.0, dy / 30.0);
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
        if (angle != 0)
            TurnStructure(f, s, angle);
        else
            ShiftStructure(f, s, dx, dy);
    }
    DrawProfile(f);
}

std::string MovementText(const Simulation& sim, int s) {
    const auto i = static_cast<std::size_t>(s);
    std::string text;
    // Whole degrees are all the turn bar gives.
    if (const std::string turn = Format0(std::fabs(sim.turn[i])); turn != "0")
        text = (sim.turn[i] > 0 ? "+" : "-") + turn + "°";
    std::string shift;
    auto add = [&shift](double mm, const char* forward, const char* back) {
        const std::string amount = Format1(std::fabs(mm));
        if (amount == "0.0") return;
        if (!shift.empty()) shift += ' ';
        shift += (mm > 0 ? forward : back) + amount;
    };
    add(sim.shiftX[i], "→", "←");
    add(sim.shiftY[i], "↓", "↑");
    if (shift.empty()) return text;
    return text.empty() ? shift + " mm" : text + ' ' + shift + " mm";
}

}  // namespace ceph::model
