#include "presenter/correction_view.h"

#include "model/landmark.h"

namespace ceph::presenter {

namespace {

using Step = ui::CorrectionState::Step;

void Ask(ui::MainWindow& w, model::Landmark l) {
    const ui::State& s = w.state;
    const std::size_t n = model::Slot(l);
    w.LabelPNT.caption = s.LandmarkName[n] + "  點";
    w.LabelPNT.visible = true;
    w.LabelPNTDef.caption = model::Definition(l);
    w.LabelPNTDef.foreColor = kSystemWindowText;
    w.LabelPNTDef.visible = true;
    w.Label10.left = s.GuideLeft[n];
    w.Label10.top = s.GuideTop[n];
    w.Label10.visible = true;
}

}  // namespace

double FilmTwipsPerPixelX(const ui::MainWindow& w) {
    const int px = w.Image1.picture.widthPx;
    return px > 0 ? static_cast<double>(w.Image1.width) / px : 0;
}

double FilmTwipsPerPixelY(const ui::MainWindow& w) {
    const int px = w.Image1.picture.heightPx;
    return px > 0 ? static_cast<double>(w.Image1.height) / px : 0;
}

void ShowCorrectionMarks(ui::MainWindow& w) {
    const ui::CorrectionState& c = w.state.Correction;
    w.Image1.marks.clear();
    if (c.step != Step::Moving) return;
    const double kx = FilmTwipsPerPixelX(w), ky = FilmTwipsPerPixelY(w);
    // In landmark order, so mark i - 1 is landmark i.
    for (int i = 1; i <= model::kLandmarkCount; ++i) {
        const model::PlanePoint film = c.toFilm.Apply({c.tracing.X[i], c.tracing.Y[i]});
        w.Image1.marks.push_back({static_cast<float>(film.x * kx), static_cast<float>(film.y * ky),
                                  w.state.LandmarkName[i]});
    }
}

void ShowCorrection(ui::MainWindow& w) {
    const ui::CorrectionState& c = w.state.Correction;
    switch (c.step) {
        case Step::AskingS:
            Ask(w, model::Landmark::S);
            break;
        case Step::AskingN:
            Ask(w, model::Landmark::N);
            break;
        case Step::Moving:
        case Step::Off:
            w.LabelPNT.visible = false;
            w.Label10.visible = false;
            w.LabelPNTDef.caption = c.step == Step::Moving ? kDragMarks : "";
            w.LabelPNTDef.foreColor = kSystemWindowText;
            w.LabelPNTDef.visible = c.step == Step::Moving;
            break;
    }
    ShowCorrectionMarks(w);
}

}  // namespace ceph::presenter
