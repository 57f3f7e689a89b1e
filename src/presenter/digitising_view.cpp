#include "presenter/digitising_view.h"

#include <string>

#include "model/landmark.h"
#include "model/numbers.h"

namespace ceph::presenter {

namespace {

using Step = ui::DigitisingState::Step;

// The landmarks placed before landmark n in the click order, where the store holds them.
void MarkPlaced(ui::MainWindow& w, int n) {
    const ui::State& s = w.state;
    w.Image1.marks.clear();
    for (int m = model::Number(model::kFirstClicked);
         m != n && m >= 1 && m <= model::kLandmarkCount; m = model::NextClicked(m))
        w.Image1.marks.push_back({s.X[m], s.Y[m], s.LandmarkName[m]});
}

}  // namespace

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
    MarkPlaced(w, n);
    w.Label10.left = s.GuideLeft[n];
    w.Label10.top = s.GuideTop[n];
    w.Label10.visible = asking;
    w.VScroll2.enabled = !d.ZoomLocked();
    w.Command1.enabled = !d.ZoomLocked();
}

void ShowPointer(ui::MainWindow& w) {
    w.LabelX.caption = FormatGeneral(w.state.Digitising.pointerX);
    w.LabelY.caption = FormatGeneral(w.state.Digitising.pointerY);
}

void ShowSNDistance(ui::MainWindow& w) {
    w.Label14.caption = Format0(w.state.Digitising.snDistance);
}

}  // namespace ceph::presenter
