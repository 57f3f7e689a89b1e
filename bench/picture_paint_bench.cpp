// Panning or zooming the radiograph repaints the image control's viewport, which must
// take at most one frame (16 ms) on a grey 3000 x 3000 radiograph at zoom 3, where the
// control is a 9000 x 9000 pixel widget of which the viewport shows 361 x 361, and at
// zoom 0.5, where the picture is reduced with smoothing; so must a change of brightness,
// contrast or inversion, at zoom 1 and at zoom 0.1 where the whole picture is in view.
// Timed, on the offscreen platform:
//
//   PaintPart/zoomZ        the control's routine painting the viewport's part of the
//                          picture on a surface of the screen's format, a pan step apart
//                          at every iteration;
//   ViewportRepaint/zoomZ  a pan step of the real widget in a 361 x 361 viewport and a
//                          synchronous repaint of the viewport;
//   ZoomStep               the widget switching between zoom 2.9 and 3 and repainting;
//   WholeDrawImage/zoomZ   drawing the whole stretched picture under the viewport's clip,
//                          as the control did before (not checked);
//   PaintPart/zoom3_rgb32  the routine on a 32-bit copy of the picture, what a cached
//                          screen-format copy would gain (not checked);
//   PaintPart/zoom0.1      the whole picture reduced without adjustment, the reference
//                          for the next (not checked);
//   AdjustedPart/zoomZ     the routine with brightness, contrast and inversion, on the
//                          viewport's part at zoom 1 and on the whole picture at zoom 0.1;
//   AdjustStep/zoomZ       the real widget told of a new adjustment (between two
//                          settings, brightness, contrast and inversion all changed) and
//                          repainting the viewport synchronously.
//
// Exits with 1 when a checked median exceeds --max_ms (default 16).
//
//   picture_paint_bench [--max_ms=16] [benchmark flags]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "bench_support.h"
#include "picture_gen.h"
#include "platform/picture_view.h"
#include "platform/pictures.h"
#include "platform/widgets.h"

namespace {

using ceph::bench::kViewportSide;
using ceph::platform::PictureStore;

struct Fixture {
    PictureStore store;
    ceph::ui::Image model;
    QImage picture;
    QImage rgb32;
};
Fixture* fixture = nullptr;

QSize Zoomed(double zoom) {
    const QSize s = fixture->picture.size();
    return QSize(static_cast<int>(s.width() * zoom), static_cast<int>(s.height() * zoom));
}

// Viewport positions over the zoomed picture, a pan step of 37 pixels apart, cycling
// over the middle of the picture.
QPoint PanOffset(QSize zoomed, int step) {
    const int room = std::max(1, std::min(zoomed.width(), zoomed.height()) / 2 - kViewportSide);
    const int d = (step * 37) % room;
    return QPoint(zoomed.width() / 4 + d, zoomed.height() / 4 + d / 2);
}

// Paints the viewport on a surface of the screen's format a pan step further at every
// iteration; `paint` gets the zoomed picture's size and the viewport's offset in it.
template <class Paint>
void Pan(benchmark::State& state, double zoom, Paint paint) {
    const QSize size = Zoomed(zoom);
    QImage screen(kViewportSide, kViewportSide, QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        const QPoint offset = PanOffset(size, step++);
        QPainter painter(&screen);
        paint(painter, size, offset);
    }
}

void PaintPart(benchmark::State& state, double zoom, const QImage* picture) {
    Pan(state, zoom, [picture](QPainter& painter, QSize size, QPoint offset) {
        painter.translate(-offset);
        ceph::platform::PaintPicturePart(painter, *picture, size, true,
                                         QRect(offset, QSize(kViewportSide, kViewportSide)));
    });
}

// Two adjustments that change every grey level, taken in turn.
ceph::ui::PictureView Adjustment(int step) {
    ceph::ui::PictureView view;
    view.brightness = step % 2 ? 20 : -10;
    view.contrast = step % 2 ? 150 : 125;
    view.invert = true;
    return view;
}

void AdjustedPart(benchmark::State& state, double zoom) {
    int step = 0;
    Pan(state, zoom, [&step](QPainter& painter, QSize size, QPoint offset) {
        // Zoomed out, the whole picture lies in the viewport.
        if (size.width() <= kViewportSide) offset = QPoint();
        painter.translate(-offset);
        ceph::platform::PaintViewedPart(painter, fixture->picture, size, true,
                                        QRect(offset, QSize(kViewportSide, kViewportSide)),
                                        Adjustment(step++));
    });
}

void WholeDrawImage(benchmark::State& state, double zoom) {
    Pan(state, zoom, [zoom](QPainter& painter, QSize size, QPoint offset) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom < 1);
        painter.drawImage(QRect(-offset, size), fixture->picture);
    });
}

