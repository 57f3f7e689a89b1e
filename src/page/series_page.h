#pragma once
// A patient's tracings followed over time, drawn: their figures laid over the reference
// tracing's by a registration, each in its own colour with a legend (for the follow-up
// window and its printed page alike), and the follow-up page itself.

#include <string>
#include <vector>

#include "model/series.h"
#include "model/tracing.h"
#include "page/full_page.h"

namespace ceph::page {

// One tracing of the series: its number (1..9) and the tracing as stored.
struct SeriesEntry {
    int number = 0;
    model::Tracing tracing;
};

// The colour tracing number n is drawn in, the same everywhere.
Colour SeriesColour(int number);

// The landmark-pair figures of `series` in `box`, each laid over series[reference] by `r`,
// the registration point ringed, a title and the legend (第 n 張, age) under them when
// `legend` is set. Texts at `size` points.
void DrawSeriesOverlay(DrawingList& d, const PageBox& box, const std::vector<SeriesEntry>& series,
                       std::size_t reference, model::Registration r, bool legend, float size);

// The follow-up page: the patient header, the three regional superimpositions side by
// side (cranial base on S-N at S, maxilla, mandible) with one legend, and the table of
// each tracing's 37 values with the change from the reference to the last, in all and
// per year. Up to nine tracings on one A4 page.
void DrawFollowUpPage(DrawingList& page, const model::Patient& patient,
                      const std::vector<SeriesEntry>& series, std::size_t reference,
                      const std::string& printedOn);

}  // namespace ceph::page
