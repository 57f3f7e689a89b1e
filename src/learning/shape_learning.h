#pragma once
// Learning where the landmarks lie from films with known landmarks, and suggesting them
// on another film: dlib's ensemble of regression trees (a cascade of forests that moves
// a mean shape onto the film by differences of pixel pairs). The films are given at the
// model's scale; the shape is told relative to the whole film.

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

struct MarkedFilm {
    GreyFilm film;  // at the scale learnt at
    FilmMarks marks;
};

struct LearningOptions {
    int cascades = 10, treesPerCascade = 500, treeDepth = 4, featurePool = 400;
    int oversampling = 20, testSplits = 20;
    double nu = 0.1, lambda = 0.1;
    // Folds of the cross-validation that measures each landmark's expected error (0 or
    // 1: none measured).
    int folds = 3;
    int threads = 1;
    // Told what is being done ("第 2 輪交叉驗證 (共 3 輪)" …); returns false to stop.
    std::function<bool(const std::string&)> progress;
};

// Learns from the films: a landmark marked on none of them is not learnt (the model
// does not know it). `millimetresPerPixel` is the films' scale, kept with the model.
// Fails with the reason when there is nothing to learn from, or when stopped.
base::Result<model::LandmarkModel, std::string> Learn(const std::vector<MarkedFilm>& films,
                                                      double millimetresPerPixel,
                                                      const LearningOptions& options);

// A model made ready to suggest: built once, used for many films.
class Suggester {
  public:
    explicit Suggester(const model::LandmarkModel& model);
    ~Suggester();
    Suggester(const Suggester&) = delete;
    Suggester& operator=(const Suggester&) = delete;

    // Where the landmarks the model knows lie on a film at the model's scale, in its
    // pixels (to a fraction of one); none for those it does not know.
    FilmMarks Suggest(const GreyFilm& film) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ceph::learning
