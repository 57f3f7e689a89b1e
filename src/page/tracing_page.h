#pragma once
// The report of one tracing as the print command prints it: patient header, the 37
// result rows and a small line figure, on a report target.

#include "model/measurement.h"
#include "model/tracing.h"
#include "page/target.h"
#include "uncertainty/uncertainty.h"

namespace ceph::page {

// How one report is placed on its target: the height of its text in twips, whether it
// is the overlay of a comparison (the values and norms only, shifted down between the
// rows of the main pass, without the patient header), whether it is a single tracing on
// paper (the larger font) and whether the small line figure goes with it.
struct ReportLayout {
    int top = 0;
    bool overlay = false;
    bool singleOnPaper = false;
    bool withFigure = false;
};

// Draws the report of one tracing of a patient on a target.
void DrawReportPage(ReportTarget& target, const model::Patient& patient,
                    const model::ReportedTracing& tracing, const ReportLayout& layout);

// Where a report prints the caption of a row, and in which size.
struct RowPlace {
    int size, x, y;
};
RowPlace PlaceOfRow(bool singleOnPaper, const model::Measurement& row, bool overlay, int top);

// Prints row `row` (0..36 of the standard analysis) with its caption at (x, y) twips: the value
// right-aligned in five characters, the unit and, for the A-Ar-Gn block, the norm. An
// overlay prints the value and the norm only, as the red pass of a comparison does.
void PrintResultRow(ReportTarget& target, const model::ReportedTracing& tracing, int size, int x,
                    int y, int row, bool overlay);

// The landmark-pair figure (pairs 0..11) of X, Y on a report target, at `scale` twips
// per millimetre with S at (left, top).
void DrawPairLines(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y,
                   int scale, int left, int top);

// The half-widths `u` ("±x.x") beside the values of a report placed as PlaceOfRow places
// them, and what they mean, onto `list`.
void DrawHalfWidths(DrawingList& list, bool singleOnPaper, const uncertainty::Uncertainty& u);

}  // namespace ceph::page
