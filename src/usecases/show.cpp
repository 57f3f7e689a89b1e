#include "usecases/show.h"

#include "base/filesys.h"
#include "base/patient_files.h"
#include "figure/figure.h"
#include "page/film.h"
#include "presenter/figure_view.h"
#include "presenter/result_grid.h"
#include "report/report.h"
#include "store/record_line.h"
#include "usecases/correct.h"

namespace ceph::usecases {

model::ReportedTracing ApplyStoredTracing(ui::MainWindow& win, const model::Tracing& tracing,
                                          int number) {
    win.state.FigurePanel.scaleArmed = win.state.FigurePanel.offsetArmed = false;
    model::ReportedTracing shown = model::ReportOf(tracing, win.state.Patient, number);
    presenter::ShowResults(win, shown);
    win.Label13.caption = tracing.age;
    if (!win.state.Comparing)
        presenter::SetFigureAlignment(win, model::ShownAlignment(tracing.figure));
    return shown;
}

model::ReportedTracing ApplyTracing(ui::MainWindow& win, int index, const model::Tracing& stored) {
    win.Label2.caption = "P." + std::to_string(index + 1);
    return ApplyStoredTracing(win, stored, index + 1);
}

store::TracingLookup LoadTracing(ui::MainWindow& win, int index) {
    store::TracingLookup found =
        store::FindTracing(win.state.DataDir, win.state.Patient.code, index);
    if (found && *found)
        ApplyTracing(win, index, (**found).tracing);
    else
        win.Label2.caption = "P." + std::to_string(index + 1);
    return found;
}

namespace {

// The radiograph painted under the figure, ANDed with it so the lines stay visible: the
// film the tracing was traced on when its positions say which, else its picture. A
// tracing never aligned by hand lies on its film as its positions place it.
void PaintPictureUnderFigure(ui::App& app, const page::TracingFilm& named,
                             const model::Tracing& tracing, int n) {
    ui::MainWindow& w = app.win;
    ui::PictureRef picture;
    if (w.Check2.value != 0) {
        const ui::State& s = w.state;
        const page::TracingFilm film =
            page::LoadTracingFilm(app.services, s.PictureDir, s.Patient.code, n, named);
        if (!tracing.figure && film.positions)
            if (const auto aligned = page::FilmAlignment(tracing, film))
                presenter::SetFigureAlignment(w, *aligned);
        picture = film.picture;
        // One that cannot be read is left out; the figure is shown without it.
        if (picture.empty() && base::FileExists(film.path))
            if (const auto loaded = app.services.LoadPicture(film.path)) picture = *loaded;
    }
    if (picture.empty()) {
        w.Frame2.visible = false;
        return;
    }
    const ui::ScreenInfo screen = app.services.Screen();
    w.Picture6.picture = picture;
    w.Picture6.width = static_cast<float>(picture.widthPx) * screen.twipsPerPixelX;
    w.Picture6.height = static_cast<float>(picture.heightPx) * screen.twipsPerPixelY;
    const model::FigureAlignment& at = w.state.FigurePanel.alignment;
    const float scale = static_cast<float>(at.scale.Value());
    w.Picture8.drawing.Add<ui::DrawPicture>(
        picture, static_cast<float>(at.left.Value()), static_cast<float>(at.top.Value()),
        w.Picture6.width * scale, w.Picture6.height * scale, std::uint32_t{0x8800C6});
    w.Frame2.visible = true;
}

// Whether a looked-up tracing can be shown; if its file cannot be read or its line is
// faulty the user is told why. Either way, and for a line gone from the record file
// since the menus were filled, the window stays as it was rather than showing some
// other tracing's values under this one's caption.
bool Showable(ui::App& app, const store::TracingLookup& found) {
    if (!found) {
        app.services.ShowMessage(found.why().message, ui::kExclamationOk);
        return false;
    }
    return found->has_value();
}

// Back to the shown tracing alone before a new overlay: the panels as they were drawn,
// not the snapshot file, which another workstation sharing the data folder may have
// replaced with its own patient's report.
void ShowTracingAlone(ui::MainWindow& w) {
    w.Picture3.picture = w.state.ShownPanel.picture;
    w.Picture3.drawing = w.state.ShownPanel.drawing;
    w.Picture8.drawing = w.state.ShownFigureDrawing;
}

// The compared tracing in red over the shown one, on the report and the figure panel.
void DrawOverlay(ui::App& app) {
    app.win.state.ToScreen = true;
    report::DrawReport(app, report::Overlay(app.win.state), true, 0);
    report::ShowReportPanel(app);
    report::ShowHalfWidths(app);
}

}  // namespace

std::string TracingPicturePath(const ui::MainWindow& win, int n) {
    return base::TracingPictureFile(win.state.PictureDir, win.state.Patient.code, n);
}

void OfferCorrection(ui::MainWindow& w, const std::string& path) {
    w.correctmn.enabled =
        w.Picture3.visible && !w.state.Correction.On() && !path.empty() && base::FileExists(path);
}

bool ShowTracing(ui::App& app, int index) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    // Read before anything changes: a file that cannot be read leaves the window as it was.
    const store::TracingLookup found =
        store::FindTracing(w.state.DataDir, w.state.Patient.code, index);
    if (!Showable(app, found)) return false;
    s.ShownTracing = static_cast<std::int16_t>(index);
    s.Comparing = false;
    w.print00mn.enabled = true;
    w.compmn.enabled = true;
    for (int j = 0; j < ui::kTracingSlots; ++j)
        w.comp[j].enabled = j != index && w.readn[j].enabled;
    s.ToScreen = true;
    w.Picture3.drawing.Clear();
    w.Picture3.picture = {};
    const model::Tracing& tracing = (**found).tracing;
    const page::TracingFilm film =
        page::NameTracingFilm(s.DataDir, s.PictureDir, s.Patient.code, index + 1, tracing);
    s.ShownReport = ApplyTracing(w, index, tracing);
    report::DrawReport(app, s.ShownReport, false, 0);
    report::ShowReportPanel(app);
    report::ShowHalfWidths(app);
    w.graph.enabled = true;
    presenter::ShowFigurePanel(w);
    PaintPictureUnderFigure(app, film, tracing, index + 1);
    figure::BuildFigure(w);
    OfferCorrection(w, film.path);
    return true;
}

void comp_Click(ui::App& app, int index) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    if (index == s.ShownTracing) return;
    const store::TracingLookup found =
        store::FindTracing(w.state.DataDir, w.state.Patient.code, index);
    if (!Showable(app, found)) return;
    s.CompareTracing = static_cast<std::int16_t>(index);
    const auto savedX = s.X, savedY = s.Y;
    if (s.Comparing)
        ShowTracingAlone(w);
    else
        s.ShownFigureDrawing = w.Picture8.drawing;
    s.Comparing = true;
    s.ComparedReport = ApplyTracing(w, index, (**found).tracing);
    DrawOverlay(app);
    for (int i = 1; i <= 30; ++i)
        s.X[i] = savedX[i], s.Y[i] = savedY[i];
}

void snmn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.state.SuperimposeOnSN = !w.state.SuperimposeOnSN;
    w.snmn.checked = w.state.SuperimposeOnSN;
    if (!w.state.Comparing) return;
    ShowTracingAlone(w);
    DrawOverlay(app);
}

}  // namespace ceph::usecases
