// Moving the display window over a deep film repaints the viewport, which must take at
// most one frame (16 ms): a 3000 x 3000 film of 12-bit levels kept in 16 bits, in a
// viewport of 1900 x 1050 pixels (the maximised input window at 1920 x 1080). Every
// iteration is one press of a display aid, brighter and darker in turn, then the real
// image control repainted synchronously, on the offscreen platform:
//
//   WindowRepaint/zoom1     the film at its own size (checked);
//   WindowRepaint/zoom0.4   the whole film reduced (its 16-bit reduced copy is made once);
//   WindowRepaint/zoom3     enlarged.
//
// Exits with 1 when a checked median exceeds --max_ms (default 16).
//
//   window_bench [--max_ms=16] [benchmark flags]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

#include "bench_support.h"
#include "picture_gen.h"
#include "platform/pictures.h"
#include "platform/twips.h"
#include "platform/widgets.h"
#include "ui/controls.h"

namespace {

struct Fixture {
    ceph::platform::PictureStore store;
    ceph::ui::PictureRef picture;
};
Fixture* fixture = nullptr;

// The synthetic radiograph's greys spread over 12 bits, with some noise in the low bits.
QImage DeepRadiograph() {
    const QImage grey = ceph::bench::SyntheticRadiograph();
    QImage deep(grey.size(), QImage::Format_Grayscale16);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        auto* out = reinterpret_cast<quint16*>(deep.scanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            out[x] = static_cast<quint16>(in[x] * 16 + ((x * 7 + y * 13) & 15));
    }
    return deep;
}

void WindowRepaint(benchmark::State& state, double zoom) {
    const ceph::platform::Twips twips;
    ceph::ui::Image control;
    control.picture = fixture->picture;
    const QSize viewport(1900, 1050);
    const QSize shown =
        (QSizeF(fixture->picture.widthPx, fixture->picture.heightPx) * zoom).toSize();
    control.width = twips.FromX(shown.width());
    control.height = twips.FromY(shown.height());
    QWidget frame;
    ceph::platform::ImageWidget image(control, twips, &fixture->store, &frame);
    frame.resize(viewport);
    // The film's middle in the middle of the viewport.
    image.setGeometry(QRect(
        QPoint((viewport.width() - shown.width()) / 2, (viewport.height() - shown.height()) / 2),
        shown));
    frame.show();
    while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    frame.repaint();  // the reduced copy, made once per size
    int step = 0;
    for (auto _ : state) {
        control.view.brightness = (step++ % 2) * 10;
        image.Sync();
        frame.repaint();
    }
}

constexpr const char* kChecked[] = {"WindowRepaint/zoom1"};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 16);
    QApplication app(argc, argv);
    Fixture data;
    fixture = &data;
    data.picture = data.store.Add(DeepRadiograph());
    data.picture.histogramWindow = {2048, 4096};
    auto add = [](const char* name, auto function) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->ReportAggregatesOnly(true);
    };
    add(kChecked[0], [](benchmark::State& s) { WindowRepaint(s, 1); });
    add("WindowRepaint/zoom0.4", [](benchmark::State& s) { WindowRepaint(s, 0.4); });
    add("WindowRepaint/zoom3", [](benchmark::State& s) { WindowRepaint(s, 3); });
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 5, .interleaved = false});
    if (!medians) return 2;
    return ceph::bench::CheckMilliseconds(*medians, {std::begin(kChecked), std::end(kChecked)},
                                          maxMs);
}
