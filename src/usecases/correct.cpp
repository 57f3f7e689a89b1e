#include "usecases/correct.h"

#include <cmath>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "figure/figure.h"
#include "imaging/sources.h"
#include "imaging/view.h"
#include "imaging/viewport.h"
#include "page/film.h"
#include "page/tracing_page.h"
#include "presenter/correction_view.h"
#include "presenter/result_grid.h"
#include "report/report.h"
#include "store/record_line.h"
#include "store/record_store.h"
#include "usecases/input.h"
#include "usecases/save.h"
#include "usecases/show.h"

namespace ceph::usecases {

namespace {

using Step = ui::CorrectionState::Step;

constexpr const char* kNOnS = "N 與 S 同一點，請重點 N";
constexpr const char* kCorrectionStillHere = "修正仍在畫面上，請排除問題後再按「存檔」。";

// The report's values and norms end some 9300 twips from the panel's left edge.
constexpr float kReportPanelWidth = 9600;

ui::CorrectionState& Fix(ui::App& app) {
    return app.win.state.Correction;
}

// The film a tracing lies on, shown in the work area at 100 %; false after telling
// which file is missing or why it cannot be read.
bool ShowFilmOf(ui::App& app, const page::TracingFilm& film) {
    if (film.path.empty() || !base::FileExists(film.path)) {
        app.services.ShowMessage(MissingPictureText(film.path) + "\n\n無法修正描點。",
                                 ui::kExclamationOk);
        return false;
    }
    if (film.picture.empty()) return imaging::LoadPictureFile(app, film.path, 1);
    imaging::ShowFilm(app, film.picture, film.path, 1);
    // Shown as it was traced: its positions, and those the correction keeps, are of it so.
    if (film.positions) app.win.state.Digitising.film.turn = film.positions->turn;
    return true;
}

// Where the tracing lies on a film its positions were taken on: the marks go there at
// once, with nothing to click first.
void PlaceOnFilm(ui::CorrectionState& c, const model::FilmPositions& positions) {
    const std::size_t S = model::Slot(model::Landmark::S), N = model::Slot(model::Landmark::N);
    const auto toFilm = model::SimilarityFrom(
        {c.tracing.X[S], c.tracing.Y[S]}, {c.tracing.X[N], c.tracing.Y[N]},
        {positions.at[S].x, positions.at[S].y}, {positions.at[N].x, positions.at[N].y});
    if (!toFilm) return;
    c.toFilm = *toFilm;
    c.step = Step::Moving;
    // Figure fields that came from the positions move with the tracing; ones set by hand
    // stay as they were set.
    c.figureFromFilm =
        c.tracing.figure &&
        c.tracing.figure == model::AlignmentFromPositions(positions, c.tracing.X, c.tracing.Y);
}

// Where the marks lie on the film shown, kept with the corrected tracing.
model::FilmPositions PositionsOnFilm(const ui::State& s, const model::Tracing& stored) {
    const ui::CorrectionState& c = s.Correction;
    model::FilmPositions film = s.Digitising.film;
    for (int i = 1; i <= model::kLandmarkCount; ++i) {
        const model::PlanePoint p = c.toFilm.Apply({stored.X[i], stored.Y[i]});
        film.at[static_cast<std::size_t>(i)] = {p.x, p.y};
    }
    return StoredPositions(s, film, stored.X, stored.Y);
}

// A point of the film as shown, in pixels of the film itself.
model::PlanePoint FilmPoint(const ui::MainWindow& w, float x, float y) {
    return {x / presenter::FilmTwipsPerPixelX(w), y / presenter::FilmTwipsPerPixelY(w)};
}

bool FilmShown(const ui::MainWindow& w) {
    return presenter::FilmTwipsPerPixelX(w) > 0 && presenter::FilmTwipsPerPixelY(w) > 0;
}

// The work area with the film at the left, the report panel at its right: every move
// shows its values there at once.
void LayOut(ui::MainWindow& w, bool correcting) {
    const bool show = correcting;
    for (ui::CommandButton* b : {&w.Command5, &w.Command6, &w.Command3})
        b->visible = !show;
    w.saveCorrection.visible = show;
    w.cancelCorrection.visible = show;
    w.Picture2.visible = show;
    w.Picture7.visible = false;
    for (ui::MenuItem* m : {&w.print00mn, &w.inputmmnn, &w.readmn, &w.compmn})
        m->enabled = !show;
    // The film is the tracing's own: another picture would not be its radiograph.
    for (ui::MenuItem* m : {&w.piccase, &w.pastemn, &w.bmpsave})
        m->enabled = !show;
    w.editmn.enabled = show;
    ui::PictureBox& panel = w.Picture3;
    const ui::CorrectionState& c = w.state.Correction;
    if (!show) {
        w.state.ReservedRight = 0;
        panel.left = c.panelLeft, panel.top = c.panelTop, panel.width = c.panelWidth;
        w.Image1.marks.clear();
        return;
    }
    // Only as wide as the report's values and norms, so that film and report both fit;
    // the film's viewport takes whatever else the window has, as while digitising.
    panel.width = kReportPanelWidth;
    w.Picture8.left = 0;
    w.state.ReservedRight = panel.width;
    w.readceph.Move(0, 200, 9200 + panel.width, 7140);
    // Where the clinician last left the input window, as large, maximised or not.
    if (const ui::State::WindowPlace& last = w.state.InputWindow; last.width > 0) {
        w.readceph.Move(last.left, last.top, last.width, last.height);
        w.readceph.maximised = last.maximised;
    }
    w.readceph.resizable = true;
    w.readceph.scaleWidth = w.readceph.scaleHeight = 0;
    imaging::LayOutWorkArea(w);
    PlaceReportBesideFilm(w);
}

// The corrected tracing in the report panel, the result grid and the figure, as showing
// it would, but without reading or writing any file.
void ShowCorrected(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    const ui::CorrectionState& c = s.Correction;
    s.ShownReport = model::ReportOf(c.tracing, s.Patient, c.index + 1);
    presenter::ShowResults(w, s.ShownReport);
    w.Picture3.drawing.Clear();
    const page::ReportLayout layout{0, false, false, w.printgraph.checked};
    if (layout.withFigure) {
        // The figure's lines are drawn afresh; the radiograph under them stays.
        std::vector<ui::DrawOp> under;
        for (const ui::DrawOp& op : w.Picture8.drawing.ops)
            if (std::holds_alternative<ui::DrawPicture>(op)) under.push_back(op);
        report::DrawFigurePairLines(w, s.ShownReport.X, s.ShownReport.Y, 30, 800, 600);
        w.Picture8.drawing.ops.insert(w.Picture8.drawing.ops.end(), under.begin(), under.end());
    }
    report::PanelTarget panel(w.Picture3);
    page::DrawReportPage(panel, s.Patient, s.ShownReport, layout);
    figure::BuildFigure(w);
    w.Picture8.left = 0;
    report::ShowHalfWidths(app);
}

// The tracing as its record line will hold it (tenths of a millimetre), read back as a
// stored line is read.
model::Tracing AsStored(const model::Tracing& t) {
    // Without the code, which plays no part in the coordinates.
    auto stored = store::ReadTracingLine(store::FormatRecordLine("", t));
    return stored ? *std::move(stored) : t;
}

void End(ui::App& app) {
    ui::MainWindow& w = app.win;
    const int index = w.state.Correction.index;
    const ui::Form& f = w.readceph;
    w.state.InputWindow = {f.left, f.top, f.width, f.height, f.maximised};
    LayOut(w, false);
    w.state.Correction = {};
    w.LabelPNTDef.visible = false;
    // Offered again for the tracing still shown, should it no longer read.
    if (!ShowTracing(app, index)) OfferCorrection(w, TracingPicturePath(w, index + 1));
}

}  // namespace

void PlaceReportBesideFilm(ui::MainWindow& w) {
    if (!Correcting(w)) return;
    w.Picture3.left = w.Picture2.left + w.Picture2.width;
    w.Picture3.top = w.Picture2.top;
}

bool Correcting(const ui::MainWindow& w) {
    return w.state.Correction.On();
}

void correctmn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    if (Correcting(w) || !w.Picture3.visible) return;
    const int index = s.ShownTracing;
    const store::TracingLookup found =
        store::FindTracing(w.state.DataDir, w.state.Patient.code, index);
    if (!found) {
        app.services.ShowMessage(found.why().message, ui::kExclamationOk);
        return;
    }
    if (!found->has_value()) {
        app.services.ShowMessage("第 " + std::to_string(index + 1) + " 張描圖已不在記錄檔中。",
                                 ui::kExclamationOk);
        return;
    }
    const model::Tracing& tracing = (**found).tracing;
    const page::TracingFilm film = page::FindTracingFilm(app.services, s.DataDir, s.PictureDir,
                                                         s.Patient.code, index + 1, tracing);
    if (!ShowFilmOf(app, film)) return;
    w.Text5.text = film.path;
    ui::CorrectionState& c = s.Correction;
    c = {};
    c.step = Step::AskingS;
    c.index = index;
    c.tracing = tracing;
    c.foundLine = (**found).line;
    if (film.positions) PlaceOnFilm(c, *film.positions);
    // A compared tracing's overlay goes with the first release, which redraws the panel.
    s.Comparing = false;
    c.panelLeft = w.Picture3.left, c.panelTop = w.Picture3.top, c.panelWidth = w.Picture3.width;
    w.correctmn.enabled = false;
    LayOut(w, true);
    // The whole film in view; again once the window has taken its size.
    imaging::ZoomKey(app, imaging::ZoomStep::Fit);
    c.fittedZoom = s.Digitising.zoomPercent;
    presenter::ShowCorrection(w);
}

