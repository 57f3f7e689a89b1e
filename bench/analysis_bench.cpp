// Throughput of the analysis: ComputeValues on realistic tracings must reach two
// million tracings a second on one core.
//
//   analysis_bench [--min_rate=2e6] [benchmark flags]
//   analysis_bench --write_records=FILE [--lines=100000]   (input for analyse_cli.sh)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/catalogue.h"
#include "record_gen.h"
#include "records/record_line.h"

namespace {

struct Tracing {
    ceph::analysis::PointTable X{}, Y{};
};

std::vector<Tracing> MakeTracings(int count) {
    std::vector<Tracing> tracings(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto fields = ceph::records::ParseRecordFields(
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
        benchmark::DoNotOptimize(ceph::analysis::ComputeValues(t.X, t.Y));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComputeValues)->Repetitions(5)->ReportAggregatesOnly(true);

// Keeps the median rate to check it against the limit after the run.
class RateReporter : public benchmark::ConsoleReporter {
  public:
    double medianRate = 0;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median") medianRate = run.counters.at("items_per_second");
        ConsoleReporter::ReportRuns(runs);
    }
};

int WriteRecords(const char* path, int lines) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < lines && out; ++i)
        out << ceph::bench::MakeRecordLine(std::to_string(10000 + i), static_cast<unsigned>(i))
            << "\r\n";
    return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    double minRate = 2e6;
    const char* records = nullptr;
    int lines = 100000;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--min_rate=", 11) == 0)
            minRate = std::atof(argv[i] + 11);
        else if (std::strncmp(argv[i], "--write_records=", 16) == 0)
            records = argv[i] + 16;
        else if (std::strncmp(argv[i], "--lines=", 8) == 0)
            lines = std::atoi(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    if (records) return WriteRecords(records, lines);
    int restArgc = static_cast<int>(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("ComputeValues: %.2f million tracings/s (limit %.2f)\n", reporter.medianRate / 1e6,
                minRate / 1e6);
    return reporter.medianRate >= minRate ? 0 : 1;
}
