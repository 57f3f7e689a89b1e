// The 95 % ranges of one tracing, as the window computes them beside the values: 2000
// draws of the Monte Carlo on the demo's first tracing must take under 50 ms.
//
//   uncertainty_bench [--max_ms=50] [--draws=2000] [benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "base/safe_file.h"
#include "bench_support.h"
#include "store/record_line.h"
#include "uncertainty/uncertainty.h"

namespace {

using namespace ceph::uncertainty;
using ceph::model::PointTable;

PointTable gX{}, gY{};
int gDraws = kDefaultDraws;

void BM_Uncertainty(benchmark::State& state) {
    const ErrorModel& model = DefaultErrorModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(EstimateUncertainty(model, gX, gY, gDraws));
}
BENCHMARK(BM_Uncertainty)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first line of the demo's first record file.
bool ReadDemoTracing() {
    std::string bytes;
    if (ceph::base::ReadRegularFile(CEPH_DEMO_DIR "/ceph-1", bytes)) return false;
    const auto tracing = ceph::store::ReadTracingLine(bytes.substr(0, bytes.find('\r')));
    if (!tracing) return false;
    gX = tracing->X, gY = tracing->Y;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const double maxMs = ceph::bench::TakeNumber(argc, argv, "max_ms", 50);
    gDraws = static_cast<int>(ceph::bench::TakeNumber(argc, argv, "draws", kDefaultDraws));
    if (!ReadDemoTracing()) {
        std::fprintf(stderr, "cannot read the demo's tracing in %s\n", CEPH_DEMO_DIR);
        return 2;
    }
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 7, .interleaved = false});
    if (!medians) return 2;
    const double ms = medians->ms["BM_Uncertainty"];
    std::printf("EstimateUncertainty, %d draws: %.2f ms (limit %.0f)%s\n", gDraws, ms, maxMs,
                ms > maxMs ? "  TOO SLOW" : "");
    return ms <= maxMs ? 0 : 1;
}
