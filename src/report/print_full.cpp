// The full report from the window: the tracing shown, as it is shown.
#include "analysis/practice_analyses.h"
#include "base/filesys.h"
#include "base/patient_files.h"
#include "report/full_report.h"
#include "report/half_widths.h"
#include "report/output.h"
#include "report/print.h"

namespace ceph::report {

FullRadiograph FindRadiograph(ui::PictureService& pictures, const std::string& path, float scale,
                              float left, float top) {
    FullRadiograph r;
    r.scale = scale, r.left = left, r.top = top;
    if (!FigureAligned(scale, left, top)) {
        r.problem = kNeverAligned;
    } else if (!base::PathExists(path)) {
        // Something that is there but no regular file (a device, a pipe) is named by
        // the reader, which refuses it without reading.
        r.problem = MissingPictureText(path);
    } else if (const base::Result<ui::PictureRef> loaded = pictures.LoadPicture(path)) {
        r.picture = *loaded;
    } else {
        r.problem = "無法讀取 X 光片 " + path + "：" + loaded.why().detail;
    }
    return r;
}

const model::NamedAnalysis* StandardAnalysisOf(const std::vector<model::NamedAnalysis>& analyses) {
    for (const model::NamedAnalysis& a : analyses)
        if (a.standard) return &a;
    return nullptr;
}

FullReportInputs AssembleFullReport(const FullReportRequest& r, ui::PictureService& pictures) {
    FullReportInputs in;
    in.clinicName = ReadClinicName(r.dataDir);
    in.patient = r.patient;
    in.tracing = r.tracing;
    in.printedOn = DateText(r.today.year, r.today.month, r.today.day);
    in.radiograph = FindRadiograph(pictures, r.picture, static_cast<float>(r.alignment.scale.value),
                                   static_cast<float>(r.alignment.left.value),
                                   static_cast<float>(r.alignment.top.value));
    in.figure = r.figure;
    in.standard = r.standard;
    in.chosen = r.chosen;
    in.normSet = r.normSet;
    if (r.halfWidths)
        in.halfWidths = analysis::EstimateUncertainty(PracticeErrorModel(r.dataDir, nullptr),
                                                      in.tracing.X, in.tracing.Y);
    return in;
}

namespace {

// The full page of the tracing shown, as it is shown, with the analysis and norm set
// chosen in the analysis window.
FullReportInputs ShownFullReport(ui::App& app, const analysis::LoadedAnalyses& analyses) {
    const ui::MainWindow& w = app.win;
    const ui::State& s = w.state;
    FullReportRequest r;
    r.dataDir = s.DataDir;
    r.picture = base::TracingPictureFile(s.PictureDir, s.Patient.code, s.ShownTracing + 1);
    r.patient = s.Patient;
    r.tracing = s.ShownReport;
    r.alignment = s.FigurePanel.alignment;
    r.figure = s.ShownFigure;
    r.standard = StandardAnalysisOf(analyses.analyses);
    r.chosen = model::FindAnalysis(analyses.analyses, s.ChosenAnalysis);
    // A practice's analysis gone from its table since it was chosen: the default one.
    if (!r.chosen) r.chosen = model::FindAnalysis(analyses.analyses, model::kDefaultAnalysis);
    if (r.chosen && r.chosen->name == s.ChosenAnalysis)
        r.normSet = model::NormSetOf(*r.chosen, s.ChosenNormSet);
    r.halfWidths = w.rangemn.checked;
    r.today = app.services.Today();
    FullReportInputs in = AssembleFullReport(r, app.services);
    // The picture as this screen's figure panel lays it under the landmarks.
    const ui::ScreenInfo screen = app.services.Screen();
    in.radiograph.twipsPerPixelX = screen.twipsPerPixelX;
    in.radiograph.twipsPerPixelY = screen.twipsPerPixelY;
    return in;
}

}  // namespace

void printfullmn_Click(ui::App& app) {
    ui::State& s = app.win.state;
    const analysis::LoadedAnalyses analyses = analysis::LoadAnalyses(s.DataDir);
    // A practice's table that cannot be used is said before the page falls back on the
    // built-in analyses, so the clinician does not take them for the practice's.
    if (!analyses.problem.empty()) app.services.ShowMessage(analyses.problem, ui::kExclamationOk);
    const FullReportInputs in = ShownFullReport(app, analyses);

    app.services.SetPointer(ui::Pointer::Hourglass);
    const bool toScreen = s.ToScreen;
    s.ToScreen = false;
    app.printer.pages.clear();
    DrawFullReport(app.printer.CurrentPage(), in);
    app.services.SetPointer(ui::Pointer::Default);
    FinishReport(app);
    s.ToScreen = toScreen;
}

}  // namespace ceph::report
