#include "learning/shape_learning.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "learning/dlib_bridge.h"

namespace ceph::learning {

namespace {

// The landmark number of each part, in part order.
std::vector<int> PartSlots(const model::LandmarkModel& m) {
    std::vector<int> slots;
    for (int k = 1; k <= model::kLandmarkCount; ++k)
        if (m.known[static_cast<std::size_t>(k)]) slots.push_back(k);
    return slots;
}

dlib::shape_predictor_trainer TrainerOf(const LearningOptions& o, int trees) {
    dlib::shape_predictor_trainer trainer;
    trainer.set_cascade_depth(static_cast<unsigned long>(o.cascades));
    trainer.set_num_trees_per_cascade_level(static_cast<unsigned long>(trees));
    trainer.set_tree_depth(static_cast<unsigned long>(o.treeDepth));
    trainer.set_feature_pool_size(static_cast<unsigned long>(o.featurePool));
    trainer.set_oversampling_amount(static_cast<unsigned long>(o.oversampling));
    trainer.set_num_test_splits(static_cast<unsigned long>(o.testSplits));
    trainer.set_nu(o.nu);
    trainer.set_lambda(o.lambda);
    trainer.set_num_threads(static_cast<unsigned long>(std::max(1, o.threads)));
    return trainer;
}

// The films of a learning at both scales: the library's images of the films as given
// (the closer looks') and of the films at the first look's scale, with their marks.
// A film at `factor` of its size, its marks with it (by the sizes the film came to).
MarkedFilm ScaledWithMarks(const GreyFilm& film, const FilmMarks& marks, double factor) {
    MarkedFilm f;
    f.film = Scaled(film, factor);
    const double kx = static_cast<double>(f.film.width) / film.width,
                 ky = static_cast<double>(f.film.height) / film.height;
    for (std::size_t k = 1; k < marks.size(); ++k)
        if (const auto& at = marks[k]) f.marks[k] = model::FilmPoint{at->x * kx, at->y * ky};
    return f;
}

struct Images {
    dlib::array<dlib::array2d<unsigned char>> fine, coarse;
    std::vector<FilmMarks> coarseMarks;
};

Images ImagesOf(const std::vector<MarkedFilm>& films, const std::vector<std::size_t>& chosen,
                const LearningOptions& o) {
    Images im;
    im.fine.resize(chosen.size());
    im.coarse.resize(chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const MarkedFilm& f = films[chosen[i]];
        ToDlibImage(f.film, im.fine[i]);
        MarkedFilm coarse = ScaledWithMarks(f.film, f.marks, o.localScale / o.scale);
        ToDlibImage(coarse.film, im.coarse[i]);
        im.coarseMarks.push_back(coarse.marks);
    }
    return im;
}

// The framed look: its squares' margin, and how many squares each film gives.
constexpr double kFrameMargin = 0.15;
constexpr int kFramesPerFilm = 4;

// The first look, learnt over the whole of every film.
model::ShapePredictor LearnGlobal(Images& im, const std::vector<int>& slots,
                                  const LearningOptions& o) {
    std::vector<std::vector<dlib::full_object_detection>> shapes;
    for (std::size_t i = 0; i < im.coarse.size(); ++i) {
        std::vector<dlib::point> parts;
        for (const int slot : slots) {
            const auto& mark = im.coarseMarks[i][static_cast<std::size_t>(slot)];
            parts.push_back(mark ? Pixel(*mark) : dlib::OBJECT_PART_NOT_PRESENT);
        }
        const dlib::rectangle whole(0, 0, im.coarse[i].nc() - 1, im.coarse[i].nr() - 1);
        shapes.push_back({dlib::full_object_detection(whole, parts)});
    }
    return TakeTrees(TrainerOf(o, o.treesPerCascade).train(im.coarse, shapes));
}

// The square around the points given (at least two), widened by `margin` of its side
// each way; nothing when they are fewer.
std::optional<dlib::rectangle> FrameOf(const std::vector<model::FilmPoint>& points, double margin,
                                       double grow = 1, double dx = 0, double dy = 0) {
    if (points.size() < 2) return std::nullopt;
    double left = points[0].x, right = left, top = points[0].y, bottom = top;
    for (const model::FilmPoint& p : points) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    const double side = std::max(right - left, bottom - top) * (1 + 2 * margin) * grow;
    if (!(side >= 4)) return std::nullopt;
    return BoxAt((left + right) / 2 + dx * side, (top + bottom) / 2 + dy * side, std::lround(side));
}

// The first look once more, learnt in squares around each film's marked landmarks, a few
// per film, each a little larger or smaller and off centre as a first look leaves it.
model::ShapePredictor LearnFramed(Images& im, const std::vector<int>& slots,
                                  const LearningOptions& o) {
    std::mt19937 random(7);
    std::normal_distribution<double> off(0, 0.03), size(1, 0.05);
    std::vector<std::vector<dlib::full_object_detection>> shapes(im.coarse.size());
    for (std::size_t i = 0; i < im.coarse.size(); ++i) {
        std::vector<dlib::point> parts;
        std::vector<model::FilmPoint> marked;
        for (const int slot : slots) {
            const auto& mark = im.coarseMarks[i][static_cast<std::size_t>(slot)];
            parts.push_back(mark ? Pixel(*mark) : dlib::OBJECT_PART_NOT_PRESENT);
            if (mark) marked.push_back(*mark);
        }
        for (int n = 0; n < kFramesPerFilm; ++n) {
            // Drawn one by one: the order of a call's arguments is the compiler's choice.
            const double grow = size(random), dx = off(random), dy = off(random);
            if (const auto frame = FrameOf(marked, kFrameMargin, grow, dx, dy))
                shapes[i].emplace_back(*frame, parts);
        }
    }
    LearningOptions framed = o;
    framed.oversampling = std::max(1, o.oversampling / kFramesPerFilm);
    return TakeTrees(TrainerOf(framed, o.treesPerCascade).train(im.coarse, shapes));
}

// The closer look at one landmark, learnt from boxes around it where it is marked.
model::ShapePredictor LearnLocal(Images& im, const std::vector<MarkedFilm>& films,
                                 const std::vector<std::size_t>& chosen, int slot,
                                 const LearningOptions& o) {
    std::mt19937 random(static_cast<unsigned>(slot));
    std::normal_distribution<double> spread(0, o.localSpread / o.localScale);
    const auto clipped = [&] {
        return std::clamp(spread(random), -2 * spread.stddev(), 2 * spread.stddev());
    };
    const long side = std::lround(o.localBox / o.localScale);
    std::vector<std::vector<dlib::full_object_detection>> shapes(chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const auto& mark = films[chosen[i]].marks[static_cast<std::size_t>(slot)];
        if (!mark) continue;
        for (int n = 0; n < o.localSamples; ++n) {
            const double dx = clipped(), dy = clipped();  // in this order, on every compiler
            shapes[i].emplace_back(BoxAt(mark->x + dx, mark->y + dy, side),
                                   std::vector<dlib::point>{Pixel(*mark)});
        }
    }
    LearningOptions local = o;
    local.oversampling = std::max(1, o.oversampling / 4);
    dlib::shape_predictor_trainer trainer = TrainerOf(local, o.localTrees);
    // The pixels read are drawn around the mean shape, here a single point: from most of
    // the box, not from a sliver of it.
    trainer.set_feature_pool_region_padding(0.4);
    return TakeTrees(trainer.train(im.fine, shapes));
}

bool Go(const LearningOptions& o, const std::string& what) {
    return !o.progress || o.progress(what);
}

// The model learnt from the films chosen; nothing when stopped.
std::optional<model::LandmarkModel> LearnFrom(const std::vector<MarkedFilm>& films,
                                              const std::vector<std::size_t>& chosen,
                                              model::LandmarkModel m, const LearningOptions& o) {
    const std::vector<int> slots = PartSlots(m);
    Images im = ImagesOf(films, chosen, o);
    m.global = LearnGlobal(im, slots, o);
    if (!Go(o, "再看一次")) return std::nullopt;
    m.framed = LearnFramed(im, slots, o);
    m.frameMargin = static_cast<float>(kFrameMargin);
    if (o.localTrees <= 0) return m;
    m.localMillimetresPerPixel = o.localScale;
    m.localBox = static_cast<float>(o.localBox);
    for (const int slot : slots) {
        if (!Go(o, std::string("細看 ") +
                       model::Landmarks()[static_cast<std::size_t>(slot - 1)].abbreviation))
            return std::nullopt;
        m.local.push_back(
            {static_cast<std::uint32_t>(slot), LearnLocal(im, films, chosen, slot, o)});
    }
    return m;
}

}  // namespace

bool CanSuggest() {
    return true;
}

struct Suggester::Impl {
    model::LandmarkModel model;
    std::vector<int> slots;
    dlib::shape_predictor global, framed;
    std::vector<dlib::shape_predictor> local;
};

Suggester::Suggester(const model::LandmarkModel& model)
    : impl_(new Impl{
          model, PartSlots(model), PredictorOf(model.global), PredictorOf(model.framed), {}}) {
    for (const model::LocalPredictor& l : model.local)
        impl_->local.push_back(PredictorOf(l.shape));
}

Suggester::~Suggester() = default;

namespace {

// The most pixels a film is brought to for a look: a long film at a fine scale, four
// times over. A film or a scale that would need more gets no suggestions.
constexpr double kMostLookPixels = 60e6;

// Whether a film brought to `factor` of its size stays within what a look may take.
bool Lookable(const GreyFilm& film, double factor) {
    return factor > 0 && std::isfinite(factor) &&
           double(film.width) * film.height * factor * factor <= kMostLookPixels;
}

// A place a look found, kept only where it can be: on the film or near it. A model
// whose trees add up beyond that suggests nothing there.
std::optional<model::FilmPoint> Plausible(model::FilmPoint p, const GreyFilm& film) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.x < -film.width || p.y < -film.height ||
        p.x > 2.0 * film.width || p.y > 2.0 * film.height)
        return std::nullopt;
    return p;
}

}  // namespace

