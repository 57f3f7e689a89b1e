// Drawing the report of a tracing on the screen panel, with the snapshot bitmap it
// writes, must take at most 30 ms.
//
//   report_bench [--max_ms=30] [benchmark flags]     (runs on the offscreen platform)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/startup.h"
#include "bench_support.h"
#include "platform/chinese_font.h"
#include "platform/qt_services.h"
#include "report/report.h"
#include "usecases/show.h"

namespace {

QTemporaryDir* scratch = nullptr;

void BM_DrawReportWithSnapshot(benchmark::State& state) {
    ceph::platform::QtServices services;
    ceph::ui::App program(services);
    const std::string dir = scratch->path().toStdString();
    std::ofstream(dir + "/OutExe.tmp", std::ios::binary)
        << "\xAA\x4C\xAC\xFC\xB5\xD8\r\n10234\r\n0650315\r\nF\r\n";
    std::ofstream(dir + "/ceph-1", std::ios::binary)
        << "10234,70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,120,10,90,-"
           "5,35,"
           "-10,22,0,0,25,48,40,72,42,74,0,48Y 2M\r\n";
    ceph::app::StartupEnv env{dir + "/OutExe.tmp", dir, dir + "/none"};
    ceph::app::FormLoad(program, env);
    ceph::usecases::ShowTracing(program, 0);
    for (auto _ : state) {
        program.win.Picture3.drawing.Clear();
        program.win.Picture8.drawing.Clear();
        ceph::report::DrawReport(program, false, 0);
    }
}
BENCHMARK(BM_DrawReportWithSnapshot)->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 30);
    QApplication app(argc, argv);
    ceph::platform::InstallChineseFont();
    QTemporaryDir dir;
    scratch = &dir;
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 5, .interleaved = false});
    if (!medians) return 2;
    const double ms = medians->ms["BM_DrawReportWithSnapshot"];
    std::printf("DrawReport with snapshot: %.2f ms (limit %.0f)\n", ms, maxMs);
    return ms <= maxMs ? 0 : 1;
}
