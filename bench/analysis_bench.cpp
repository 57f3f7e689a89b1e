// Throughput of the analysis: ComputeValues on realistic tracings must reach two
// million tracings a second on one core.
//
//   analysis_bench [--min_rate=2e6] [benchmark flags]
//   analysis_bench --write_records=FILE [--lines=100000]   (input for analyse_cli.sh)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "model/measurement.h"
#include "record_gen.h"
#include "store/record_line.h"

namespace {

struct Tracing {
    ceph::model::PointTable X{}, Y{};
};

std::vector<Tracing> MakeTracings(int count) {
    std::vector<Tracing> tracings(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto fields = ceph::store::ParseRecordFields(
            ceph::bench::MakeRecordLine("1", static_cast<unsigned>(i)));
        for (int k = 1; k <= 19; ++k)
            tracings[i].X[k] = fields.x[k], tracings[i].Y[k] = fields.y[k];
    }
    return tracings;
}

void BM_ComputeValues(benchmark::State& state) {
    const std::vector<Tracing> tracings = MakeTracings(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        const Tracing& t = tracings[i++ & 4095];
        benchmark::DoNotOptimize(ceph::model::ComputeValues(t.X, t.Y));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputeValues)->ReportAggregatesOnly(true);

int WriteRecords(const char* path, int lines) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < lines && out; ++i)
        out << ceph::bench::MakeRecordLine(std::to_string(10000 + i), static_cast<unsigned>(i))
            << "\r\n";
    return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const double minRate = ceph::bench::TakeNumber(argc, argv, "min_rate", 2e6);
    std::string records;
    const bool writeRecords = ceph::bench::TakeFlag(argc, argv, "write_records", &records);
    const int lines = static_cast<int>(ceph::bench::TakeNumber(argc, argv, "lines", 100000));
    if (writeRecords) return WriteRecords(records.c_str(), lines);
    auto medians = ceph::bench::RunBenchmarks(argc, argv, {.count = 5, .interleaved = false});
    if (!medians) return 2;
    const double rate = medians->itemsPerSecond["BM_ComputeValues"];
    std::printf("ComputeValues: %.2f million tracings/s (limit %.2f)\n", rate / 1e6, minRate / 1e6);
    return rate >= minRate ? 0 : 1;
}
