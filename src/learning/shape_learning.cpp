#include "learning/shape_learning.h"

#include <cmath>
#include <sstream>

// The learning library, here and nowhere else.
#include <dlib/array.h>
#include <dlib/array2d.h>
#include <dlib/image_processing/shape_predictor.h>
#include <dlib/image_processing/shape_predictor_trainer.h>
#include <dlib/serialize.h>

namespace ceph::learning {

namespace {

using DlibTrees = std::vector<std::vector<dlib::impl::regression_tree>>;
using DlibDeltas = std::vector<std::vector<dlib::vector<float, 2>>>;
using DlibAnchors = std::vector<std::vector<unsigned long>>;

// The landmark number of each part, in part order.
std::vector<int> PartSlots(const model::LandmarkModel& m) {
    std::vector<int> slots;
    for (int k = 1; k <= model::kLandmarkCount; ++k)
        if (m.known[static_cast<std::size_t>(k)]) slots.push_back(k);
    return slots;
}

void ToDlibImage(const GreyFilm& film, dlib::array2d<unsigned char>& image) {
    image.set_size(film.height, film.width);
    for (int y = 0; y < film.height; ++y)
        for (int x = 0; x < film.width; ++x)
            image[y][x] = film.At(x, y);
}

dlib::rectangle WholeFilm(const GreyFilm& film) {
    return dlib::rectangle(0, 0, film.width - 1, film.height - 1);
}

// The model of a trained predictor. Its parts are read back from the library's own
// bytes of a predictor made here, in memory.
void TakeTrees(const dlib::shape_predictor& sp, model::LandmarkModel& m) {
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
    m.initialShape.assign(initial.begin(), initial.end());
    m.cascades.resize(forests.size());
    for (std::size_t c = 0; c < forests.size(); ++c) {
        model::ShapeCascade& cascade = m.cascades[c];
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
}

// The predictor of a model whose every count and index was checked when it was read:
// the library reads only bytes its own writer made of those values.
dlib::shape_predictor PredictorOf(const model::LandmarkModel& m) {
    const long values = static_cast<long>(m.initialShape.size());
    dlib::matrix<float, 0, 1> initial(values);
    for (long i = 0; i < values; ++i)
        initial(i) = m.initialShape[static_cast<std::size_t>(i)];
    DlibTrees forests(m.cascades.size());
    DlibAnchors anchors(m.cascades.size());
    DlibDeltas deltas(m.cascades.size());
    for (std::size_t c = 0; c < m.cascades.size(); ++c) {
        for (const model::ShapeFeature& f : m.cascades[c].features) {
            anchors[c].push_back(f.anchor);
            deltas[c].emplace_back(f.dx, f.dy);
        }
        for (const model::ShapeTree& t : m.cascades[c].trees) {
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

dlib::shape_predictor_trainer TrainerOf(const LearningOptions& o) {
    dlib::shape_predictor_trainer trainer;
    trainer.set_cascade_depth(static_cast<unsigned long>(o.cascades));
    trainer.set_num_trees_per_cascade_level(static_cast<unsigned long>(o.treesPerCascade));
    trainer.set_tree_depth(static_cast<unsigned long>(o.treeDepth));
    trainer.set_feature_pool_size(static_cast<unsigned long>(o.featurePool));
    trainer.set_oversampling_amount(static_cast<unsigned long>(o.oversampling));
    trainer.set_num_test_splits(static_cast<unsigned long>(o.testSplits));
    trainer.set_nu(o.nu);
    trainer.set_lambda(o.lambda);
    trainer.set_num_threads(static_cast<unsigned long>(std::max(1, o.threads)));
    return trainer;
}

// The predictor learnt from the films chosen (every film when `chosen` is empty).
dlib::shape_predictor Train(const std::vector<MarkedFilm>& films, const std::vector<int>& slots,
                            const std::vector<std::size_t>& chosen, const LearningOptions& o) {
    dlib::array<dlib::array2d<unsigned char>> images;
    std::vector<std::vector<dlib::full_object_detection>> shapes;
    const std::size_t n = chosen.empty() ? films.size() : chosen.size();
    images.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const MarkedFilm& f = films[chosen.empty() ? i : chosen[i]];
        ToDlibImage(f.film, images[i]);
        std::vector<dlib::point> parts;
        for (const int slot : slots) {
            const auto& mark = f.marks[static_cast<std::size_t>(slot)];
            parts.push_back(mark ? dlib::point(std::lround(mark->x), std::lround(mark->y))
                                 : dlib::OBJECT_PART_NOT_PRESENT);
        }
        shapes.push_back({dlib::full_object_detection(WholeFilm(f.film), parts)});
    }
    return TrainerOf(o).train(images, shapes);
}

}  // namespace

struct Suggester::Impl {
    model::LandmarkModel model;
    std::vector<int> slots;
    dlib::shape_predictor predictor;
};

Suggester::Suggester(const model::LandmarkModel& model)
    : impl_(new Impl{model, PartSlots(model), PredictorOf(model)}) {}

Suggester::~Suggester() = default;

FilmMarks Suggester::Suggest(const GreyFilm& film) const {
    FilmMarks marks;
    if (film.width < 2 || film.height < 2) return marks;
    dlib::array2d<unsigned char> image;
    ToDlibImage(film, image);
    // The library gives whole pixels; the leaves it went to give the shape to a
    // fraction of one.
    std::vector<std::pair<unsigned long, float>> leaves;
    impl_->predictor(image, WholeFilm(film), leaves);
    std::vector<float> shape = impl_->model.initialShape;
    std::size_t k = 0;
    unsigned long offset = 0;
    for (const model::ShapeCascade& cascade : impl_->model.cascades) {
        for (const model::ShapeTree& tree : cascade.trees) {
            const std::size_t leaf = leaves[k++].first - offset;
            offset += static_cast<unsigned long>(tree.splits.size() + 1);
            for (std::size_t i = 0; i < shape.size(); ++i)
                shape[i] += tree.leaves[leaf * shape.size() + i];
        }
    }
    for (std::size_t p = 0; p < impl_->slots.size(); ++p)
        marks[static_cast<std::size_t>(impl_->slots[p])] = model::FilmPoint{
            shape[2 * p] * (film.width - 1.0), shape[2 * p + 1] * (film.height - 1.0)};
    return marks;
}

namespace {

// Each landmark's mean distance, in millimetres, between where models learnt without a
// film put it and where it is marked there; 0 where no fold could say.
bool CrossValidate(const std::vector<MarkedFilm>& films, double mmPerPixel,
                   const LearningOptions& o, model::LandmarkModel& m) {
    const std::vector<int> slots = PartSlots(m);
    std::array<double, model::kLandmarkCount + 1> sum{};
    std::array<int, model::kLandmarkCount + 1> count{};
    for (int fold = 0; fold < o.folds; ++fold) {
        if (o.progress && !o.progress("交叉驗證第 " + std::to_string(fold + 1) + " 輪 (共 " +
                                      std::to_string(o.folds) + " 輪)"))
            return false;
        std::vector<std::size_t> learnt, left;
        for (std::size_t i = 0; i < films.size(); ++i)
            (static_cast<int>(i % static_cast<std::size_t>(o.folds)) == fold ? left : learnt)
                .push_back(i);
        model::LandmarkModel part = m;
        try {
            TakeTrees(Train(films, slots, learnt, o), part);
        } catch (const std::exception&) {
            continue;  // a landmark marked only on the films left out: this fold says nothing
        }
        const Suggester suggester(part);
        for (const std::size_t i : left) {
            const FilmMarks got = suggester.Suggest(films[i].film);
            for (const int slot : slots) {
                const auto s = static_cast<std::size_t>(slot);
                if (!films[i].marks[s] || !got[s]) continue;
                sum[s] +=
                    std::hypot(got[s]->x - films[i].marks[s]->x, got[s]->y - films[i].marks[s]->y) *
                    mmPerPixel;
                ++count[s];
            }
        }
    }
    for (const int slot : slots) {
        const auto s = static_cast<std::size_t>(slot);
        if (count[s] > 0) m.expectedError[s] = static_cast<float>(sum[s] / count[s]);
    }
    return true;
}

}  // namespace

base::Result<model::LandmarkModel, std::string> Learn(const std::vector<MarkedFilm>& films,
                                                      double millimetresPerPixel,
                                                      const LearningOptions& options) {
    model::LandmarkModel m;
    m.millimetresPerPixel = millimetresPerPixel;
    m.films = static_cast<std::uint32_t>(films.size());
    double widths = 0;
    for (const MarkedFilm& f : films)
        widths += f.film.width * millimetresPerPixel;
    m.filmWidth = films.empty() ? 0.0f : static_cast<float>(widths / films.size());
    for (const MarkedFilm& f : films)
        for (int k = 1; k <= model::kLandmarkCount; ++k)
            if (f.marks[static_cast<std::size_t>(k)]) m.known[static_cast<std::size_t>(k)] = true;
    if (films.size() < 2 || m.Parts() == 0)
        return base::Fail(std::string("沒有足夠的已描點 X 光片可以學習"));
    if (options.folds > 1 && films.size() >= static_cast<std::size_t>(options.folds) &&
        !CrossValidate(films, millimetresPerPixel, options, m))
        return base::Fail(std::string("已取消"));
    if (options.progress && !options.progress("以全部 " + std::to_string(films.size()) + " 張學習"))
        return base::Fail(std::string("已取消"));
    try {
        TakeTrees(Train(films, PartSlots(m), {}, options), m);
    } catch (const std::exception& e) {
        return base::Fail(std::string("無法學習: ") + e.what());
    }
    return m;
}

}  // namespace ceph::learning
