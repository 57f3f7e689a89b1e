#include "presenter/digitising_view.h"

#include <cmath>
#include <string>

#include "model/landmark.h"
#include "model/numbers.h"
#include "presenter/correction_view.h"

namespace ceph::presenter {

namespace {

using Step = ui::DigitisingState::Step;

// The suggested places of the landmarks still to be placed (and of one picked up), the
// one asked highlighted within its expected error, over the film they were found on.
void ShowSuggestions(ui::MainWindow& w) {
    const ui::State& s = w.state;
    const ui::DigitisingState& d = s.Digitising;
    const ui::Suggestions& suggested = d.suggested;
    if (d.step != Step::Asking || d.ruler.On() || w.Image1.picture.empty() ||
        w.Image1.picture.handle != suggested.picture || d.film.width <= 0 || d.film.height <= 0)
        return;
    const double perX = w.Image1.width / d.film.width, perY = w.Image1.height / d.film.height;
    for (int m = 1; m <= model::kLandmarkCount; ++m) {
        const auto k = static_cast<std::size_t>(m);
        const bool asked = model::Number(d.asked) == m;
        if (!suggested.at[k] || (d.Placed(m) && !asked)) continue;
        w.Image1.marks.push_back({static_cast<float>(suggested.at[k]->x * perX),
                                  static_cast<float>(suggested.at[k]->y * perY), s.LandmarkName[m],
                                  asked ? ui::MarkKind::SuggestedAsked : ui::MarkKind::Suggested,
                                  asked ? static_cast<float>(suggested.reach[k] * perX) : 0.0f});
    }
}

}  // namespace

void ShowSuggestionLine(ui::MainWindow& w) {
    const bool suggested = SuggestionAsked(w);
    w.CommandAcceptAll.visible = w.LabelSuggestion.visible = suggested;
    if (!suggested) return;
    const ui::DigitisingState& d = w.state.Digitising;
    const double error = d.suggested.error[model::Slot(d.asked)];
    w.LabelSuggestion.caption =
        std::string(kAcceptHint) +
        (error > 0 ? "\n" + std::string(kExpectedError) + Format1(error) + " mm" : std::string());
}

bool SuggestionAsked(const ui::MainWindow& w) {
    const ui::DigitisingState& d = w.state.Digitising;
    return d.step == Step::Asking && !d.ruler.On() && !w.Image1.picture.empty() &&
           w.Image1.picture.handle == d.suggested.picture &&
           d.suggested.at[model::Slot(d.asked)].has_value();
}

void ShowMarks(ui::MainWindow& w) {
    // A tracing being corrected lies on the film by its own transform.
    if (w.state.Correction.On()) return ShowCorrectionMarks(w);
    const ui::State& s = w.state;
    const ui::DigitisingState& d = s.Digitising;
    w.Image1.marks.clear();
    // The store keeps the scale of S; the marks lie on the picture at the current zoom.
    const int zoom = d.zoomPercent, scale = d.ScalePercent();
    const double factor = scale > 0 ? double(zoom) / scale : 1;
    for (int m = model::Number(model::kFirstClicked); m >= 1 && m <= model::kLandmarkCount;
         m = model::NextClicked(m)) {
        // The landmark in hand is no longer where it was.
        if (!d.Placed(m) || (d.PickedUp() && model::Number(d.asked) == m)) continue;
        w.Image1.marks.push_back({static_cast<float>(s.X[m] * factor),
                                  static_cast<float>(s.Y[m] * factor), s.LandmarkName[m]});
    }
    ShowSuggestions(w);
    // The ruler's points, while it is measured.
    const ui::RulerState& r = d.ruler;
    if (r.step == ui::RulerState::Step::Second || r.step == ui::RulerState::Step::Distance)
        w.Image1.marks.push_back(
            {static_cast<float>(r.x1 * factor), static_cast<float>(r.y1 * factor), kRulerMark1});
    if (r.step == ui::RulerState::Step::Distance)
        w.Image1.marks.push_back(
            {static_cast<float>(r.x2 * factor), static_cast<float>(r.y2 * factor), kRulerMark2});
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
    if (d.restarted != ui::DigitisingState::Restart::None) {
        w.LabelPNTDef.caption = d.restarted == ui::DigitisingState::Restart::FilmTurned
                                    ? kFilmTurned
                                    : kPictureReplaced;
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
    ShowSuggestionLine(w);
    ShowRuler(w);
}

float PointerInScale(const ui::MainWindow& w, float twips) {
    return static_cast<float>(w.state.Digitising.InScale(twips));
}

model::FilmPoint PointerOnFilm(const ui::MainWindow& w) {
    const ui::DigitisingState& d = w.state.Digitising;
    const auto per = [](int pixels, float shown) { return shown > 0 ? pixels / double(shown) : 0; };
    return {d.pointerX * per(d.film.width, w.Image1.width),
            d.pointerY * per(d.film.height, w.Image1.height)};
}

void ShowPointer(ui::MainWindow& w) {
    const ui::DigitisingState& d = w.state.Digitising;
    w.LabelX.caption = FormatGeneral(PointerInScale(w, d.pointerX));
    w.LabelY.caption = FormatGeneral(PointerInScale(w, d.pointerY));
}

void ShowSNDistance(ui::MainWindow& w) {
    const ui::State& s = w.state;
    w.Label14.caption = Format0(s.Digitising.snDistance);
    const double mm = SpacingDistance(w, s.X[16], s.Y[16], s.X[1], s.Y[1]);
    w.LabelSpacing.caption = mm > 0 ? "影像比例尺：S–N " + Format1(mm) + " mm" : std::string();
    w.LabelSpacing.visible = mm > 0 && !s.Digitising.ruler.On();
}

double SpacingDistance(const ui::MainWindow& w, double x1, double y1, double x2, double y2) {
    // The holder keeps the picture at its own size: its twips per pixel are those of the
    // picture at 100 %, and image units are twips at the zoom of the scale.
    const ui::PictureBox& holder = w.Picture6;
    const ui::PictureRef& picture = holder.picture;
    const auto usable = [](double mm) { return mm >= kFinestSpacing && mm <= kCoarsestSpacing; };
    if (picture.empty() || picture.widthPx <= 0 || picture.heightPx <= 0 ||
        !usable(picture.spacingX) || !usable(picture.spacingY) || !(holder.width > 0) ||
        !(holder.height > 0))
        return 0;
    const int scale = w.state.Digitising.scalePercent;
    if (scale <= 0) return 0;
    const double unitsPerPixelX = double(holder.width) / picture.widthPx * scale / 100;
    const double unitsPerPixelY = double(holder.height) / picture.heightPx * scale / 100;
    const double dx = (x2 - x1) / unitsPerPixelX * picture.spacingX;
    const double dy = (y2 - y1) / unitsPerPixelY * picture.spacingY;
    return std::sqrt(dx * dx + dy * dy);
}

void ShowFilmDamage(ui::MainWindow& w) {
    const std::string& damage = w.Image1.picture.damage;
    w.LabelDamage.caption = damage.empty() ? std::string() : kFilmDamaged + damage;
    // The whole line when the viewport is too narrow for it.
    w.LabelDamage.tooltip = w.LabelDamage.caption;
    w.LabelDamage.visible = !damage.empty();
}

void ShowRuler(ui::MainWindow& w) {
    using RulerStep = ui::RulerState::Step;
    const ui::DigitisingState& d = w.state.Digitising;
    const RulerStep step = d.ruler.step;
    const bool on = d.ruler.On(), finished = d.step == Step::Finished;
    w.CommandRuler.visible = finished && !on;
    w.LabelSpacing.visible = finished && !on && !w.LabelSpacing.caption.empty();
    w.TextRuler.visible = w.LabelRulerMM.visible = w.CommandRulerOK.visible =
        step == RulerStep::Distance;
    w.CommandRulerCancel.visible = on;
    // Finishing waits for the ruler to be measured or given up.
    w.Command4.enabled = !on;
    if (!on) return;
    w.LabelPNT.caption = step == RulerStep::First    ? kRulerFirst
                         : step == RulerStep::Second ? kRulerSecond
                                                     : kRulerDistance;
    w.LabelPNT.visible = true;
    w.LabelPNTDef.caption = step == RulerStep::Distance ? kRulerTypeHint : kRulerClickHint;
    w.LabelPNTDef.foreColor = kSystemWindowText;
    w.LabelPNTDef.visible = true;
}

}  // namespace ceph::presenter
