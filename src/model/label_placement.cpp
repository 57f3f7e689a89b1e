#include "model/label_placement.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ceph::model {

namespace {

constexpr int kRings = 24;       // how far a name may move out, in steps of its height
constexpr int kDirections = 16;  // around its mark at each step
constexpr double kPi = 3.14159265358979323846;

LabelRect Grown(const LabelRect& r, double by) {
    return {r.left - by, r.top - by, r.width + 2 * by, r.height + 2 * by};
}

bool Inside(const LabelRect& r, const LabelRect& room) {
    return r.left >= room.left && r.top >= room.top && r.right() <= room.right() &&
           r.bottom() <= room.bottom();
}

// The places beside a mark, the first as marks have always been named.
std::vector<LabelRect> Beside(const LabelRequest& m, double r, double gap) {
    const double w = m.width, h = m.height;
    const double right = m.x + r + gap, left = m.x - r - gap - w;
    return {
        {right, m.y - h, w, h},                  // upper right
        {right, m.y - h / 2, w, h},              // right
        {right, m.y, w, h},                      // lower right
        {left, m.y - h, w, h},                   // upper left
        {left, m.y - h / 2, w, h},               // left
        {left, m.y, w, h},                       // lower left
        {m.x - w / 2, m.y - r - gap - h, w, h},  // above
        {m.x - w / 2, m.y + r + gap, w, h},      // below
    };
}

// Farther out, ring by ring: these need a leader.
std::vector<LabelRect> Around(const LabelRequest& m, double r, double gap) {
    std::vector<LabelRect> out;
    const double w = m.width, h = m.height;
    for (int ring = 1; ring <= kRings; ++ring) {
        const double d = r + gap + ring * (h + gap);
        for (int k = 0; k < kDirections; ++k) {
            // Starting at the upper right, the side names prefer, and going round.
            const double a = -kPi / 4 + 2 * kPi * k / kDirections;
            const double cx = m.x + std::cos(a) * (d + w / 2), cy = m.y + std::sin(a) * (d + h / 2);
            out.push_back({cx - w / 2, cy - h / 2, w, h});
        }
    }
    return out;
}

struct Board {
    const std::vector<LabelRequest>& marks;
    double radius, gap;
    LabelRect room;
    std::vector<LabelRect> taken;

    bool Free(const LabelRect& box, bool inRoom) const {
        if (inRoom && !Inside(box, room)) return false;
        const LabelRect clear = Grown(box, gap / 2);
        for (const LabelRequest& m : marks)
            if (clear.Overlaps({m.x - radius, m.y - radius, 2 * radius, 2 * radius})) return false;
        for (const LabelRect& t : taken)
            if (clear.Overlaps(Grown(t, gap / 2))) return false;
        return true;
    }

    PlacedLabel Place(const LabelRequest& m) const {
        const std::vector<LabelRect> beside = Beside(m, radius, gap);
        const std::vector<LabelRect> around = Around(m, radius, gap);
        for (const bool inRoom : {true, false}) {
            for (const LabelRect& box : beside)
                if (Free(box, inRoom)) return {box, false};
            for (const LabelRect& box : around)
                if (Free(box, inRoom)) return {box, true};
        }
        return {beside.front(), false};
    }
};

// How many other marks lie within reach of a mark's name: the crowded are placed first,
// while the most room is left.
std::vector<std::size_t> CrowdedFirst(const std::vector<LabelRequest>& marks) {
    std::vector<int> near(marks.size(), 0);
    for (std::size_t i = 0; i < marks.size(); ++i)
        for (std::size_t j = 0; j < marks.size(); ++j) {
            const double reach = 2 * (marks[i].width + marks[i].height);
            if (i != j && std::hypot(marks[i].x - marks[j].x, marks[i].y - marks[j].y) < reach)
                ++near[i];
        }
    std::vector<std::size_t> order(marks.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return near[a] > near[b]; });
    return order;
}

}  // namespace

std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelRequest>& marks, double markRadius,
                                     double gap, const LabelRect& room) {
    std::vector<PlacedLabel> placed(marks.size());
    Board board{marks, markRadius, gap, room, {}};
    for (const std::size_t i : CrowdedFirst(marks)) {
        if (!std::isfinite(marks[i].x) || !std::isfinite(marks[i].y)) continue;
        placed[i] = board.Place(marks[i]);
        board.taken.push_back(placed[i].box);
    }
    return placed;
}

void LeaderEnd(const LabelRect& box, double x, double y, double& endX, double& endY) {
    endX = std::clamp(x, box.left, box.right());
    endY = std::clamp(y, box.top, box.bottom());
}

}  // namespace ceph::model
