#include "report/report.h"

#include "base/data_folder.h"
#include "model/norms.h"
#include "report/output.h"

namespace ceph::report {

static_assert(ui::kNormLabels == model::kNormRows);

std::string SnapshotPath(const ui::State& state) {
    return base::SnapshotFile(state.DataDir);
}

void DrawReport(ui::App& app, const model::ReportedTracing& compared, bool overlay, int top) {
    ui::MainWindow& w = app.win;
    // A compared tracing is drawn on the shown one's S-N line when the clinician asks for
    // it; its values were taken as traced and are printed as they are.
    model::ReportedTracing turned;
    const bool onSN = overlay && w.state.SuperimposeOnSN;
    if (onSN) {
        turned = compared;
        model::SuperimposeOnSN(turned.X, turned.Y, w.state.ShownReport.X, w.state.ShownReport.Y);
    }
    const model::ReportedTracing& tracing = onSN ? turned : compared;
    if (overlay) {
        w.Picture3.foreColor = kRed;
        w.Picture8.foreColor = kRed;
    } else {
        w.Picture3.foreColor = kSystemWindowText;
        w.Picture8.foreColor = kBlue;
    }
    app.services.SetPointer(ui::Pointer::Hourglass);
    PanelTarget panel(w.Picture3);
    page::PrinterTarget printer(app.printer);
    const page::ReportLayout layout{top, overlay, !w.state.Comparing && !w.state.ToScreen,
                                    w.printgraph.checked};
    // The figure panel shows the small figure too, at the figure's own scale.
    if (layout.withFigure) DrawFigurePairLines(w, tracing.X, tracing.Y, 30, 800, 600);
    page::DrawReportPage(CurrentTarget(app, panel, printer), w.state.Patient, tracing, layout);
    if (!overlay && w.state.ToScreen) {
        // Kept here for the comparisons of this tracing: the file is shared by every
        // workstation on the data folder, and another one may have replaced it since.
        w.state.ShownPanel = {w.Picture3.picture, w.Picture3.drawing};
        app.services.SaveBitmap(w.Picture3, SnapshotPath(w.state));
    }
    app.services.SetPointer(ui::Pointer::Default);
}

}  // namespace ceph::report
