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

void printfullmn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    const analysis::LoadedAnalyses analyses = analysis::LoadAnalyses(s.DataDir);
    // A practice's table that cannot be used is said before the page falls back on the
    // built-in analyses, so the clinician does not take them for the practice's.
    if (!analyses.problem.empty()) app.services.ShowMessage(analyses.problem, ui::kExclamationOk);
    FullReportInputs in;
    in.clinicName = ReadClinicName(s.DataDir);
    in.patient = s.Patient;
    in.tracing = s.ShownReport;
    const ui::YearMonth today = app.services.Today();
    in.printedOn = DateText(today.year, today.month, today.day);
    in.radiograph = FindRadiograph(
        app.services, base::TracingPictureFile(s.PictureDir, s.Patient.code, s.ShownTracing + 1),
        static_cast<float>(TextToNumber(w.Text1[0].text)),
        static_cast<float>(TextToNumber(w.Text1[1].text)),
        static_cast<float>(TextToNumber(w.Text1[2].text)));
    // The picture as this screen's figure panel lays it under the landmarks.
    const ui::ScreenInfo screen = app.services.Screen();
    in.radiograph.twipsPerPixelX = screen.twipsPerPixelX;
    in.radiograph.twipsPerPixelY = screen.twipsPerPixelY;
    in.figure = s.ShownFigure;
    in.standard = StandardAnalysisOf(analyses.analyses);
    in.chosen = model::FindAnalysis(analyses.analyses, s.ChosenAnalysis);
    // A practice's analysis gone from its table since it was chosen: the default one.
    if (!in.chosen) in.chosen = model::FindAnalysis(analyses.analyses, "Steiner");
    if (in.chosen && in.chosen->name == s.ChosenAnalysis)
        in.normSet = model::NormSetOf(*in.chosen, s.ChosenNormSet);
    if (w.rangemn.checked)
        in.halfWidths = analysis::EstimateUncertainty(PracticeErrorModel(s.DataDir, nullptr),
                                                      in.tracing.X, in.tracing.Y);

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
