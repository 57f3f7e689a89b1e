#pragma once
// Learning from the practice's own films on a thread of its own, at low priority, so
// that the window stays usable meanwhile: what it is doing and how far it has come, a
// stop on request, and at the end the model learnt or why there is none.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/result.h"
#include "learning/shape_learning.h"

namespace ceph::learning {

class BackgroundLearning {
  public:
    // Starts learning from the tracings of `dataDir` whose films lie in `pictureDir`.
    BackgroundLearning(std::string dataDir, std::string pictureDir, LearningOptions options);
    // Stops the learning and waits for its thread.
    ~BackgroundLearning();
    BackgroundLearning(const BackgroundLearning&) = delete;
    BackgroundLearning& operator=(const BackgroundLearning&) = delete;

    struct Progress {
        std::string text;  // what is being done, for the clinician
        double done = 0;   // 0..1, an estimate
        bool finished = false;
    };
    Progress Now() const;
    // Asks the learning to stop at its next step; it then ends with "已取消".
    void Stop();
    // Once finished: the model, or why there is none; the films it learnt from, and the
    // films and files left out, each named with why.
    base::Result<model::LandmarkModel, std::string> Outcome() const;
    std::size_t Films() const;
    std::vector<std::string> LeftOut() const;

  private:
    void Run(std::string dataDir, std::string pictureDir, LearningOptions options);
    bool Step(const std::string& what);

    mutable std::mutex mutex_;
    Progress progress_;
    int steps_ = 0, expectedSteps_ = 1;
    std::optional<base::Result<model::LandmarkModel, std::string>> outcome_;
    std::size_t films_ = 0;
    std::vector<std::string> leftOut_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace ceph::learning
