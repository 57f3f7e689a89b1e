#pragma once
// Where report drawing goes: the screen panels while `ToScreen` is set, the printer
// page otherwise (page/target.h). Every report step goes through the same few
// operations, so the screen and the paper always show the same thing.

#include <string_view>

#include "page/target.h"
#include "ui/app.h"

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

// Ends a report: on screen shows the report panel and widens the window to the report
// view; on paper sends the page to the printer, and tells the user when that fails.
void FinishReport(ui::App& app);

}  // namespace ceph::report
