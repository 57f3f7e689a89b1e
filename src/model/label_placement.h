#pragma once
// Where the names of the marks go, so that every name can be read: no two names overlap
// and none covers a mark. A name stands at the upper right of its mark, as marks have
// always been named, or at another side when that is taken; where no side is free it
// moves out and a thin leader line joins it to its mark. Any unit will do (pixels on
// the screen, twips on the page), as long as it is the same for all.

#include <vector>

namespace ceph::model {

struct LabelRect {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool Overlaps(const LabelRect& o) const {
        return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
    }
};

struct LabelRequest {
    double x = 0, y = 0;           // the mark
    double width = 0, height = 0;  // the name as it will be drawn
};

struct PlacedLabel {
    LabelRect box;        // where the name is drawn
    bool leader = false;  // moved away from its mark: joined to it by a line
};

// Places the names of `marks` (a mark covering `markRadius` each way) inside `room`
// where it can (a name that cannot fit inside stays where it fits best). `gap` is the
// room kept between a name and its mark and between two names. The result follows the
// order of `marks`.
std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelRequest>& marks, double markRadius,
                                     double gap, const LabelRect& room);

// Where a leader line from the mark at (x, y) meets its name's box: the nearest point
// of the box.
void LeaderEnd(const LabelRect& box, double x, double y, double& endX, double& endY);

}  // namespace ceph::model
