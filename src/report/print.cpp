#include "report/print.h"

#include "presenter/result_grid.h"
#include "report/report.h"

namespace ceph::report {

namespace {

// The result grid, the age label and the tracing caption showing `tracing`.
void ShowInGrid(ui::MainWindow& w, const model::ReportedTracing& tracing) {
    presenter::ShowResults(w, tracing);
    w.Label13.caption = tracing.age;
    w.Label2.caption = tracing.caption;
}

}  // namespace

void PrintTracing(ui::App& app, int index) {
    ui::State& s = app.win.state;
    const int top = index * 2100;
    s.ToScreen = false;
    app.printer.pages.clear();
    if (s.Comparing) {
        // The compared tracing goes first as the overlay, as it was compared; then the
        // shown one as it was shown. The grid and the labels are left holding the shown
        // tracing.
        DrawReport(app, Overlay(s), true, top);
        ShowInGrid(app.win, s.ShownReport);
    }
    DrawReport(app, s.ShownReport, false, top);
    PrintPages(app);
}

}  // namespace ceph::report
