#include "records/profile.h"

#include "model/profile.h"
#include "presenter/figure_view.h"

namespace ceph::records {

void BuildProfile(ui::State& state) {
    presenter::ShowProfile(state, model::EstimateProfile(state.X, state.Y));
}

}  // namespace ceph::records