// Counts the paint events of a widget: a repaint of a window the platform did not show
// would time nothing.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The image control in its viewport, as the main window nests them.
struct Viewport {
    QWidget frame;
    ceph::platform::ImageWidget image{fixture->model, ceph::platform::Twips{}, &fixture->store,
                                      &frame};
    PaintCounter counter;
    Viewport() {
        image.installEventFilter(&counter);
        frame.resize(kViewportSide, kViewportSide);
        QPalette black = frame.palette();
        black.setColor(QPalette::Window, Qt::black);
        frame.setPalette(black);
        frame.setAutoFillBackground(true);
        frame.show();
        // Until the platform exposes the window, a repaint paints nothing.
        while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    }
    void Check(benchmark::State& state) {
        if (counter.paints < static_cast<int>(state.iterations()))
            state.SkipWithError("the image control was not painted at every repaint");
    }
};

void ViewportRepaint(benchmark::State& state, double zoom) {
    Viewport view;
    const QSize size = Zoomed(zoom);
    int step = 0;
    for (auto _ : state) {
        view.image.setGeometry(QRect(-PanOffset(size, step++), size));
        view.frame.repaint();
    }
    view.Check(state);
}

void ZoomStep(benchmark::State& state) {
    Viewport view;
    int step = 0;
    for (auto _ : state) {
        const QSize size = Zoomed(step++ % 2 ? 2.9 : 3.0);
        view.image.setGeometry(QRect(-PanOffset(size, 0), size));
        view.frame.repaint();
    }
    view.Check(state);
}

void AdjustStep(benchmark::State& state, double zoom) {
    Viewport view;
    const QSize size = Zoomed(zoom);
    const QPoint offset = size.width() <= kViewportSide ? QPoint() : PanOffset(size, 0);
    view.image.setGeometry(QRect(-offset, size));
    int step = 0;
    for (auto _ : state) {
        fixture->model.view = Adjustment(step++);
        view.image.Sync();
        view.frame.repaint();
    }
    fixture->model.view = {};
    view.Check(state);
}

// The picture as the program holds it: written as a JPEG and loaded by the store. False,
// having said why, when it cannot be.
bool LoadPicture(Fixture& data, const QTemporaryDir& scratch) {
    const std::string path = scratch.filePath(QStringLiteral("radiograph.jpg")).toStdString();
    try {
        ceph::bench::WriteSyntheticRadiograph(path, 90);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
    const auto loaded = data.store.Load(path);
    if (!loaded) {
        std::fprintf(stderr, "%s\n", loaded.why().detail.c_str());
        return false;
    }
    data.model.picture = *loaded;
    data.picture = data.store.Get(data.model.picture);
    data.rgb32 = data.picture.convertToFormat(QImage::Format_RGB32);
    return true;
}

constexpr const char* kChecked[] = {
    "PaintPart/zoom3",         "PaintPart/zoom0.5", "ViewportRepaint/zoom3",
    "ViewportRepaint/zoom0.5", "ZoomStep",          "AdjustedPart/zoom1",
    "AdjustedPart/zoom0.1",    "AdjustStep/zoom1",  "AdjustStep/zoom0.1"};

void RegisterBenchmarks() {
    auto add = [](const char* name, auto function) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->ReportAggregatesOnly(true);
    };
    add(kChecked[0], [](benchmark::State& s) { PaintPart(s, 3, &fixture->picture); });
    add(kChecked[1], [](benchmark::State& s) { PaintPart(s, 0.5, &fixture->picture); });
    add(kChecked[2], [](benchmark::State& s) { ViewportRepaint(s, 3); });
    add(kChecked[3], [](benchmark::State& s) { ViewportRepaint(s, 0.5); });
    add(kChecked[4], ZoomStep);
    add(kChecked[5], [](benchmark::State& s) { AdjustedPart(s, 1); });
    add(kChecked[6], [](benchmark::State& s) { AdjustedPart(s, 0.1); });
    add(kChecked[7], [](benchmark::State& s) { AdjustStep(s, 1); });
    add(kChecked[8], [](benchmark::State& s) { AdjustStep(s, 0.1); });
    add("WholeDrawImage/zoom3", [](benchmark::State& s) { WholeDrawImage(s, 3); });
    add("WholeDrawImage/zoom0.5", [](benchmark::State& s) { WholeDrawImage(s, 0.5); });
    add("PaintPart/zoom3_rgb32", [](benchmark::State& s) { PaintPart(s, 3, &fixture->rgb32); });
    add("PaintPart/zoom0.1", [](benchmark::State& s) { PaintPart(s, 0.1, &fixture->picture); });
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 16);
    QApplication app(argc, argv);
    Fixture data;
    fixture = &data;
    QTemporaryDir scratch;
    if (!LoadPicture(data, scratch)) return 2;
    RegisterBenchmarks();
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 5, .interleaved = false});
    if (!medians) return 2;

    return ceph::bench::CheckMilliseconds(*medians, {std::begin(kChecked), std::end(kChecked)},
                                          maxMs);
}
