#include "report/report.h"

#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/patient_files.h"
#include "base/safe_file.h"
#include "model/norms.h"

namespace ceph::report {

namespace {

constexpr const char* kNoPrinter = "這部電腦沒有安裝印表機，報告沒有印出。";
constexpr const char* kAskPdf = "是否改存成 PDF 檔？";

void AddLine(ui::DrawingList& list, float x1, float y1, float x2, float y2, Colour colour) {
    list.Add<ui::DrawLine>(x1, y1, x2, y2, colour, 1);
}

// One pair on the figure panel, drawn as a start point and a step as the panel has
// always drawn it.
void AddFigurePairLine(ui::MainWindow& win, const model::PointTable& X, const model::PointTable& Y,
                       int i, int j, int scale, int left, int top) {
    const auto f = static_cast<float>(scale);
    const float x1 = static_cast<float>(left) + f * X[i], y1 = static_cast<float>(top) + f * Y[i];
    AddLine(win.Picture8.drawing, x1, y1, x1 + f * (X[j] - X[i]), y1 + f * (Y[j] - Y[i]),
            win.Picture8.foreColor);
}

// The page did not reach a printer: say so, and offer the page as a PDF file instead.
// Whether a report laid out for the window's state is a single tracing on paper.
bool SingleOnPaper(const ui::State& s) {
    return !s.Comparing && !s.ToScreen;
}

void OfferPdf(ui::App& app, const ui::PrintProblem& why, const std::string& pdfName) {
    std::string text = why.printer.empty() ? std::string(kNoPrinter)
                                           : "無法在印表機「" + why.printer + "」列印報告。";
    if (!why.problem.empty()) text += "\n" + why.problem;
    text += "\n";
    text += kAskPdf;
    if (app.services.ShowMessage(text, ui::kCriticalYesNoDefaultNo) != ui::MessageAnswer::Yes)
        return;
    const ui::State& s = app.win.state;
    // Named after the patient when the code can name a file, so the suggestion never
    // points outside the save folder.
    const std::string& code = app.win.state.Patient.code;
    const std::string name = base::CheckCodeName(code) ? code : std::string("report");
    const std::string suggested = base::SaveFolder(s.DataDir) + name + "_" +
                                  (pdfName.empty() ? std::to_string(s.ShownTracing + 1) : pdfName) +
                                  ".pdf";
    const std::string path = app.services.ChooseSaveFile(suggested, "PDF (*.pdf)");
    if (path.empty()) return;
    if (std::error_code ec = app.services.WritePdf(app.printer.pages, path))
        app.services.ShowMessage("無法寫入檔案: " + path + "\n" + base::ErrorText(ec),
                                 ui::kCriticalOk);
}

}  // namespace

void PanelTarget::Text(int size, int x, int y, std::string_view text) {
    page::AddSurfaceText(panel_, panel_.drawing, size, x, y, text);
}

void PanelTarget::Line(float x1, float y1, float x2, float y2) {
    AddLine(panel_.drawing, x1, y1, x2, y2, panel_.foreColor);
}

page::ReportTarget& CurrentTarget(ui::App& app, PanelTarget& panel, page::PrinterTarget& printer) {
    if (app.win.state.ToScreen) return panel;
    return printer;
}

void DrawFigurePairLines(ui::MainWindow& win, const model::PointTable& X,
                         const model::PointTable& Y, int scale, int left, int top) {
    if (!win.state.Comparing) win.Picture8.drawing.Clear();
    const auto& pairs = win.state.LandmarkPairs;
    for (int k = 0; k <= 11; ++k)
        AddFigurePairLine(win, X, Y, pairs[0][k], pairs[1][k], scale, left, top);
}

void ShowReportPanel(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.Picture3.visible = true;
    w.readceph.Move(0, 300, app.services.Screen().widthTwips, 6520);
    w.readceph.resizable = false;
    w.readceph.maximised = false;
}

void PrintPages(ui::App& app, const std::string& pdfName) {
    if (app.printer.pages.empty()) return;
    const auto printed = app.services.PrintPages(app.printer.pages);
    if (!printed) OfferPdf(app, printed.why(), pdfName);
    app.printer.pages.clear();
}

model::ReportedTracing Overlay(const ui::State& state) {
    model::ReportedTracing overlay = state.ComparedReport;
    // Its values were taken as traced and are printed as they are; only the drawing moves.
    if (state.SuperimposeOnSN)
        model::SuperimposeOnSN(overlay.X, overlay.Y, state.ShownReport.X, state.ShownReport.Y);
    return overlay;
}

static_assert(ui::kNormLabels == model::kNormRows);

std::string SnapshotPath(const ui::State& state) {
    return base::SnapshotFile(state.DataDir);
}

void DrawReport(ui::App& app, const model::ReportedTracing& tracing, bool overlay, int top) {
    ui::MainWindow& w = app.win;
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
    const page::ReportLayout layout{top, overlay, SingleOnPaper(w.state), w.printgraph.checked};
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

void ShowHalfWidths(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked || !w.Picture3.visible || w.state.Comparing) return;
    page::DrawHalfWidths(
        w.Picture3.screenOnly, SingleOnPaper(w.state),
        uncertainty::EstimateUncertainty(uncertainty::PracticeErrorModel(w.state.DataDir, nullptr),
                                         w.state.X, w.state.Y));
}

void rangemn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.rangemn.checked = !w.rangemn.checked;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked) return;
    // The table is read once here: its problem is told, and the same model is drawn.
    std::string problem;
    const uncertainty::ErrorModel model =
        uncertainty::PracticeErrorModel(w.state.DataDir, &problem);
    if (!problem.empty()) app.services.ShowMessage(problem, ui::kExclamationOk);
    // A comparison's values fill the room between the rows: the ranges, which are the
    // shown tracing's alone, wait until it is shown by itself again.
    if (w.Picture3.visible && !w.state.Comparing)
        page::DrawHalfWidths(w.Picture3.screenOnly, SingleOnPaper(w.state),
                             uncertainty::EstimateUncertainty(model, w.state.X, w.state.Y));
}

}  // namespace ceph::report
