#include "bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace ceph::bench {

namespace {

// argv for Google Benchmark, null-terminated: the repetitions whose medians the checks
// compare, unless given on the command line.
std::vector<char*> WithDefaultFlags(int argc, char** argv, Repeats repeats) {
    // Kept for the program's life: Google Benchmark refers to its arguments later.
    static std::deque<std::string> defaults;
    std::vector<std::string> wanted = {"--benchmark_repetitions=" + std::to_string(repeats.count),
                                       "--benchmark_display_aggregates_only=true"};
    if (repeats.interleaved) wanted.push_back("--benchmark_enable_random_interleaving=true");
    std::vector<char*> args(argv, argv + argc);
    for (const std::string& flag : wanted) {
        const std::string name = flag.substr(0, flag.find('=') + 1);
        bool given = false;
        for (int i = 1; i < argc; ++i)
            given = given || std::string_view(argv[i]).rfind(name, 0) == 0;
        if (given) continue;
        defaults.push_back(flag);
        args.insert(args.begin() + 1, defaults.back().data());
    }
    args.push_back(nullptr);
    return args;
}

// The real time of one iteration in milliseconds, whatever unit the table shows it in.
double Milliseconds(const benchmark::BenchmarkReporter::Run& run) {
    const double time = run.GetAdjustedRealTime();
    if (run.time_unit == benchmark::kMillisecond) return time;
    return time * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

}  // namespace

bool TakeFlag(int& argc, char** argv, std::string_view name, std::string* value) {
    const std::string prefix = "--" + std::string(name);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool matches = value ? arg.rfind(prefix + "=", 0) == 0 : arg == prefix;
        if (!matches) continue;
        if (value) *value = std::string(arg.substr(prefix.size() + 1));
        for (int j = i; j + 1 < argc; ++j)
            argv[j] = argv[j + 1];
        --argc;
        return true;
    }
    return false;
}

double TakeNumber(int& argc, char** argv, std::string_view name, double fallback) {
    std::string value;
    return TakeFlag(argc, argv, name, &value) ? std::atof(value.c_str()) : fallback;
}

// Colours only on a terminal: a log written to a file stays plain text.
MedianKeeper::MedianKeeper()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void MedianKeeper::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
        const std::string& name = run.run_name.function_name;
        medians.ms[name] = Milliseconds(run);
        if (const auto items = run.counters.find("items_per_second"); items != run.counters.end())
            medians.itemsPerSecond[name] = items->second;
    }
}

std::optional<Medians> RunBenchmarks(int argc, char** argv, Repeats defaults) {
    std::vector<char*> args = WithDefaultFlags(argc, argv, defaults);
    int benchArgc = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&benchArgc, args.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, args.data())) return std::nullopt;
    MedianKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    benchmark::Shutdown();
    return keeper.medians;
}

int CheckMilliseconds(const Medians& medians, const std::vector<std::string>& names, double maxMs) {
    int result = 0;
    std::printf("\n");
    for (const std::string& name : names) {
        const auto it = medians.ms.find(name);
        if (it == medians.ms.end()) continue;
        const bool over = it->second > maxMs;
        std::printf("%-26s %7.3f ms (limit %g ms)%s\n", name.c_str(), it->second, maxMs,
                    over ? "  TOO SLOW" : "");
        if (over) result = 1;
    }
    return result;
}

}  // namespace ceph::bench
