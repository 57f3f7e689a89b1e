#include "imaging/viewport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

// Puts the film where the pan bars say; a hidden bar leaves its axis unpanned: nothing
// could bring the picture back.
void ApplyPan(ui::MainWindow& w) {
    const float dx =
        w.HScroll1.visible ? static_cast<float>(w.HScroll1.value) * w.HScroll1.unit : 0;
    const float dy =
        w.VScroll1.visible ? static_cast<float>(w.VScroll1.value) * w.VScroll1.unit : 0;
    w.Image1.left = -dx;
    w.Image1.top = -dy;
}

// The bar value nearest to a pan of `offset` twips, within the bar's range.
void KeepPan(ui::ScrollBar& bar, float offset) {
    if (!bar.visible) return;
    const double value = std::round(offset / bar.unit);
    bar.value = static_cast<int>(std::clamp(value, double(bar.min), double(bar.max)));
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
    // A film no file holds until one is named for it (LoadPictureFile, 圖案存檔).
    model::FilmPositions& film = app.win.state.Digitising.film;
    film = {};
    film.width = picture.widthPx;
    film.height = picture.heightPx;
}

void ShowPicture(ui::App& app, float z) {
    ui::MainWindow& w = app.win;
    // A window from the automatic adjustment is in the levels of the film it was made
    // for: another film starts from its own (the aids stay, as they always have).
    const std::uint32_t shown = z != 0 ? w.Picture6.picture.handle : 0;
    if (shown != w.Image1.picture.handle) w.Image1.view.window = {};
    if (z != 0) {
        const int percent = RoundToInt16(static_cast<double>(z) * 100);
        if (percent != w.state.Digitising.zoomPercent) SetZoom(app, percent);
        ApplyZoom(w, z);
        w.Image1.picture = w.Picture6.picture;
        w.Command1.visible = true;
        w.VScroll2.visible = true;
        w.LabelZoom.visible = true;
    } else {
        w.Image1.width = 5;
        w.Image1.height = 5;
        w.Image1.picture = {};
        w.VScroll2.visible = false;
        w.LabelZoom.visible = false;
        w.Command1.visible = false;
    }
    // The line naming a damaged film takes its strip under the viewport.
    const bool noted = w.LabelDamage.visible;
    presenter::ShowFilmDamage(w);
    if (w.LabelDamage.visible != noted) LayOutWorkArea(w);
    FitScrollBars(w);
}

void FitScrollBars(ui::MainWindow& w) {
    w.Image1.left = 0;
    w.Image1.top = 0;
    FitBar(w.HScroll1, w.Image1.width, w.Picture4.width);
    FitBar(w.VScroll1, w.Image1.height, w.Picture4.height);
}

void SetZoom(ui::App& app, int percent) {
    ui::MainWindow& w = app.win;
    w.state.Digitising.zoomPercent = percent;
    w.VScroll2.value = percent;
    w.LabelZoom.caption = std::to_string(percent) + "%";
    ApplyZoom(w, static_cast<float>(percent) / 100.0f);
    FitScrollBars(w);
    // The placed landmarks are kept at the scale of S; their marks follow the picture.
    presenter::ShowMarks(w);
}

void VScroll2_Change(ui::App& app) {
    SetZoom(app, app.win.VScroll2.value);
}

void Command1_Click(ui::App& app) {
    if (app.win.state.Digitising.zoomPercent == 100) return;
    SetZoom(app, 100);
}

void Pan_Change(ui::App& app) {
    ApplyPan(app.win);
}

void LayOutWorkArea(ui::MainWindow& w) {
    const ui::Form& form = w.readceph;
    if (!form.resizable) return;
    // The header's strip above the work area, the left column's width up to the viewport
    // and its height down to the calibration panel's foot, the pan bars' thickness, the
    // line under a damaged film and the least viewport side that stays usable.
    constexpr float kTop = 360, kColumn = 3240, kBar = 255, kNote = 240;
    const float columnHeight = w.Picture7.top + w.Picture7.height;
    constexpr float kDesignSide = 5415, kLeast = 1500;
    const bool known = form.scaleWidth > 0 && form.scaleHeight > 0;
    const float clientW = known ? form.scaleWidth : kColumn + kDesignSide + kBar;
    const float clientH = known ? form.scaleHeight : kTop + kDesignSide + kBar;
    // The reserved margin lies outside the work area, free for a panel of the window's.
    const float areaW = std::max(kColumn + kLeast + kBar, clientW - w.state.ReservedRight);
    const float sideW = areaW - kColumn - kBar;
    const float note = w.LabelDamage.visible ? kNote : 0;
    const float sideH = std::max(kLeast, clientH - kTop - kBar - note);
    // The horizontal bar lies on the window under the work area, which would cover it;
    // the work area keeps the left column's height.
    w.Picture2.Move(0, kTop, areaW, std::max(columnHeight, sideH + note));
    const bool same = w.Picture4.width == sideW && w.Picture4.height == sideH;
    w.Picture4.Move(kColumn, 0, sideW, sideH);
    w.VScroll1.Move(kColumn + sideW, 0, kBar, sideH);
    w.LabelDamage.Move(kColumn, sideH, sideW, kNote);
    w.HScroll1.Move(kColumn, kTop + w.Picture2.height, sideW, kBar);
    if (same) return;
    // The film's point at the viewport's top-left stays there where the bars allow.
    const float panX = -w.Image1.left, panY = -w.Image1.top;
    FitScrollBars(w);
    KeepPan(w.HScroll1, panX);
    KeepPan(w.VScroll1, panY);
    ApplyPan(w);
}

}  // namespace ceph::imaging
