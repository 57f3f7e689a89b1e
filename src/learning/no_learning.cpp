// A build without the learning library: it suggests nothing, so the window's input is
// as it always was and the commands say that they cannot learn.
#include "learning/shape_learning.h"

namespace ceph::learning {

bool CanSuggest() {
    return false;
}

MarkedFilm ForLearning(const GreyFilm&, double, const FilmMarks& marks, const LearningOptions&) {
    return {{}, marks};
}

base::Result<model::LandmarkModel, std::string> Learn(const std::vector<MarkedFilm>&,
                                                      const LearningOptions&) {
    return base::Fail(std::string("這個版本不會學習描點建議"));
}

struct Suggester::Impl {};

Suggester::Suggester(const model::LandmarkModel&) {}

Suggester::~Suggester() = default;

FilmMarks Suggester::Suggest(const GreyFilm&, double) const {
    return {};
}

}  // namespace ceph::learning
