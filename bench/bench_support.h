#pragma once
// What every benchmark program shares: its own "--name=value" flags are taken out of
// argv, Google Benchmark gets the rest with the repetitions the checks rely on unless the
// command line says otherwise, and the checks read the median of each benchmark.

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ceph::bench {

// Removes "--name=value" (a switch: "--name") from argv; true when it was given, with
// the value in `value` when one is asked for.
bool TakeFlag(int& argc, char** argv, std::string_view name, std::string* value = nullptr);

// A number flag, `fallback` when absent.
double TakeNumber(int& argc, char** argv, std::string_view name, double fallback);

// The median of each benchmark's repetitions, by benchmark name.
struct Medians {
    std::map<std::string, double> ms;              // real time of one iteration
    std::map<std::string, double> itemsPerSecond;  // of benchmarks that count items
};

// Shows the usual console table and keeps the medians.
class MedianKeeper : public benchmark::ConsoleReporter {
  public:
    MedianKeeper();
    void ReportRuns(const std::vector<Run>& runs) override;

    Medians medians;
};

// How a program repeats its benchmarks unless its command line says otherwise.
struct Repeats {
    int count = 9;
    bool interleaved = true;  // the repetitions of all benchmarks in random order
};

// Runs the registered benchmarks with the Google Benchmark flags left in argv, showing
// the console table; nothing when argv holds an argument no one knows (Google Benchmark
// has then said which).
std::optional<Medians> RunBenchmarks(int argc, char** argv, Repeats defaults = {});

// Prints the median of each named benchmark against `maxMs` (a name that did not run is
// passed over) and returns 1 when any is slower, else 0: the program's exit status.
int CheckMilliseconds(const Medians& medians, const std::vector<std::string>& names, double maxMs);

}  // namespace ceph::bench
