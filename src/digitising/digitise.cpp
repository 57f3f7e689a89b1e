#include "digitising/digitise.h"

#include <algorithm>
#include <cmath>

#include "digitising/ruler.h"
#include "digitising/steps.h"
#include "digitising/suggestions.h"
#include "model/landmark.h"
#include "presenter/digitising_view.h"

namespace ceph::digitising {

namespace {

void GuideLine(ui::PictureBox& guide, float x1, float y1, float x2, float y2) {
    guide.drawing.Add<ui::DrawLine>(x1, y1, x2, y2, kBlue, 1);
}

ui::DigitisingState& Flow(ui::App& app) {
    return app.win.state.Digitising;
}

}  // namespace

int NextLandmark(int n) {
    return model::NextClicked(n);
}

int PreviousLandmark(int n) {
    return model::PreviousClicked(n);
}

void InitGuide(ui::App& app) {
    ui::State& s = app.win.state;
    // The drawing is shown at 1/1.6 of its design size; the divisor is single precision.
    const double divisor = static_cast<double>(1.6f);
    for (const model::LandmarkInfo& info : model::Landmarks()) {
        s.GuideLeft[model::Slot(info.landmark)] = RoundToInt16((info.guideX - 50) / divisor);
        s.GuideTop[model::Slot(info.landmark)] = RoundToInt16((info.guideY + 200) / divisor);
    }
    ui::PictureBox& guide = app.win.Picture5;
    guide.picture = app.services.GuideDrawing();
    guide.drawing.Clear();
    auto x = [&](int i) { return static_cast<float>(s.GuideLeft[i]); };
    auto y = [&](int i) { return static_cast<float>(s.GuideTop[i]); };
    auto chain = [&](std::initializer_list<int> points) {
        const int* p = points.begin();
        for (std::size_t k = 1; k < points.size(); ++k)
            GuideLine(guide, x(p[k - 1]), y(p[k - 1]), x(p[k]), y(p[k]));
    };
    chain({16, 1, 4});
    chain({5, 6});
    chain({7, 8});
    chain({9, 10, 11, 12, 13, 14});
    chain({3, 17});
    chain({2, 15});
    GuideLine(guide, (x(6) + x(7)) / 2, (y(6) + y(7)) / 2, (x(18) + x(19)) / 2,
              (y(18) + y(19)) / 2);
    for (int i = 1; i <= 19; ++i)
        guide.drawing.Add<ui::DrawCircle>(x(i), y(i), 18.0f, kRed);
}

void ShowNextPoint(ui::App& app, int n) {
    Ask(Flow(app), n);
    presenter::ShowAsked(app.win);
    SuggestOnShownFilm(app);
}

void Image1_MouseMove(ui::App& app, float x, float y) {
    ui::DigitisingState& flow = Flow(app);
    flow.pointerX = x;
    flow.pointerY = y;
    flow.pointerOver = true;
    presenter::ShowPointer(app.win);
}

void Image1_MouseLeave(ui::App& app) {
    Flow(app).pointerOver = false;
}

void Image1_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::State& s = w.state;
    ui::DigitisingState& flow = s.Digitising;
    // Once all 19 are placed the ruler's points may be asked for.
    if (RulerClick(app)) return;
    // Otherwise (or with no input under way) a click has nothing to store.
    if (flow.step != ui::DigitisingState::Step::Asking) return;
    const std::size_t placed = model::Slot(flow.asked);
    const bool moved = flow.PickedUp();
    // S placed in the click order fixes the scale of the whole tracing.
    if (!flow.ScaleFixed()) flow.scalePercent = flow.zoomPercent;
    s.X[placed] = AsReadOut(presenter::PointerInScale(w, flow.pointerX));
    s.Y[placed] = AsReadOut(presenter::PointerInScale(w, flow.pointerY));
    // And where it lies on the film, which no zoom changes: the figure and the
    // correction find the tracing there again.
    flow.film.at[placed] = presenter::PointerOnFilm(w);
    const bool calibrationMoved =
        moved && (flow.asked == model::Landmark::S || flow.asked == model::Landmark::N);
    Advance(flow);
    presenter::ShowAsked(w);
    if (flow.step != ui::DigitisingState::Step::Finished) {
        w.Picture7.visible = false;
        return;
    }
    w.Picture7.visible = true;
    // A landmark moved after the end leaves the length the clinician confirmed; only S
    // or N moved changes the distance, and the scale follows from that length.
    if (moved && !calibrationMoved) return;
    const double dx = double(s.X[1]) - s.X[16], dy = double(s.Y[1]) - s.Y[16];
    flow.snDistance = AsWholeUnits(std::sqrt(dx * dx + dy * dy));
    presenter::ShowSNDistance(w);
    if (moved) {
        Text6_Change(app);
        return;
    }
    // The rounded distance proposes the length in millimetres from the scale on file;
    // without one nothing is proposed and the clinician types the length. A scale that
    // belongs to no film (the box's default, or a length typed in an input given up)
    // would propose a plausible-looking but wrong length.
    const double rate = s.SavedRate;
    w.Text6.text = IsPositiveNumber(rate) ? Format1(flow.snDistance * rate) : std::string();
    Text6_Change(app);
}

