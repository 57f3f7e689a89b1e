#include "usecases/shown_tracing.h"

#include "presenter/result_grid.h"
#include "ui/figure_boxes.h"

namespace ceph::usecases {

using store::TracingLookup;

model::ReportedTracing ApplyStoredTracing(ui::MainWindow& win, const model::Tracing& tracing,
                                          int number) {
    win.state.FigurePanel.scaleArmed = win.state.FigurePanel.offsetArmed = false;
    model::ReportedTracing shown = model::ReportOf(tracing, win.state.Patient, number);
    presenter::ShowResults(win, shown);
    win.Label13.caption = tracing.age;
    if (!win.state.Comparing) ui::SetFigureAlignment(win, model::ShownAlignment(tracing.figure));
    return shown;
}

model::ReportedTracing ApplyTracing(ui::MainWindow& win, int index, const model::Tracing& stored) {
    win.Label2.caption = "P." + std::to_string(index + 1);
    return ApplyStoredTracing(win, stored, index + 1);
}

TracingLookup LoadTracing(ui::MainWindow& win, int index) {
    TracingLookup found = store::FindTracing(win.state.DataDir, win.state.Patient.code, index);
    if (found && *found)
        ApplyTracing(win, index, (**found).tracing);
    else
        win.Label2.caption = "P." + std::to_string(index + 1);
    return found;
}

}  // namespace ceph::usecases
