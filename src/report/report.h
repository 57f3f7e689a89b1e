#pragma once
// The report on the window's current output target: the report panel on screen while
// `ToScreen` is set, the printer's page otherwise (page/target.h). The report of a
// tracing itself is drawn by the page (page/tracing_page.h); every report step goes
// through the same few target operations, so the screen and the paper always show the
// same thing.

#include <string>
#include <string_view>

#include "model/tracing.h"
#include "page/target.h"
#include "page/tracing_page.h"
#include "ui/app.h"
#include "uncertainty/uncertainty.h"

namespace ceph::report {

// The report panel on screen.
class PanelTarget : public page::ReportTarget {
  public:
    explicit PanelTarget(ui::PictureBox& panel) : panel_(panel) {}
    void Text(int size, int x, int y, std::string_view text) override;
    void Line(float x1, float y1, float x2, float y2) override;

  private:
    ui::PictureBox& panel_;
};

// The window's target: the report panel while `ToScreen` is set, the printer otherwise.
page::ReportTarget& CurrentTarget(ui::App& app, PanelTarget& panel, page::PrinterTarget& printer);

// The landmark-pair figure (pairs 0..11) of X, Y on the figure panel `Picture8` at
// `scale` twips per millimetre with S at (left, top), cleared first unless a second
// tracing is being superimposed.
void DrawFigurePairLines(ui::MainWindow& win, const model::PointTable& X,
                         const model::PointTable& Y, int scale, int left, int top);

// Shows the report panel and widens the window to the report view.
void ShowReportPanel(ui::App& app);

// Sends the pages drawn for the printer to it, and tells the user when that fails
// (offering them as a PDF file instead, named CODE_`pdfName`.pdf in the save folder; the
// shown tracing's number when none is given).
void PrintPages(ui::App& app, const std::string& pdfName = {});

// The compared tracing as its overlay is drawn: laid on the shown tracing's S-N line
// while the state record asks for that, as traced otherwise.
model::ReportedTracing Overlay(const ui::State& state);

// Draws the report of a tracing as given, whatever the window holds now, with its text
// starting at `top` twips. An overlay (the compared tracing) is red on screen, shifted
// down between the rows of the main pass, and without the patient header. A
// single-tracing report on screen is kept in the state record, where a comparison starts
// from it, and written as the snapshot bitmap.
void DrawReport(ui::App& app, const model::ReportedTracing& tracing, bool overlay, int top);

// The snapshot of the report panel, in the save folder of the data folder.
std::string SnapshotPath(const ui::State& state);

// How sure each value of the report is: "±x.x" in small grey beside every value on the
// report panel, from the spread of clinicians' clicks. Screen only: the snapshot and the
// printed page never show it. Beside the values of the tracing in the store when
// "顯示可信範圍" is checked; cleared otherwise.
void ShowHalfWidths(ui::App& app);

// "顯示可信範圍": switches the half-widths on or off for the tracing shown.
void rangemn_Click(ui::App& app);

}  // namespace ceph::report
