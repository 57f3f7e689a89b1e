#include "learning/dlib_bridge.h"

#include <cmath>
#include <sstream>

#include <dlib/serialize.h>

namespace ceph::learning {

namespace {

using DlibTrees = std::vector<std::vector<dlib::impl::regression_tree>>;
using DlibDeltas = std::vector<std::vector<dlib::vector<float, 2>>>;
using DlibAnchors = std::vector<std::vector<unsigned long>>;

}  // namespace

void ToDlibImage(const GreyFilm& film, dlib::array2d<unsigned char>& image) {
    image.set_size(film.height, film.width);
    for (int y = 0; y < film.height; ++y)
        for (int x = 0; x < film.width; ++x)
            image[y][x] = film.At(x, y);
}

// The trees of a trained predictor. Its parts are read back from the library's own
// bytes of a predictor made here, in memory.
model::ShapePredictor TakeTrees(const dlib::shape_predictor& sp) {
    std::stringstream bytes;
    dlib::serialize(sp, bytes);
    int version = 0;
    dlib::matrix<float, 0, 1> initial;
    DlibTrees forests;
    DlibAnchors anchors;
    DlibDeltas deltas;
    dlib::deserialize(version, bytes);
    dlib::deserialize(initial, bytes);
    dlib::deserialize(forests, bytes);
    dlib::deserialize(anchors, bytes);
    dlib::deserialize(deltas, bytes);
    model::ShapePredictor p;
    p.initialShape.assign(initial.begin(), initial.end());
    p.cascades.resize(forests.size());
    for (std::size_t c = 0; c < forests.size(); ++c) {
        model::ShapeCascade& cascade = p.cascades[c];
        for (std::size_t f = 0; f < anchors[c].size(); ++f)
            cascade.features.push_back(
                {static_cast<std::uint32_t>(anchors[c][f]), deltas[c][f].x(), deltas[c][f].y()});
        for (const dlib::impl::regression_tree& tree : forests[c]) {
            model::ShapeTree& t = cascade.trees.emplace_back();
            for (const auto& s : tree.splits)
                t.splits.push_back({static_cast<std::uint32_t>(s.idx1),
                                    static_cast<std::uint32_t>(s.idx2), s.thresh});
            for (const auto& leaf : tree.leaf_values)
                t.leaves.insert(t.leaves.end(), leaf.begin(), leaf.end());
        }
    }
    return p;
}

// The predictor of trees whose every count and index was checked when they were read:
// the library reads only bytes its own writer made of those values.
dlib::shape_predictor PredictorOf(const model::ShapePredictor& p) {
    const long values = static_cast<long>(p.initialShape.size());
    dlib::matrix<float, 0, 1> initial(values);
    for (long i = 0; i < values; ++i)
        initial(i) = p.initialShape[static_cast<std::size_t>(i)];
    DlibTrees forests(p.cascades.size());
    DlibAnchors anchors(p.cascades.size());
    DlibDeltas deltas(p.cascades.size());
    for (std::size_t c = 0; c < p.cascades.size(); ++c) {
        for (const model::ShapeFeature& f : p.cascades[c].features) {
            anchors[c].push_back(f.anchor);
            deltas[c].emplace_back(f.dx, f.dy);
        }
        for (const model::ShapeTree& t : p.cascades[c].trees) {
            dlib::impl::regression_tree& tree = forests[c].emplace_back();
            for (const model::ShapeSplit& s : t.splits)
                tree.splits.push_back({s.first, s.second, s.threshold});
            for (std::size_t at = 0; at < t.leaves.size(); at += static_cast<std::size_t>(values)) {
                dlib::matrix<float, 0, 1> leaf(values);
                for (long i = 0; i < values; ++i)
                    leaf(i) = t.leaves[at + static_cast<std::size_t>(i)];
                tree.leaf_values.push_back(leaf);
            }
        }
    }
    std::stringstream bytes;
    dlib::serialize(1, bytes);
    dlib::serialize(initial, bytes);
    dlib::serialize(forests, bytes);
    dlib::serialize(anchors, bytes);
    dlib::serialize(deltas, bytes);
    dlib::shape_predictor sp;
    dlib::deserialize(sp, bytes);
    return sp;
}

// The shape the trees give in `rect`, in the unit box, to a fraction of a pixel: the
// library gives whole pixels, the leaves it went to give the rest.
std::vector<float> ShapeIn(const dlib::shape_predictor& sp, const model::ShapePredictor& trees,
                           const dlib::array2d<unsigned char>& image, const dlib::rectangle& rect) {
    std::vector<std::pair<unsigned long, float>> leaves;
    sp(image, rect, leaves);
    std::vector<float> shape = trees.initialShape;
    std::size_t k = 0;
    unsigned long offset = 0;
    for (const model::ShapeCascade& cascade : trees.cascades) {
        for (const model::ShapeTree& tree : cascade.trees) {
            const std::size_t leaf = leaves[k++].first - offset;
            offset += static_cast<unsigned long>(tree.splits.size() + 1);
            for (std::size_t i = 0; i < shape.size(); ++i)
                shape[i] += tree.leaves[leaf * shape.size() + i];
        }
    }
    return shape;
}

// Part `p` of a shape in the unit box of `rect`, in the image's pixels.
model::FilmPoint InRect(const std::vector<float>& shape, std::size_t p, const dlib::rectangle& r) {
    return {r.left() + shape[2 * p] * static_cast<double>(r.right() - r.left()),
            r.top() + shape[2 * p + 1] * static_cast<double>(r.bottom() - r.top())};
}

// A square box of `side` pixels centred at (x, y).
dlib::rectangle BoxAt(double x, double y, long side) {
    const long left = std::lround(x - side / 2.0), top = std::lround(y - side / 2.0);
    return dlib::rectangle(left, top, left + side - 1, top + side - 1);
}

dlib::point Pixel(const model::FilmPoint& p) {
    return dlib::point(std::lround(p.x), std::lround(p.y));
}

}  // namespace ceph::learning