FilmMarks Suggester::Suggest(const GreyFilm& film, double mmPerPixel) const {
    FilmMarks marks;
    const model::LandmarkModel& m = impl_->model;
    const double coarseFactor = mmPerPixel / m.millimetresPerPixel;
    if (film.width < 2 || film.height < 2 || !Lookable(film, coarseFactor)) return marks;
    const GreyFilm coarse = Scaled(film, coarseFactor);
    if (coarse.width < 2 || coarse.height < 2) return marks;
    dlib::array2d<unsigned char> image;
    ToDlibImage(coarse, image);
    const dlib::rectangle whole(0, 0, coarse.width - 1, coarse.height - 1);
    std::vector<float> shape = ShapeIn(impl_->global, m.global, image, whole);
    std::vector<model::FilmPoint> found;
    for (std::size_t p = 0; p < impl_->slots.size(); ++p)
        found.push_back(InRect(shape, p, whole));
    if (!m.framed.cascades.empty()) {
        if (const auto frame = FrameOf(found, m.frameMargin)) {
            shape = ShapeIn(impl_->framed, m.framed, image, *frame);
            for (std::size_t p = 0; p < found.size(); ++p)
                found[p] = InRect(shape, p, *frame);
        }
    }
    const double kx = static_cast<double>(coarse.width) / film.width,
                 ky = static_cast<double>(coarse.height) / film.height;
    for (std::size_t p = 0; p < impl_->slots.size(); ++p)
        marks[static_cast<std::size_t>(impl_->slots[p])] =
            Plausible({found[p].x / kx, found[p].y / ky}, film);
    const double fineFactor = mmPerPixel / m.localMillimetresPerPixel;
    if (m.local.empty() || !Lookable(film, fineFactor)) return marks;
    const GreyFilm fine = Scaled(film, fineFactor);
    ToDlibImage(fine, image);
    const double fx = static_cast<double>(fine.width) / film.width,
                 fy = static_cast<double>(fine.height) / film.height;
    const long side = std::lround(m.localBox / m.localMillimetresPerPixel);
    for (std::size_t l = 0; l < m.local.size(); ++l) {
        auto& at = marks[m.local[l].landmark];
        if (!at) continue;
        const dlib::rectangle box = BoxAt(at->x * fx, at->y * fy, side);
        const model::FilmPoint closer =
            InRect(ShapeIn(impl_->local[l], m.local[l].shape, image, box), 0, box);
        at = Plausible({closer.x / fx, closer.y / fy}, film);
    }
    return marks;
}

