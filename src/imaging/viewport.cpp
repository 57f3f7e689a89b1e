#include "imaging/viewport.h"

#include <cmath>

#include "presenter/digitising_view.h"

namespace ceph::imaging {

namespace {

// One pan bar for the amount by which the picture exceeds the viewport on its axis.
// The bar's range stops at 32767: a larger excess moves several twips per step.
void FitBar(ui::ScrollBar& bar, float imageSize, float viewSize) {
    if (!(imageSize > viewSize)) {
        bar.visible = false;
        return;
    }
    const double excess = imageSize - viewSize;
    bar.unit = std::max(1, static_cast<int>(std::ceil(excess / 32767.0)));
    bar.visible = true;
    bar.value = 0;
    bar.min = 0;
    bar.max = RoundToInt16(excess / bar.unit);
    // A bar needs steps of at least one.
    bar.largeChange = std::max<int>(1, RoundToInt16(bar.max / 3.0));
    bar.smallChange = std::max<int>(1, RoundToInt16(bar.max / 10.0));
}

void ApplyZoom(ui::MainWindow& w, float z) {
    w.Image1.width = w.Picture6.width * z;
    w.Image1.height = w.Picture6.height * z;
}

}  // namespace

void SetHolderPicture(ui::App& app, const ui::PictureRef& picture) {
    const ui::ScreenInfo screen = app.services.Screen();
    ui::PictureBox& holder = app.win.Picture6;
    holder.picture = picture;
    holder.width = static_cast<float>(picture.widthPx) * screen.twipsPerPixelX;
    holder.height = static_cast<float>(picture.heightPx) * screen.twipsPerPixelY;
}

void ShowPicture(ui::App& app, float z) {
    ui::MainWindow& w = app.win;
    if (z != 0) {
        const int percent = RoundToInt16(static_cast<double>(z) * 100);
        if (percent != w.VScroll2.value) {
            w.VScroll2.value = percent;
            VScroll2_Change(app);
        }
        ApplyZoom(w, z);
        w.Image1.picture = w.Picture6.picture;
        w.Command1.visible = true;
        w.VScroll2.visible = true;
    } else {
        w.Image1.width = 5;
        w.Image1.height = 5;
        w.Image1.picture = {};
        w.VScroll2.visible = false;
        w.Command1.visible = false;
    }
    FitScrollBars(w);
}

void FitScrollBars(ui::MainWindow& w) {
    w.Image1.left = 0;
    w.Image1.top = 0;
    FitBar(w.HScroll1, w.Image1.width, w.Picture4.width);
    FitBar(w.VScroll1, w.Image1.height, w.Picture4.height);
}

void VScroll2_Change(ui::App& app) {
    ApplyZoom(app.win, static_cast<float>(app.win.VScroll2.value) / 100.0f);
    FitScrollBars(app.win);
    // The placed landmarks are kept at the scale of S; their marks follow the picture.
    presenter::ShowMarks(app.win);
}

void Command1_Click(ui::App& app) {
    if (app.win.VScroll2.value == 100) return;
    app.win.VScroll2.value = 100;
    VScroll2_Change(app);
}

void Pan_Change(ui::App& app) {
    ui::MainWindow& w = app.win;
    // A hidden bar leaves its axis unpanned: nothing could bring the picture back.
    const float dx =
        w.HScroll1.visible ? static_cast<float>(w.HScroll1.value) * w.HScroll1.unit : 0;
    const float dy =
        w.VScroll1.visible ? static_cast<float>(w.VScroll1.value) * w.VScroll1.unit : 0;
    w.Image1.left = -dx;
    w.Image1.top = -dy;
}

}  // namespace ceph::imaging
