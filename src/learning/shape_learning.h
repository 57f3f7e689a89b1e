#pragma once
// Learning where the landmarks lie from films with known landmarks, and suggesting them
// on another film: dlib's ensemble of regression trees (a cascade of forests that moves
// a mean shape onto the film by differences of pixel pairs), first over the whole film
// at a coarse scale, then landmark by landmark in a small box around it at a finer one.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "learning/grey_film.h"
#include "model/film_positions.h"
#include "model/landmark_model.h"

namespace ceph::learning {

// Landmarks 1..19 by number, in pixels of a film (slot 0 unused); none where unmarked.
using FilmMarks = std::array<std::optional<model::FilmPoint>, model::kLandmarkCount + 1>;

struct LearningOptions {
    // The first look: films at `scale` millimetres per pixel, the shape of every landmark
    // told relative to the whole film.
    double scale = 0.4;
    int cascades = 10, treesPerCascade = 500, treeDepth = 4, featurePool = 400;
    int oversampling = 20, testSplits = 20;
    double nu = 0.1, lambda = 0.1;
    // The closer looks, one per landmark: films at `localScale` millimetres per pixel (the
    // scale films are given to Learn at), a square box of `localBox` millimetres around
    // the landmark, learnt from `localSamples` boxes per film centred off the landmark by
    // `localSpread` millimetres (a standard deviation), `localTrees` trees per cascade
    // (0: no closer looks).
    double localScale = 0.2, localBox = 24, localSpread = 2.5;
    int localSamples = 8, localTrees = 100;
    // Folds of the cross-validation that measures each landmark's expected error (0 or
    // 1: none measured).
    int folds = 3;
    int threads = 1;
    // Told what is being done ("交叉驗證第 2 輪 (共 3 輪)" …); returns false to stop.
    std::function<bool(const std::string&)> progress;
};

struct MarkedFilm {
    GreyFilm film;  // at the options' localScale
    FilmMarks marks;
};

// A film of `millimetresPerPixel` and its marks, brought to the scale learning takes.
MarkedFilm ForLearning(const GreyFilm& film, double millimetresPerPixel, const FilmMarks& marks,
                       const LearningOptions& options);

// Learns from the films: a landmark marked on none of them is not learnt (the model
// does not know it). Fails with the reason when there is nothing to learn from, or when
// stopped.
base::Result<model::LandmarkModel, std::string> Learn(const std::vector<MarkedFilm>& films,
                                                      const LearningOptions& options);

// Whether this build learns and suggests at all: without the learning library a model
// is never made ready, and nothing is suggested.
bool CanSuggest();

// A model made ready to suggest: built once, used for many films.
class Suggester {
  public:
    explicit Suggester(const model::LandmarkModel& model);
    ~Suggester();
    Suggester(const Suggester&) = delete;
    Suggester& operator=(const Suggester&) = delete;

    // Where the landmarks the model knows lie on a film of `millimetresPerPixel`, in its
    // pixels (to a fraction of one); none for those it does not know.
    FilmMarks Suggest(const GreyFilm& film, double millimetresPerPixel) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ceph::learning
