// The full report from the window: the tracing shown, as it is shown.
#include "base/patient_files.h"
#include "page/film.h"
#include "page/full_report.h"
#include "report/print.h"
#include "report/report.h"
#include "store/practice_analyses.h"

namespace ceph::report {

namespace {

// The full page of the tracing shown, as it is shown, with the analysis and norm set
// chosen in the analysis window.
page::FullReportInputs ShownFullReport(ui::App& app, const store::LoadedAnalyses& analyses) {
    const ui::MainWindow& w = app.win;
    const ui::State& s = w.state;
    page::FullReportRequest r;
    r.dataDir = s.DataDir;
    model::Tracing shown;
    shown.X = s.ShownReport.X, shown.Y = s.ShownReport.Y;
    const page::TracingFilm film = page::FindTracingFilm(app.services, s.DataDir, s.PictureDir,
                                                         s.Patient.code, s.ShownTracing + 1, shown);
    r.picture = film.path;
    r.positions = film.positions;
    r.film = film.picture;
    r.patient = s.Patient;
    r.tracing = s.ShownReport;
    r.alignment = s.FigurePanel.alignment;
    r.figure = s.ShownFigure;
    r.standard = page::StandardAnalysisOf(analyses.analyses);
    r.chosen = model::FindAnalysis(analyses.analyses, s.ChosenAnalysis);
    // A practice's analysis gone from its table since it was chosen: the default one.
    if (!r.chosen) r.chosen = model::FindAnalysis(analyses.analyses, model::kDefaultAnalysis);
    if (r.chosen && r.chosen->name == s.ChosenAnalysis)
        r.normSet = model::NormSetOf(*r.chosen, s.ChosenNormSet);
    r.halfWidths = w.rangemn.checked;
    r.today = app.services.Today();
    page::FullReportInputs in = page::AssembleFullReport(r, app.services);
    // The picture as this screen's figure panel lays it under the landmarks.
    const ui::ScreenInfo screen = app.services.Screen();
    in.radiograph.twipsPerPixelX = screen.twipsPerPixelX;
    in.radiograph.twipsPerPixelY = screen.twipsPerPixelY;
    return in;
}

}  // namespace

void PrintFullReport(ui::App& app) {
    ui::State& s = app.win.state;
    const store::LoadedAnalyses analyses = store::LoadAnalyses(s.DataDir);
    // A practice's table that cannot be used is said before the page falls back on the
    // built-in analyses, so the clinician does not take them for the practice's.
    if (!analyses.problem.empty()) app.services.ShowMessage(analyses.problem, ui::kExclamationOk);
    const page::FullReportInputs in = ShownFullReport(app, analyses);

    app.services.SetPointer(ui::Pointer::Hourglass);
    const bool toScreen = s.ToScreen;
    s.ToScreen = false;
    app.printer.pages.clear();
    page::DrawFullReport(app.printer.CurrentPage(), in);
    app.services.SetPointer(ui::Pointer::Default);
    PrintPages(app);
    s.ToScreen = toScreen;
}

}  // namespace ceph::report
