// Resizing the maximised input window lays out the work area again and repaints the
// film's viewport, which must take at most one frame (16 ms) on a grey 3000 x 3000
// radiograph in a window of 1920 x 1080 pixels, at zoom 0.4 (the whole film reduced with
// smoothing), 1 and 3. Every iteration is one step of a drag of the window's corner: the
// client area alternates between 1920 x 1080 and 1900 x 1060 pixels. Timed, on the
// offscreen platform:
//
//   LayOutWorkArea          the behaviour placing the viewport and its bars and refitting
//                           the pan (not checked: it is in every other one);
//   ResizePaint/zoomZ       the layout and the paint routine filling the new viewport on
//                           a surface of the screen's format (at zoom 0.4 not checked: the
//                           control paints a reduced film from its reduced copy);
//   ResizeRepaint/zoomZ     the layout and the real image control in a viewport widget
//                           given the new geometry and repainted synchronously;
//   ResizeRepaint/zoomZ_dpr2 with --dpr2, alone: the same on a screen of two device
//                           pixels to the logical one, where the film is painted pixel for
//                           device pixel (the scale is fixed per process).
//
// Exits with 1 when a checked median exceeds --max_ms (default 16).
//
//   resize_bench [--max_ms=16] [--dpr2] [benchmark flags]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench_support.h"
#include "imaging/viewport.h"
#include "picture_gen.h"
#include "platform/picture_view.h"
#include "platform/pictures.h"
#include "platform/twips.h"
#include "platform/widgets.h"
#include "ui/main_window.h"

namespace {

using ceph::platform::Twips;

struct Fixture {
    ceph::platform::PictureStore store;
    ceph::ui::PictureRef picture;
};
Fixture* fixture = nullptr;

// The input window's model over the film at `zoom`, panned to the film's middle.
struct Window {
    ceph::ui::MainWindow w;
    Twips twips;
    explicit Window(double zoom, double density = 1) {
        const float perPixel = static_cast<float>(15 / density);
        w.readceph.resizable = true;
        w.Picture6.picture = w.Image1.picture = fixture->picture;
        w.Picture6.width = w.Picture6.height = ceph::bench::kRadiographSide * perPixel;
        w.Image1.width = w.Image1.height = static_cast<float>(w.Picture6.width * zoom);
        Step(0);
        w.HScroll1.value = w.HScroll1.max / 2;
        w.VScroll1.value = w.VScroll1.max / 2;
        w.Image1.left = -static_cast<float>(w.HScroll1.value) * w.HScroll1.unit;
        w.Image1.top = -static_cast<float>(w.VScroll1.value) * w.VScroll1.unit;
    }
    // One step of the drag: the client area the platform reports, laid out.
    void Step(int step) {
        const int shrink = step % 2 ? 20 : 0;
        w.readceph.scaleWidth = twips.FromX(1920 - shrink);
        w.readceph.scaleHeight = twips.FromY(1080 - 22 - shrink);  // under the menu bar
        ceph::imaging::LayOutWorkArea(w);
    }
    QSize ViewportSize() const {
        return QSize(twips.X(w.Picture4.width), twips.Y(w.Picture4.height));
    }
    QRect ImageGeometry() const {
        return twips.Rect(w.Image1.left, w.Image1.top, w.Image1.width, w.Image1.height);
    }
};

void LayOut(benchmark::State& state) {
    Window window(1);
    int step = 0;
    for (auto _ : state)
        window.Step(step++);
}

void ResizePaint(benchmark::State& state, double zoom) {
    Window window(zoom);
    const QImage& film = fixture->store.Get(fixture->picture);
    QImage screen(1920, 1080, QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        window.Step(step++);
        const QRect image = window.ImageGeometry();
        const QRect exposed(-image.topLeft(), window.ViewportSize());
        QPainter painter(&screen);
        painter.translate(image.topLeft());
        ceph::platform::PaintViewedPart(painter, film, image.size(), true, exposed, {});
    }
}

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void ResizeRepaint(benchmark::State& state, double zoom, double density) {
    Window window(zoom, density);
    QWidget frame;
    ceph::platform::ImageWidget image(window.w.Image1, window.twips, &fixture->store, &frame);
    PaintCounter counter;
    image.installEventFilter(&counter);
    frame.resize(window.ViewportSize());
    frame.show();
    // Until the platform exposes the window, a repaint paints nothing.
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    if (frame.devicePixelRatio() != density) {
        state.SkipWithError("the screen has not the density asked for");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        window.Step(step++);
        frame.resize(window.ViewportSize());
        image.setGeometry(window.ImageGeometry());
        frame.repaint();
    }
    if (counter.paints < static_cast<int>(state.iterations()))
        state.SkipWithError("the image control was not painted at every repaint");
}

constexpr const char* kChecked[] = {"ResizePaint/zoom1",        "ResizePaint/zoom3",
                                    "ResizeRepaint/zoom0.4",    "ResizeRepaint/zoom1",
                                    "ResizeRepaint/zoom3",      "ResizeRepaint/zoom0.4_dpr2",
                                    "ResizeRepaint/zoom1_dpr2", "ResizeRepaint/zoom3_dpr2"};

void RegisterBenchmarks(bool dense) {
    auto add = [](const char* name, auto function) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->ReportAggregatesOnly(true);
    };
    if (dense) {
        add(kChecked[5], [](benchmark::State& s) { ResizeRepaint(s, 0.4, 2); });
        add(kChecked[6], [](benchmark::State& s) { ResizeRepaint(s, 1, 2); });
        add(kChecked[7], [](benchmark::State& s) { ResizeRepaint(s, 3, 2); });
        return;
    }
    add("LayOutWorkArea", LayOut);
    add("ResizePaint/zoom0.4", [](benchmark::State& s) { ResizePaint(s, 0.4); });
    add(kChecked[0], [](benchmark::State& s) { ResizePaint(s, 1); });
    add(kChecked[1], [](benchmark::State& s) { ResizePaint(s, 3); });
    add(kChecked[2], [](benchmark::State& s) { ResizeRepaint(s, 0.4, 1); });
    add(kChecked[3], [](benchmark::State& s) { ResizeRepaint(s, 1, 1); });
    add(kChecked[4], [](benchmark::State& s) { ResizeRepaint(s, 3, 1); });
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 16);
    // The high-density case runs in a second process: the scale is fixed per application.
    const bool dense = ceph::bench::TakeFlag(argc, argv, "dpr2");
    if (dense) setenv("QT_SCALE_FACTOR", "2", 1);
    QApplication app(argc, argv);
    Fixture data;
    fixture = &data;
    data.picture = data.store.Add(ceph::bench::SyntheticRadiograph());
    RegisterBenchmarks(dense);
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 5, .interleaved = false});
    if (!medians) return 2;

    return ceph::bench::CheckMilliseconds(*medians, {std::begin(kChecked), std::end(kChecked)},
                                          maxMs);
}
