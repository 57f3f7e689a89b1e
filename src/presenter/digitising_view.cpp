#include "presenter/digitising_view.h"

#include <string>

#include "model/landmark.h"
#include "model/numbers.h"
#include "presenter/correction_view.h"

namespace ceph::presenter {

namespace {

using Step = ui::DigitisingState::Step;

}  // namespace

int ZoomPercent(const ui::MainWindow& w) {
    return w.VScroll2.value;
}

void ShowMarks(ui::MainWindow& w) {
    // A tracing being corrected lies on the film by its own transform.
    if (w.state.Correction.On()) return ShowCorrectionMarks(w);
    const ui::State& s = w.state;
    const ui::DigitisingState& d = s.Digitising;
    w.Image1.marks.clear();
    // The store keeps the scale of S; the marks lie on the picture at the current zoom.
    const int zoom = ZoomPercent(w), scale = d.ScalePercent(zoom);
    const double factor = scale > 0 ? double(zoom) / scale : 1;
    for (int m = model::Number(model::kFirstClicked); m >= 1 && m <= model::kLandmarkCount;
         m = model::NextClicked(m)) {
        // The landmark in hand is no longer where it was.
        if (!d.Placed(m) || (d.PickedUp() && model::Number(d.asked) == m)) continue;
        w.Image1.marks.push_back({static_cast<float>(s.X[m] * factor),
                                  static_cast<float>(s.Y[m] * factor), s.LandmarkName[m]});
    }
}

void ShowAsked(ui::MainWindow& w) {
    const ui::State& s = w.state;
    const ui::DigitisingState& d = s.Digitising;
    // Without an input the work area is hidden and keeps what it last showed.
    if (d.step == Step::NotInputting) return;
    const int n = d.AskedNumber();
    const bool asking = d.step == Step::Asking;
    // The name and guide slots run one past the landmarks; the end shows that empty slot.
    w.LabelPNTNo.caption = Format0(n);
    w.LabelPNT.caption = s.LandmarkName[n] + "  點";
    w.LabelPNT.visible = asking;
    if (d.pictureReplaced) {
        w.LabelPNTDef.caption = kPictureReplaced;
        w.LabelPNTDef.foreColor = kRed;
    } else {
        w.LabelPNTDef.caption = asking ? model::Definition(d.asked) : std::string();
        w.LabelPNTDef.foreColor = kSystemWindowText;
    }
    w.LabelPNTDef.visible = asking;
    ShowMarks(w);
    w.Label10.left = s.GuideLeft[n];
    w.Label10.top = s.GuideTop[n];
    w.Label10.visible = asking;
}

float PointerInScale(const ui::MainWindow& w, float twips) {
    return static_cast<float>(w.state.Digitising.InScale(twips, ZoomPercent(w)));
}

void ShowPointer(ui::MainWindow& w) {
    const ui::DigitisingState& d = w.state.Digitising;
    w.LabelX.caption = FormatGeneral(PointerInScale(w, d.pointerX));
    w.LabelY.caption = FormatGeneral(PointerInScale(w, d.pointerY));
}

void ShowSNDistance(ui::MainWindow& w) {
    w.Label14.caption = Format0(w.state.Digitising.snDistance);
}

}  // namespace ceph::presenter