namespace {

// Each landmark's mean distance, in millimetres, between where models learnt without a
// film put it and where it is marked there; 0 where no fold could say. False when stopped.
bool CrossValidate(const std::vector<MarkedFilm>& films, const LearningOptions& o,
                   model::LandmarkModel& m) {
    const std::vector<int> slots = PartSlots(m);
    std::array<double, model::kLandmarkCount + 1> sum{};
    std::array<int, model::kLandmarkCount + 1> count{};
    for (int fold = 0; fold < o.folds; ++fold) {
        if (!Go(o, "交叉驗證第 " + std::to_string(fold + 1) + " 輪 (共 " + std::to_string(o.folds) +
                       " 輪)"))
            return false;
        std::vector<std::size_t> learnt, left;
        for (std::size_t i = 0; i < films.size(); ++i)
            (static_cast<int>(i % static_cast<std::size_t>(o.folds)) == fold ? left : learnt)
                .push_back(i);
        std::optional<model::LandmarkModel> part;
        try {
            part = LearnFrom(films, learnt, m, o);
        } catch (const std::exception&) {
            continue;  // a landmark marked only on the films left out: this fold says nothing
        }
        if (!part) return false;
        const Suggester suggester(*part);
        for (const std::size_t i : left) {
            const FilmMarks got = suggester.Suggest(films[i].film, o.localScale);
            for (const int slot : slots) {
                const auto s = static_cast<std::size_t>(slot);
                if (!films[i].marks[s] || !got[s]) continue;
                sum[s] +=
                    std::hypot(got[s]->x - films[i].marks[s]->x, got[s]->y - films[i].marks[s]->y) *
                    o.localScale;
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

MarkedFilm ForLearning(const GreyFilm& film, double mmPerPixel, const FilmMarks& marks,
                       const LearningOptions& o) {
    return ScaledWithMarks(film, marks, mmPerPixel / o.localScale);
}

base::Result<model::LandmarkModel, std::string> Learn(const std::vector<MarkedFilm>& films,
                                                      const LearningOptions& options) {
    model::LandmarkModel m;
    m.millimetresPerPixel = options.scale;
    m.films = static_cast<std::uint32_t>(films.size());
    double widths = 0;
    for (const MarkedFilm& f : films)
        widths += f.film.width * options.localScale;
    m.filmWidth = films.empty() ? 0.0f : static_cast<float>(widths / films.size());
    for (const MarkedFilm& f : films)
        for (int k = 1; k <= model::kLandmarkCount; ++k)
            if (f.marks[static_cast<std::size_t>(k)]) m.known[static_cast<std::size_t>(k)] = true;
    if (films.size() < 2 || m.Parts() == 0)
        return base::Fail(std::string("沒有足夠的已描點 X 光片可以學習"));
    if (options.folds > 1 && films.size() >= static_cast<std::size_t>(options.folds) &&
        !CrossValidate(films, options, m))
        return base::Fail(std::string("已取消"));
    if (!Go(options, "以全部 " + std::to_string(films.size()) + " 張學習"))
        return base::Fail(std::string("已取消"));
    std::vector<std::size_t> all(films.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    try {
        auto learnt = LearnFrom(films, all, m, options);
        if (!learnt) return base::Fail(std::string("已取消"));
        return std::move(*learnt);
    } catch (const std::exception& e) {
        return base::Fail(std::string("無法學習: ") + e.what());
    }
}

}  // namespace ceph::learning
