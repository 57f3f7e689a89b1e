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

void Zoom(ui::App& app, int notches, float x, float y) {
    ui::MainWindow& w = app.win;
    if (w.state.Digitising.ZoomLocked() || !w.VScroll2.visible) return;
    const int before = w.VScroll2.value;
    const int after =
        std::clamp(before + notches * w.VScroll2.smallChange, w.VScroll2.min, w.VScroll2.max);
    if (after == before) return;
    // Where the pointer is over the viewport, and where its picture point moves to.
    const double underX = x + w.Image1.left, underY = y + w.Image1.top;
    const double ratio = double(after) / before;
    w.VScroll2.value = after;
    VScroll2_Change(app);
    Keep(w.HScroll1, x * ratio, underX);
    Keep(w.VScroll1, y * ratio, underY);
    Pan_Change(app);
    PointerStays(app, underX, underY);
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
            v.brightness = 0, v.contrast = 100, v.invert = false;
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

}  // namespace ceph::imaging
