#pragma once
// The report of the tracing last loaded: patient header, the 37 result rows and a
// small line figure, on the current output target.

#include "ui/app.h"

namespace ceph::report {

// Draws one report with its text starting at `top` twips. An overlay (the compared
// tracing) is red on screen, shifted down between the rows of the main pass, and
// without the patient header. A single-tracing report on screen is kept in the state
// record, where a comparison starts from it, and written as the snapshot bitmap.
void DrawReport(ui::App& app, bool overlay, int top);

// What a report of the tracing now in the window would be drawn from, and putting such
// inputs back into the window (the landmark store, the result grid and the labels).
ui::ReportInputs TakeReportInputs(const ui::MainWindow& win);
void PutReportInputs(ui::MainWindow& win, const ui::ReportInputs& inputs);

// Where a report prints the caption of a row, and in which size.
struct RowPlace {
    int size, x, y;
};
RowPlace PlaceOfRow(const ui::State& state, int row, bool overlay, int top);

// Prints row `row` (0..36) with its caption at (x, y) twips: the value right-aligned
// in five characters, the unit and, for the A-Ar-Gn block, the norm. A non-zero
// `overlay` prints the value and the norm only, as the red pass of a comparison does.
void PrintResultRow(ui::App& app, int size, int x, int y, int row, int overlay);

// The snapshot of the report panel, in the save folder of the data folder.
std::string SnapshotPath(const ui::State& state);

}  // namespace ceph::report
