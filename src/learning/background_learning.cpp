#include "learning/background_learning.h"

#include <algorithm>

#include "base/os_files.h"
#include "learning/practice_films.h"

namespace ceph::learning {

BackgroundLearning::BackgroundLearning(std::string dataDir, std::string pictureDir,
                                       LearningOptions options) {
    progress_.text = "讀取描圖的影像";
    thread_ = std::thread([this, dataDir = std::move(dataDir), pictureDir = std::move(pictureDir),
                           options = std::move(options)]() mutable {
        Run(std::move(dataDir), std::move(pictureDir), std::move(options));
    });
}

BackgroundLearning::~BackgroundLearning() {
    Stop();
    if (thread_.joinable()) thread_.join();
}

BackgroundLearning::Progress BackgroundLearning::Now() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return progress_;
}

void BackgroundLearning::Stop() {
    stop_ = true;
}

base::Result<model::LandmarkModel, std::string> BackgroundLearning::Outcome() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    if (!outcome_) return base::Fail(std::string("學習尚未結束"));
    return *outcome_;
}

std::size_t BackgroundLearning::Films() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return films_;
}

std::vector<std::string> BackgroundLearning::LeftOut() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return leftOut_;
}

bool BackgroundLearning::Step(const std::string& what) {
    const std::lock_guard<std::mutex> hold(mutex_);
    progress_.text = what;
    // Each fold and the whole make one round of a first look, a second and one closer
    // look per landmark; the reading of the films before counts for little.
    ++steps_;
    progress_.done = std::min(0.99, 0.05 + 0.95 * steps_ / expectedSteps_);
    return !stop_;
}

void BackgroundLearning::Run(std::string dataDir, std::string pictureDir, LearningOptions options) {
    base::os::LowerThisThreadsPriority();
    options.threads = 1;
    options.progress = [this](const std::string& what) { return Step(what); };
    PracticeFilms read = ReadPracticeFilms(
        dataDir, pictureDir, options,
        [this](const std::string& why) {
            const std::lock_guard<std::mutex> hold(mutex_);
            leftOut_.push_back(why);
        },
        [this] { return !stop_; });
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        films_ = read.films.size();
        // Cross-validation runs only with a film for each fold at least.
        const bool validated =
            options.folds > 1 && films_ >= static_cast<std::size_t>(options.folds);
        const int rounds = (validated ? options.folds : 0) + 1;
        expectedSteps_ = std::max(1, rounds * (2 + model::kLandmarkCount));
    }
    auto outcome =
        stop_ ? base::Result<model::LandmarkModel, std::string>(base::Fail(std::string("已取消")))
              : Learn(read.films, options);
    const std::lock_guard<std::mutex> hold(mutex_);
    outcome_ = std::move(outcome);
    progress_.done = 1;
    progress_.finished = true;
}

}  // namespace ceph::learning
