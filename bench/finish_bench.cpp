// Finishing a tracing rewrites the whole record file it goes into (under the lock, to a
// scratch file that is flushed to disk and renamed over it). On a record file of a
// busy practice, 50,000 patients, that must take at most twice what `cp` of the same
// file takes, timed in the same run:
//
//   StorePatientLines  the writer exactly as the finish button calls it, for a patient
//                      in the middle of the file, a different tracing every iteration;
//   cp                 `cp` of the record file to a new name in the same folder;
//   cp_then_sync       the same followed by `sync` of the copy, a copy as durable as
//                      the writer's (shown, not checked).
//
// Exits with 1 when the writer's median exceeds --max_ratio (default 2) times cp's.
//
//   finish_bench [--max_ratio=2] [benchmark flags]

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_flags.h"
#include "record_gen.h"
#include "records/record_store.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kStore = "StorePatientLines";
constexpr const char* kCp = "cp";
constexpr const char* kCpSync = "cp_then_sync";
constexpr int kPatients = 50000;

std::string Code(int i) {
    return std::to_string(10000 + i);
}

void Run(std::vector<std::string> command) {
    std::vector<char*> args;
    for (std::string& arg : command)
        args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command[0] + " failed");
}

class MedianKeeper : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medians;  // milliseconds, by benchmark name
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
};

}  // namespace

int main(int argc, char** argv) {
    const double maxRatio = ceph::bench::TakeNumber(argc, argv, "max_ratio", 2);
    std::vector<char*> args = ceph::bench::WithDefaultFlags(argc, argv);
    const char* base = std::getenv("FINISH_BENCH_DIR");
    std::string templ = std::string(base ? base : "/var/tmp") + "/ceph-finish-XXXXXX";
    char* pattern = templ.data();
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string dir = pattern;
    const std::string data = dir + "/";
    int result = 0;
    try {
        {
            std::ofstream out(data + "ceph-1", std::ios::binary);
            for (int i = 0; i < kPatients; ++i)
                out << ceph::bench::MakeRecordLine(Code(i), static_cast<unsigned>(i)) << "\r\n";
        }
        std::printf("record file: %d patients, %.1f MB, in %s\n", kPatients,
                    static_cast<double>(fs::file_size(data + "ceph-1")) / 1e6, dir.c_str());

        const std::string patient = Code(kPatients / 2);
        benchmark::RegisterBenchmark(
            kStore,
            [&](benchmark::State& state) {
                unsigned seed = 1;
                for (auto _ : state) {
                    const auto stored = ceph::records::StorePatientLines(
                        data, 1, {ceph::bench::MakeRecordLine(patient, ++seed)});
                    if (!stored.Ok()) throw std::runtime_error("store: " + stored.error.message());
                }
            })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        auto copy = [&data](bool sync) {
            return [&data, sync](benchmark::State& state) {
                for (auto _ : state) {
                    Run({"cp", data + "ceph-1", data + "copy"});
                    if (sync) Run({"sync", data + "copy"});
                }
            };
        };
        benchmark::RegisterBenchmark(kCp, copy(false))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        // Only for the reader: a copy that makes the writer's promise too (on the disk
        // when the command returns).
        benchmark::RegisterBenchmark(kCpSync, copy(true))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();

        int benchArgc = static_cast<int>(args.size()) - 1;
        benchmark::Initialize(&benchArgc, args.data());
        if (benchmark::ReportUnrecognizedArguments(benchArgc, args.data())) return 2;
        MedianKeeper reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        if (reporter.medians.count(kStore) && reporter.medians.count(kCp)) {
            const double ratio = reporter.medians[kStore] / reporter.medians[kCp];
            std::printf(
                "\nfinishing into %d patients: %.2f ms, cp %.2f ms, ratio %.2f (limit %.2f)%s\n",
                kPatients, reporter.medians[kStore], reporter.medians[kCp], ratio, maxRatio,
                ratio > maxRatio ? "  TOO SLOW" : "");
            result = ratio > maxRatio ? 1 : 0;
            if (reporter.medians.count(kCpSync))
                std::printf("cp then sync of the copy: %.2f ms (ratio %.2f, not checked)\n",
                            reporter.medians[kCpSync],
                            reporter.medians[kStore] / reporter.medians[kCpSync]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        result = 2;
    }
    fs::remove_all(dir);
    return result;
}
