// A build without the learning library: it suggests nothing, so the window's input is
// as it always was and the commands say that they cannot learn.
#include "learning/shape_learning.h"

namespace ceph::learning {

bool CanSuggest() {
    return false;
}

struct Suggester::Impl {};

Suggester::Suggester(const model::LandmarkModel&) {}

Suggester::~Suggester() = default;

FilmMarks Suggester::Suggest(const GreyFilm&, double) const {
    return {};
}

}  // namespace ceph::learning
