// A landmark dragged on the film while a stored tracing is corrected must show its new
// values and figure within one frame (16 ms) of the release. Timed on the offscreen
// platform over a grey 3000 x 3000 radiograph, Pog released alternately 2 mm forward and
// back:
//
//   CorrectRelease         the release as the behaviour handles it: the film point back
//                          to millimetres, the tracing's analysis, the result grid, the
//                          report panel's drawing and the figure rebuilt;
//   CorrectRelease/shown   the same through the window's event handling, with the
//                          synchronous repaint of the report panel and the film.
//
// Exits with 1 when a median exceeds --max_ms (default 16).
//
//   correct_bench [--max_ms=16] [benchmark flags]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "app/startup.h"
#include "bench_support.h"
#include "picture_gen.h"
#include "platform/chinese_font.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "wiring/events.h"

namespace {

using ceph::wiring::EventType;

struct Correcting {
    QTemporaryDir dir;
    ceph::platform::QtServices services;
    ceph::ui::App program{services};
    std::unique_ptr<ceph::platform::QtMainWindow> window;
    QWidget* panel = nullptr;
    QWidget* film = nullptr;
    float twipsPerPixel = 0;  // of the film as shown

    Correcting() {
        const std::string d = dir.path().toStdString();
        std::ofstream(d + "/OutExe.tmp", std::ios::binary) << "Chen\r\n10234\r\n0650315\r\nF\r\n";
        std::ofstream(d + "/selvsys.ini", std::ios::binary)
            << "[Selvaron]\r\nPersonPicDir=pics\r\n";
        std::filesystem::create_directories(d + "/pics");
        ceph::bench::WriteSyntheticRadiograph(d + "/pics/10234_1.jpg", 80);
        std::ofstream(d + "/ceph-1", std::ios::binary)
            << "10234,70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,"
               "120,10,90,-5,35,-10,22,0,0,25,48,40,72,42,74,0,48Y 2M\r\n";
        ceph::app::FormLoad(program, {d + "/OutExe.tmp", d, d + "/none"});
        window = std::make_unique<ceph::platform::QtMainWindow>(program, &services.Pictures());
        window->show();
        window->ActionOf(&program.win.readn[0])->trigger();
        window->ActionOf(&program.win.correctmn)->trigger();
        const ceph::ui::Image& image = program.win.Image1;
        twipsPerPixel = image.width / static_cast<float>(image.picture.widthPx);
        // S at pixel (1000, 800), N 10 pixels a millimetre to the right of it.
        Film(EventType::Click, 1000, 800);
        Film(EventType::Click, 1700, 800);
        panel = window->WidgetOf(&program.win.Picture3);
        film = window->WidgetOf(&program.win.Image1);
        if (image.marks.size() != 19 || !panel->isVisible())
            throw std::runtime_error("the tracing is not on its film beside its report");
        QApplication::processEvents();
        // The drag must move Pog, or nothing but the look-up is timed.
        Drag(false);
        if (std::abs(program.win.state.X[10] - 70) > 0.01f)
            throw std::runtime_error("Pog was not dragged");
        Drag(false);
    }
    // An event on the film at a pixel of the film, handled as the behaviour does, or
    // through the window with its refresh.
    void Film(EventType type, double x, double y, bool shown = true) {
        ceph::wiring::Event e{type, "Image1"};
        e.x = static_cast<float>(x * twipsPerPixel), e.y = static_cast<float>(y * twipsPerPixel);
        e.button = 1;
        if (shown)
            window->Handle(e);
        else
            ceph::wiring::Dispatch(program, e);
    }
    // Pog from where it lies to the other of (68, 112) and (70, 112) mm.
    void Drag(bool shown) {
        const bool forward = program.win.state.Correction.tracing.X[10] < 69;
        const double from = 1000 + (forward ? 680 : 700), to = 1000 + (forward ? 700 : 680);
        Film(EventType::MouseDown, from, 800 + 1120, shown);
        Film(EventType::MouseUp, to, 800 + 1120, shown);
        if (!shown) return;
        panel->repaint();
        film->repaint();
    }
};

Correcting* correcting = nullptr;

void BM_Release(benchmark::State& state) {
    for (auto _ : state)
        correcting->Drag(false);
}
BENCHMARK(BM_Release)->Name("CorrectRelease")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReleaseShown(benchmark::State& state) {
    for (auto _ : state)
        correcting->Drag(true);
}
BENCHMARK(BM_ReleaseShown)
    ->Name("CorrectRelease/shown")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 16);
    QApplication app(argc, argv);
    ceph::platform::InstallChineseFont();
    Correcting fixture;
    correcting = &fixture;
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 7, .interleaved = false});
    if (!medians) return 2;
    return ceph::bench::CheckMilliseconds(*medians, {"CorrectRelease", "CorrectRelease/shown"},
                                          maxMs);
}