void Image1_ShiftClick(ui::App& app, float x, float y) {
    ui::MainWindow& w = app.win;
    ui::DigitisingState& flow = Flow(app);
    const ui::State& s = w.state;
    // Near enough to take: a few screen pixels around the mark, at any zoom.
    const ui::ScreenInfo screen = app.services.Screen();
    const double reach = kPickUpPixels * std::max(screen.twipsPerPixelX, screen.twipsPerPixelY);
    const int zoom = flow.zoomPercent, scale = flow.ScalePercent();
    const double factor = scale > 0 ? double(zoom) / scale : 1;
    int nearest = 0;
    double best = reach * reach;
    for (int n = 1; n <= model::kLandmarkCount; ++n) {
        if (!flow.Placed(n) || (flow.PickedUp() && model::Number(flow.asked) == n)) continue;
        const double dx = s.X[n] * factor - x, dy = s.Y[n] * factor - y;
        if (dx * dx + dy * dy <= best) best = dx * dx + dy * dy, nearest = n;
    }
    if (nearest != 0 && PickUp(flow, nearest)) presenter::ShowAsked(w);
}

void Command5_Click(ui::App& app) {
    if (StepBack(Flow(app))) presenter::ShowAsked(app.win);
}

void Command6_Click(ui::App& app) {
    ShowNextPoint(app, model::Number(model::kFirstClicked));
}

void PictureReplaced(ui::App& app, ui::DigitisingState::Restart why) {
    ui::DigitisingState& flow = Flow(app);
    SuggestOnShownFilm(app);
    // While S is asked in the click order nothing is placed at the old picture's scale.
    if (flow.step == ui::DigitisingState::Step::NotInputting || !flow.ScaleFixed()) return;
    Ask(flow, model::Number(model::kFirstClicked));
    flow.restarted = why;
    presenter::ShowAsked(app.win);
    app.win.Picture7.visible = false;
}

void Text6_Change(ui::App& app) {
    ui::MainWindow& w = app.win;
    const double distance = Flow(app).snDistance;
    // Without a measured distance there is no scale to derive: keep the last one.
    if (distance == 0) {
        w.LabelSNCheck.caption.clear();
        return;
    }
    const double length = TextToNumber(w.Text6.text);
    // No length, no scale: the box stays empty rather than showing 0.
    w.Text2.text = IsPositiveNumber(length) ? Format3(length / distance) : std::string();
    w.LabelSNCheck.caption = CalibrationNote(length, length / distance, w.state.SavedRate);
}

void EndInput(ui::App& app) {
    EndInput(Flow(app));
}

bool PossibleSN(double length) {
    return length >= kLeastSN && length <= kMostSN;
}

std::string CalibrationNote(double length, double rate, double savedRate) {
    // No length (empty, not a number, 0 or less) is no scale to compare either.
    if (!IsPositiveNumber(length)) return "請輸入 S–N 的實際長度（mm）";
    if (!PossibleSN(length))
        return "S–N " + FormatGeneral(length) + " mm 不可能是 S–N 長度（須在 20–200 mm 之間）";
    std::string note;
    if (length < kShortestSN)
        note = "S–N " + Format1(length) + " mm 太短（通常 50–95 mm）";
    else if (length > kLongestSN)
        note = "S–N " + Format1(length) + " mm 太長（通常 50–95 mm）";
    // The scale of one film set-up hardly changes between tracings. A third exactly is
    // still within, whatever the binary fractions make of it.
    const bool rateOff = savedRate > 0 && std::abs(rate - savedRate) > savedRate / 3 * (1 + 1e-9);
    if (rateOff && note.empty())
        note = "比例尺 " + Format3(rate) + " 與上次 " + Format3(savedRate) + " 差逾三分之一";
    else if (rateOff)
        note += "，比例尺也與上次不符";
    return note;
}

}  // namespace ceph::digitising
