#include "report/output.h"

#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/patient_files.h"
#include "base/safe_file.h"

namespace ceph::report {

namespace {

constexpr const char* kNoPrinter = "這部電腦沒有安裝印表機，報告沒有印出。";
constexpr const char* kAskPdf = "是否改存成 PDF 檔？";

void AddLine(ui::DrawingList& list, float x1, float y1, float x2, float y2, Colour colour) {
    list.Add<ui::DrawLine>(x1, y1, x2, y2, colour, 1);
}

// One pair on the figure panel, drawn as a start point and a step as the panel has
// always drawn it.
void AddFigurePairLine(ui::MainWindow& win, int i, int j, int scale, int left, int top) {
    const ui::State& s = win.state;
    const auto f = static_cast<float>(scale);
    const float x1 = static_cast<float>(left) + f * s.X[i],
                y1 = static_cast<float>(top) + f * s.Y[i];
    AddLine(win.Picture8.drawing, x1, y1, x1 + f * (s.X[j] - s.X[i]), y1 + f * (s.Y[j] - s.Y[i]),
            win.Picture8.foreColor);
}

// The page did not reach a printer: say so, and offer the page as a PDF file instead.
void OfferPdf(ui::App& app, const ui::PrintOutcome& outcome) {
    std::string text = outcome.printer.empty()
                           ? std::string(kNoPrinter)
                           : "無法在印表機「" + outcome.printer + "」列印報告。";
    if (!outcome.problem.empty()) text += "\n" + outcome.problem;
    text += "\n";
    text += kAskPdf;
    if (app.services.ShowMessage(text, ui::kCriticalYesNoDefaultNo) != ui::MessageAnswer::Yes)
        return;
    const ui::State& s = app.win.state;
    // Named after the patient when the code can name a file, so the suggestion never
    // points outside the save folder.
    const std::string& code = app.win.Label0.caption;
    const std::string name = base::CodeNameProblem(code).empty() ? code : std::string("report");
    const std::string suggested =
        base::SaveFolder(s.DataDir) + name + "_" + std::to_string(s.ShownTracing + 1) + ".pdf";
    const std::string path = app.services.ChooseSaveFile(suggested, "PDF (*.pdf)");
    if (path.empty()) return;
    if (std::error_code ec = app.services.WritePdf(app.printer.pages, path))
        app.services.ShowMessage("無法寫入檔案: " + path + "\n" + base::ErrorText(ec),
                                 ui::kCriticalOk);
}

}  // namespace

void PrintTextAt(ui::App& app, int size, int x, int y, std::string_view text) {
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y),
               fs = static_cast<float>(size);
    if (app.win.state.ToScreen) {
        ui::PictureBox& panel = app.win.Picture3;
        panel.fontSize = fs;
        panel.currentX = fx;
        panel.currentY = fy;
        panel.drawing.Add<ui::DrawText>(fs, fx, fy, std::string(text), panel.foreColor);
    } else {
        ui::Printer& printer = app.printer;
        printer.fontSize = fs;
        printer.currentX = fx;
        printer.currentY = fy;
        printer.CurrentPage().Add<ui::DrawText>(fs, fx, fy, std::string(text), printer.foreColor);
    }
}

void DrawPairLines(ui::App& app, int scale, int left, int top, int mode) {
    if (mode == 0) return DrawFigurePairLines(app.win, scale, left, top);
    const auto& pairs = app.win.state.LandmarkPairs;
    for (int k = 0; k <= 11; ++k)
        DrawPairLine(app, pairs[0][k], pairs[1][k], scale, left, top, mode);
}

void DrawFigurePairLines(ui::MainWindow& win, int scale, int left, int top) {
    if (!win.state.Comparing) win.Picture8.drawing.Clear();
    const auto& pairs = win.state.LandmarkPairs;
    for (int k = 0; k <= 11; ++k)
        AddFigurePairLine(win, pairs[0][k], pairs[1][k], scale, left, top);
}

void DrawPairLine(ui::App& app, int i, int j, int scale, int left, int top, int mode) {
    if (mode == 0) return AddFigurePairLine(app.win, i, j, scale, left, top);
    const ui::State& s = app.win.state;
    const auto f = static_cast<float>(scale);
    const float x1 = static_cast<float>(left) + f * s.X[i],
                y1 = static_cast<float>(top) + f * s.Y[i];
    const float x2 = static_cast<float>(left) + f * s.X[j],
                y2 = static_cast<float>(top) + f * s.Y[j];
    if (s.ToScreen)
        AddLine(app.win.Picture3.drawing, x1, y1, x2, y2, app.win.Picture3.foreColor);
    else
        AddLine(app.printer.CurrentPage(), x1, y1, x2, y2, app.printer.foreColor);
}

void FinishReport(ui::App& app) {
    ui::MainWindow& w = app.win;
    if (w.state.ToScreen) {
        w.Picture3.visible = true;
        w.readceph.Move(0, 300, app.services.Screen().widthTwips, 6520);
        return;
    }
    if (app.printer.pages.empty()) return;
    const ui::PrintOutcome outcome = app.services.PrintPages(app.printer.pages);
    if (!outcome.printed) OfferPdf(app, outcome);
    app.printer.pages.clear();
}

}  // namespace ceph::report