void CorrectionResized(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::CorrectionState& c = Fix(app);
    if (!c.On()) return;
    PlaceReportBesideFilm(w);
    if (c.fittedZoom == 0 || w.state.Digitising.zoomPercent != c.fittedZoom) {
        c.fittedZoom = 0;
        return;
    }
    imaging::ZoomKey(app, imaging::ZoomStep::Fit);
    c.fittedZoom = w.state.Digitising.zoomPercent;
    presenter::ShowCorrectionMarks(w);
}

void Image1_CorrectClick(ui::App& app, float x, float y) {
    ui::MainWindow& w = app.win;
    ui::CorrectionState& c = Fix(app);
    if (!FilmShown(w)) return;
    const model::PlanePoint at = FilmPoint(w, x, y);
    if (c.step == Step::AskingS) {
        c.filmS = at;
        c.step = Step::AskingN;
    } else if (c.step == Step::AskingN) {
        const std::size_t S = model::Slot(model::Landmark::S), N = model::Slot(model::Landmark::N);
        const auto toFilm = model::SimilarityFrom({c.tracing.X[S], c.tracing.Y[S]},
                                                  {c.tracing.X[N], c.tracing.Y[N]}, c.filmS, at);
        // N clicked on S gives no scale: N is asked again, saying why.
        if (!toFilm) {
            presenter::ShowCorrection(w);
            w.LabelPNTDef.caption = kNOnS;
            w.LabelPNTDef.foreColor = kRed;
            return;
        }
        c.toFilm = *toFilm;
        c.step = Step::Moving;
    } else {
        return;
    }
    presenter::ShowCorrection(w);
}

