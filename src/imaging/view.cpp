#include "imaging/view.h"

#include <algorithm>
#include <cmath>

#include "digitising/digitise.h"
#include "imaging/viewport.h"

namespace ceph::imaging {

namespace {

constexpr int kBrightnessStep = 10, kBrightnessLimit = 100;
constexpr int kContrastStep = 25, kLeastContrast = 25, kMostContrast = 400;

void ShowChecks(ui::MainWindow& w) {
    w.invertmn.checked = w.Image1.view.invert;
    w.loupemn.checked = w.Image1.view.loupe;
    w.marksmn.checked = w.Image1.view.showMarks;
}

// Moves a bar by `steps` small steps within its range; false when it cannot move.
bool Nudge(ui::ScrollBar& bar, int steps) {
    if (!bar.visible) return false;
    const int value = std::clamp(bar.value + steps * bar.smallChange, bar.min, bar.max);
    if (value == bar.value) return false;
    bar.value = value;
    return true;
}

// The bar value that puts image position `at` (twips) under viewport position `under`.
void Keep(ui::ScrollBar& bar, double at, double under) {
    if (!bar.visible) return;
    const double value = std::round((at - under) / bar.unit);
    bar.value = static_cast<int>(std::clamp(value, double(bar.min), double(bar.max)));
}

// The pointer has not moved over the viewport, but the picture under it has: a click
// now stores the point it is over.
void PointerStays(ui::App& app, double underX, double underY) {
    const ui::Image& image = app.win.Image1;
    digitising::Image1_MouseMove(app, static_cast<float>(underX - image.left),
                                 static_cast<float>(underY - image.top));
}

// The zoom `notches` steps from `percent`: each step about a quarter larger or smaller,
// on a ladder through 100 % (…, 64, 80, 100, 125, 156, 195, …), so the whole film to
// twice its size is some seven steps. A zoom off the ladder (the fit of the film) goes
// to a rung at least a tenth away, never to one that barely moves.
int Stepped(int percent, int notches) {
    const auto rung = [](int k) { return static_cast<int>(std::lround(100 * std::pow(1.25, k))); };
    for (; notches > 0; --notches) {
        int k = -20;
        while (rung(k) < percent * 1.1)
            ++k;
        percent = rung(k);
    }
    for (; notches < 0; ++notches) {
        int k = 20;
        while (k > -20 && rung(k) > percent / 1.1)
            --k;
        percent = std::max(1, rung(k));
    }
    return percent;
}

// Zooms to `percent` within the bar, keeping the picture point at (x, y), twips in the
// image, where it is over the viewport as far as the pan bars reach.
void ZoomAround(ui::App& app, int percent, double x, double y) {
    ui::MainWindow& w = app.win;
    if (!w.VScroll2.visible || w.Image1.picture.empty()) return;
    const int before = w.state.Digitising.zoomPercent;
    const int after = std::clamp(percent, w.VScroll2.min, w.VScroll2.max);
    if (after == before || before <= 0) return;
    const double underX = x + w.Image1.left, underY = y + w.Image1.top;
    const double ratio = double(after) / before;
    SetZoom(app, after);
    Keep(w.HScroll1, x * ratio, underX);
    Keep(w.VScroll1, y * ratio, underY);
    Pan_Change(app);
}

void Zoom(ui::App& app, int notches, float x, float y) {
    ui::MainWindow& w = app.win;
    const double underX = x + w.Image1.left, underY = y + w.Image1.top;
    const int before = w.state.Digitising.zoomPercent;
    ZoomAround(app, Stepped(before, notches), x, y);
    if (w.state.Digitising.zoomPercent != before) PointerStays(app, underX, underY);
}

// The largest whole percent at which the whole film fits the viewport.
int FitPercent(const ui::MainWindow& w) {
    if (!(w.Picture6.width > 0 && w.Picture6.height > 0)) return 100;
    const double fit = std::min(double(w.Picture4.width) / w.Picture6.width,
                                double(w.Picture4.height) / w.Picture6.height);
    return std::max(1, static_cast<int>(std::floor(fit * 100 + 1e-9)));
}

}  // namespace

void ChangeView(ui::App& app, ViewStep step) {
    ui::MainWindow& w = app.win;
    if (!w.Picture2.visible) return;
    ui::PictureView& v = w.Image1.view;
    switch (step) {
        case ViewStep::Brighter:
            v.brightness = std::min(kBrightnessLimit, v.brightness + kBrightnessStep);
            break;
        case ViewStep::Darker:
            v.brightness = std::max(-kBrightnessLimit, v.brightness - kBrightnessStep);
            break;
        case ViewStep::MoreContrast:
            v.contrast = std::min(kMostContrast, v.contrast + kContrastStep);
            break;
        case ViewStep::LessContrast:
            v.contrast = std::max(kLeastContrast, v.contrast - kContrastStep);
            break;
        case ViewStep::Invert:
            v.invert = !v.invert;
            break;
        case ViewStep::Reset:
            v.window = {};
            v.brightness = 0, v.contrast = 100, v.invert = false;
            break;
        case ViewStep::Auto:
            // From the film's histogram whatever window it came with; the brightness and
            // contrast then act on that window again.
            v.window = w.Image1.picture.histogramWindow;
            v.brightness = 0, v.contrast = 100;
            break;
        case ViewStep::Loupe:
            v.loupe = !v.loupe;
            break;
        case ViewStep::Marks:
            v.showMarks = !v.showMarks;
            break;
    }
    ShowChecks(w);
}

void TurnFilm(ui::App& app, TurnStep step) {
    ui::MainWindow& w = app.win;
    if (!w.Picture2.visible || w.Picture6.picture.empty() || w.Image1.picture.empty()) return;
    // A correction lies its tracing on the film as it was traced.
    if (w.state.Correction.On()) return;
    // The step alone on the film as shown now; the film keeps the whole turn.
    const model::FilmTurn alone = step == TurnStep::Right  ? model::TurnedRight({})
                                  : step == TurnStep::Left ? model::TurnedLeft({})
                                                           : model::Mirrored({});
    const ui::PictureRef turned = app.services.TurnedPicture(w.Picture6.picture, alone);
    if (turned.empty()) return;
    const model::FilmPositions before = w.state.Digitising.film;
    const ui::PictureWindow window = w.Image1.view.window;
    const float zoom = static_cast<float>(w.state.Digitising.zoomPercent) / 100;
    SetHolderPicture(app, turned);
    model::FilmPositions& film = w.state.Digitising.film;
    film.picture = before.picture;
    film.turn = step == TurnStep::Right  ? model::TurnedRight(before.turn)
                : step == TurnStep::Left ? model::TurnedLeft(before.turn)
                                         : model::Mirrored(before.turn);
    ShowPicture(app, zoom);
    // The same film in the same levels, only turned.
    w.Image1.view.window = window;
    digitising::PictureReplaced(app, ui::DigitisingState::Restart::FilmTurned);
}

void Image1_Wheel(ui::App& app, int notches, bool shift, bool ctrl, float x, float y) {
    ui::MainWindow& w = app.win;
    if (notches == 0 || w.Image1.picture.empty()) return;
    if (ctrl) {
        Zoom(app, notches, x, y);
        return;
    }
    // A notch away from the user shows what lies above (or, with Shift, to the left).
    const double underX = x + w.Image1.left, underY = y + w.Image1.top;
    if (Nudge(shift ? static_cast<ui::ScrollBar&>(w.HScroll1) : w.VScroll1, -notches)) {
        Pan_Change(app);
        PointerStays(app, underX, underY);
    }
}

void ZoomKey(ui::App& app, ZoomStep step) {
    ui::MainWindow& w = app.win;
    if (!w.Picture2.visible) return;
    const ui::DigitisingState& flow = w.state.Digitising;
    // The film point under the pointer stays there; with the pointer elsewhere (on a
    // menu, a button), the one in the middle of the viewport.
    const bool pointer = flow.pointerOver;
    const double x = pointer ? flow.pointerX : w.Picture4.width / 2.0 - w.Image1.left;
    const double y = pointer ? flow.pointerY : w.Picture4.height / 2.0 - w.Image1.top;
    const double underX = x + w.Image1.left, underY = y + w.Image1.top;
    const int before = flow.zoomPercent;
    int percent = before;
    switch (step) {
        case ZoomStep::In:
            percent = Stepped(percent, 1);
            break;
        case ZoomStep::Out:
            percent = Stepped(percent, -1);
            break;
        case ZoomStep::Fit:
            percent = FitPercent(w);
            // A film too large to fit at the bar's least zoom lowers it for this film.
            w.VScroll2.min = std::min(w.VScroll2.min, percent);
            break;
        case ZoomStep::Actual:
            percent = 100;
            break;
    }
    ZoomAround(app, percent, x, y);
    if (pointer && flow.zoomPercent != before) PointerStays(app, underX, underY);
}

void PanKey(ui::App& app, int across, int down) {
    ui::MainWindow& w = app.win;
    if (!w.Picture2.visible || w.Image1.picture.empty()) return;
    const ui::DigitisingState& flow = w.state.Digitising;
    const double underX = flow.pointerX + w.Image1.left, underY = flow.pointerY + w.Image1.top;
    // Both bars are nudged, whichever of them moves.
    const bool moved = Nudge(w.HScroll1, across) | Nudge(w.VScroll1, down);
    if (!moved) return;
    Pan_Change(app);
    if (flow.pointerOver) PointerStays(app, underX, underY);
}

}  // namespace ceph::imaging
