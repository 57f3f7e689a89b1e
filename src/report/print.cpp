#include "report/print.h"

#include "report/output.h"
#include "report/report.h"

namespace ceph::report {

void printmn_Click(base::App& app, int index, const TracingLoader& load) {
    ui::State& s = app.win.state;
    const int top = index * 2100;
    s.ToScreen = false;
    app.printer.pages.clear();
    if (s.Comparing) {
        // The compared tracing goes first as the overlay; loading the shown one again
        // leaves the store and the grid as they were.
        load(s.CompareTracing);
        DrawReport(app, true, top);
        load(s.ShownTracing);
    }
    DrawReport(app, false, top);
    FinishReport(app);
}

}  // namespace ceph::report
