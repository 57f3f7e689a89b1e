#pragma once
// The follow-up window written from its state: a box for each stored tracing, the
// registrations, the reference among the chosen, and the chosen tracings' figures laid
// over the reference's, each in its colour, with a legend.

#include <vector>

#include "page/series_page.h"
#include "ui/follow_up_window.h"

namespace ceph::presenter {

void ShowFollowUp(ui::FollowUpWindow& f);

// The chosen tracings as the page draws a series, and where the reference is among them.
std::vector<page::SeriesEntry> ChosenSeries(const ui::FollowUpState& s, std::size_t& reference);

}  // namespace ceph::presenter
