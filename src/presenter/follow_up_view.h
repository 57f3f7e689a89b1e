#pragma once
// The follow-up window written from its state: a box for each stored tracing, the
// registrations, the reference among the chosen, and the chosen tracings' figures laid
// over the reference's, each in its colour, with a legend.

#include "ui/follow_up_window.h"

namespace ceph::presenter {

void ShowFollowUp(ui::FollowUpWindow& f);

}  // namespace ceph::presenter
