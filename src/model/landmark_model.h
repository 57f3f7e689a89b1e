#pragma once
// A learned suggester of landmarks: an ensemble of regression trees that moves a mean
// shape of the landmarks it knows onto a film, cascade after cascade, each cascade
// reading the differences of pairs of pixels placed relative to the shape so far; then,
// landmark by landmark, the same on a small box around it at a finer scale. The
// learning library builds it; here it is plain data, so that a model file is read and
// checked by the program alone before the library sees any of it.

#include <array>
#include <cstdint>
#include <vector>

#include "model/landmark.h"

namespace ceph::model {

// One tree: splits in breadth-first order of a complete binary tree (the children of
// split i are 2i+1 and 2i+2; past the last split come the leaves), each comparing the
// difference of two of its cascade's feature pixels with a threshold (the tree goes to
// the first child when the difference is larger); a leaf holds the move of every part,
// x then y, in the unit box.
struct ShapeSplit {
    std::uint32_t first = 0, second = 0;
    float threshold = 0;
    bool operator==(const ShapeSplit&) const = default;
};
struct ShapeTree {
    std::vector<ShapeSplit> splits;
    std::vector<float> leaves;  // splits.size() + 1 leaves of 2 x parts values each
    bool operator==(const ShapeTree&) const = default;
};

// A feature pixel: the part it follows and its offset from it, in the unit box.
struct ShapeFeature {
    std::uint32_t anchor = 0;
    float dx = 0, dy = 0;
    bool operator==(const ShapeFeature&) const = default;
};

struct ShapeCascade {
    std::vector<ShapeFeature> features;
    std::vector<ShapeTree> trees;
    bool operator==(const ShapeCascade&) const = default;
};

// The trees and the mean shape they start from: x then y of each part, in the unit box.
struct ShapePredictor {
    std::vector<float> initialShape;
    std::vector<ShapeCascade> cascades;
    bool operator==(const ShapePredictor&) const = default;
};

// A second, closer look at one landmark: that landmark alone, in a box around where the
// first look put it, on the film at a finer scale.
struct LocalPredictor {
    std::uint32_t landmark = 0;  // 1..19
    ShapePredictor shape;
    bool operator==(const LocalPredictor&) const = default;
};

struct LandmarkModel {
    // The scale a film is brought to before the first look, whose box (the unit box of
    // its shapes) is the whole film so scaled.
    double millimetresPerPixel = 0;
    // How many films it learnt from, for the clinician's information, and their mean
    // width in millimetres: a film whose scale is not known is taken to be as wide.
    std::uint32_t films = 0;
    float filmWidth = 0;
    // Landmarks 1..19 it suggests (slot 0 unused); the parts of the first look are the
    // known ones in number order.
    std::array<bool, kLandmarkCount + 1> known{};
    // How far a suggestion lies from where a clinician put it, on average, in
    // millimetres, as cross-validation measured it; 0 where unknown.
    std::array<float, kLandmarkCount + 1> expectedError{};
    ShapePredictor global;
    // The first look once more, in a square around the shape it found (the shape's
    // bounding square widened by `frameMargin` of its side each way), so that where the
    // head lies on the film and how large it is matter no more; no cascades: none.
    ShapePredictor framed;
    float frameMargin = 0;
    // The closer looks: the finer scale, the side of their square box in millimetres,
    // and one predictor for each landmark that has one.
    double localMillimetresPerPixel = 0;
    float localBox = 0;
    std::vector<LocalPredictor> local;

    int Parts() const {
        int n = 0;
        for (int k = 1; k <= kLandmarkCount; ++k)
            n += known[static_cast<std::size_t>(k)] ? 1 : 0;
        return n;
    }
    bool operator==(const LandmarkModel&) const = default;
};

}  // namespace ceph::model
