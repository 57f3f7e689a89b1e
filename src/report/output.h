#pragma once
// Where report drawing goes: the screen panels while `ToScreen` is set, the printer
// page otherwise. Every report step goes through these few operations, so the screen
// and the paper always show the same thing.

#include <string_view>

#include "ui/app.h"

namespace ceph::report {

// Where a report is drawn: texts and lines in twips, in the target's current colour.
class ReportTarget {
  public:
    virtual ~ReportTarget() = default;
    // A text with its top-left at (x, y) in the given point size.
    virtual void Text(int size, int x, int y, std::string_view text) = 0;
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
};

// The report panel on screen.
class PanelTarget : public ReportTarget {
  public:
    explicit PanelTarget(ui::PictureBox& panel) : panel_(panel) {}
    void Text(int size, int x, int y, std::string_view text) override;
    void Line(float x1, float y1, float x2, float y2) override;

  private:
    ui::PictureBox& panel_;
};

// The printer's current page; the pages go to paper, a PDF or a picture afterwards.
class PrinterTarget : public ReportTarget {
  public:
    explicit PrinterTarget(ui::Printer& printer) : printer_(printer) {}
    void Text(int size, int x, int y, std::string_view text) override;
    void Line(float x1, float y1, float x2, float y2) override;

  private:
    ui::Printer& printer_;
};

// The window's target: the report panel while `ToScreen` is set, the printer otherwise.
ReportTarget& CurrentTarget(ui::App& app, PanelTarget& panel, PrinterTarget& printer);

// The landmark-pair figure (pairs 0..11) of X, Y on the figure panel `Picture8` at
// `scale` twips per millimetre with S at (left, top), cleared first unless a second
// tracing is being superimposed.
void DrawFigurePairLines(ui::MainWindow& win, const model::PointTable& X,
                         const model::PointTable& Y, int scale, int left, int top);
// The landmark-pair figure (pairs 0..11) of X, Y on a report target.
void DrawPairLines(ReportTarget& target, const model::PointTable& X, const model::PointTable& Y,
                   int scale, int left, int top);

// Ends a report: on screen shows the report panel and widens the window to the report
// view; on paper sends the page to the printer, and tells the user when that fails.
void FinishReport(ui::App& app);

}  // namespace ceph::report