void Image1_MouseDown(ui::App& app, float x, float y) {
    ui::MainWindow& w = app.win;
    ui::CorrectionState& c = Fix(app);
    if (c.step != Step::Moving) return;
    const ui::ScreenInfo screen = app.services.Screen();
    double best = kPickPixels * kPickPixels;
    c.held = 0;
    for (std::size_t i = 0; i < w.Image1.marks.size(); ++i) {
        const double dx = (w.Image1.marks[i].x - x) / screen.twipsPerPixelX;
        const double dy = (w.Image1.marks[i].y - y) / screen.twipsPerPixelY;
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            c.held = static_cast<int>(i) + 1;
            c.grabX = w.Image1.marks[i].x - x;
            c.grabY = w.Image1.marks[i].y - y;
        }
    }
}

void Image1_CorrectMove(ui::App& app, float x, float y) {
    ui::MainWindow& w = app.win;
    const ui::CorrectionState& c = Fix(app);
    if (c.step != Step::Moving || c.held == 0) return;
    const std::size_t k = static_cast<std::size_t>(c.held - 1);
    if (k < w.Image1.marks.size())
        w.Image1.marks[k].x = x + c.grabX, w.Image1.marks[k].y = y + c.grabY;
}

void Image1_MouseUp(ui::App& app, float x, float y) {
    ui::MainWindow& w = app.win;
    ui::CorrectionState& c = Fix(app);
    if (c.step != Step::Moving || c.held == 0 || !FilmShown(w)) return;
    const std::size_t i = static_cast<std::size_t>(c.held);
    c.held = 0;
    const model::PlanePoint mm = c.toFilm.Inverse(FilmPoint(w, x + c.grabX, y + c.grabY));
    const float mx = static_cast<float>(mm.x), my = static_cast<float>(mm.y);
    model::Tracing moved = c.tracing;
    moved.X[i] = mx, moved.Y[i] = my;
    // S stays the origin: a moved S moves the tracing instead, and the transform with it,
    // so every other mark stays where it lies on the film.
    const std::size_t S = model::Slot(model::Landmark::S);
    const double sx = moved.X[S], sy = moved.Y[S];
    model::MoveSToOrigin(moved.X, moved.Y);
    // Dropped where no landmark can lie (far off the film): it goes back where it was.
    if (std::isfinite(mx) && std::isfinite(my) && model::WithinReachOfS(moved.X, moved.Y)) {
        // The record keeps tenths of a millimetre: the values shown while correcting are
        // those that storing will give, not ones that shift by 0.1 once stored.
        c.tracing = AsStored(moved);
        c.toFilm.tx += c.toFilm.a * sx - c.toFilm.b * sy;
        c.toFilm.ty += c.toFilm.b * sx + c.toFilm.a * sy;
        c.changed = true;
        ShowCorrected(app);
    }
    presenter::ShowCorrectionMarks(w);
}

