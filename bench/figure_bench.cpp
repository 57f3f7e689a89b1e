// A click on a movement bar of the figure must be answered within one frame (16 ms):
// the structure moved, the profile redrawn and the figure panel repainted, with a grey
// 3000 x 3000 radiograph painted under the figure. Timed on the offscreen platform:
//
//   MovementClick/turn    a turn of the mandible and the synchronous repaint of the panel;
//   MovementClick/shift   the same with a shift;
//   PanelRepaint          the repaint alone, what the radiograph under the figure costs.
//
// Exits with 1 when a movement's median exceeds --max_ms (default 16).
//
//   figure_bench [--max_ms=16] [benchmark flags]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/startup.h"
#include "bench_support.h"
#include "picture_gen.h"
#include "platform/chinese_font.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"

namespace {

struct Shown {
    QTemporaryDir dir;
    ceph::platform::QtServices services;
    ceph::ui::App program{services};
    std::unique_ptr<ceph::platform::QtMainWindow> window;
    QWidget* panel = nullptr;

    Shown() {
        const std::string d = dir.path().toStdString();
        std::ofstream(d + "/OutExe.tmp", std::ios::binary) << "Chen\r\n10234\r\n0650315\r\nF\r\n";
        std::ofstream(d + "/selvsys.ini", std::ios::binary)
            << "[Selvaron]\r\nPersonPicDir=pics\r\n";
        std::filesystem::create_directories(d + "/pics");
        ceph::bench::WriteSyntheticRadiograph(d + "/pics/10234_1.jpg", 80);
        std::ofstream(d + "/ceph-1", std::ios::binary)
            << "10234,70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,"
               "120,10,90,-5,35,-10,22,0,0,25,48,40,72,42,74,0,48Y 2M,1,-1000,-2000\r\n";
        ceph::app::FormLoad(program, {d + "/OutExe.tmp", d, d + "/none"});
        window = std::make_unique<ceph::platform::QtMainWindow>(program, &services.Pictures());
        window->show();
        window->ActionOf(&program.win.readn[0])->trigger();
        window->ActionOf(&program.win.graph)->trigger();
        program.win.List1.listIndex = 4;
        window->Handle({ceph::wiring::EventType::Click, "List1"});
        panel = window->WidgetOf(&program.win.Picture8);
        if (!panel->isVisible() || program.win.Picture8.drawing.ops.size() < 13)
            throw std::runtime_error("the figure with its radiograph is not shown");
        QApplication::processEvents();
    }
    void Click(const char* bar, float x, float y) {
        ceph::wiring::Event e{ceph::wiring::EventType::MouseUp, bar};
        e.x = x, e.y = y;
        window->Handle(e);
        panel->repaint();
    }
};

Shown* shown = nullptr;

void BM_Turn(benchmark::State& state) {
    int k = 0;
    for (auto _ : state)
        shown->Click("Label16", (k++ % 2) ? 0 : 735, 10);  // +6 then -7 degrees
}
BENCHMARK(BM_Turn)->Name("MovementClick/turn")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Shift(benchmark::State& state) {
    int k = 0;
    for (auto _ : state)
        shown->Click("Label17", (k++ % 2) ? 0 : 735, 10);
}
BENCHMARK(BM_Shift)->Name("MovementClick/shift")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Repaint(benchmark::State& state) {
    for (auto _ : state)
        shown->panel->repaint();
}
BENCHMARK(BM_Repaint)->Name("PanelRepaint")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 16);
    QApplication app(argc, argv);
    ceph::platform::InstallChineseFont();
    Shown figure;
    shown = &figure;
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 7, .interleaved = false});
    if (!medians) return 2;
    const int result = ceph::bench::CheckMilliseconds(
        *medians, {"MovementClick/turn", "MovementClick/shift"}, maxMs);
    std::printf("PanelRepaint: %.2f ms (not checked)\n", medians->ms["PanelRepaint"]);
    return result;
}