bool StoreCorrection(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::CorrectionState& c = Fix(app);
    if (!c.On()) return false;
    // Nothing moved: the line stays exactly as it is.
    if (!c.changed) {
        End(app);
        return true;
    }
    model::Tracing stored = c.tracing;
    // S is the origin of every stored tracing, also when S itself was moved.
    model::MoveSToOrigin(stored.X, stored.Y);
    std::optional<model::FilmPositions> film;
    if (!w.state.Digitising.film.picture.empty()) film = PositionsOnFilm(w.state, stored);
    if (film && c.figureFromFilm)
        stored.figure = model::AlignmentFromPositions(*film, stored.X, stored.Y);
    const std::string line = store::FormatRecordLine(w.state.Patient.code, stored);
    if (!StoreOverFound(app, c.index, line, c.foundLine, kCorrectionStillHere, film)) return false;
    End(app);
    return true;
}

void LeaveCorrection(ui::App& app) {
    if (Fix(app).On()) End(app);
}

bool MayLeaveCorrection(ui::App& app) {
    const ui::CorrectionState& c = Fix(app);
    if (!c.On() || !c.changed) return true;
    return app.services.ShowMessage(kGiveUpMoves, ui::kCriticalYesNoDefaultNo) ==
           ui::MessageAnswer::Yes;
}

}  // namespace ceph::usecases
