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
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "record_gen.h"
#include "store/record_store.h"

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

// A scratch folder under FINISH_BENCH_DIR (default /var/tmp); empty when none could be made.
std::string MakeScratchFolder() {
    const char* base = std::getenv("FINISH_BENCH_DIR");
    std::string templ = std::string(base ? base : "/var/tmp") + "/ceph-finish-XXXXXX";
    if (!mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        return {};
    }
    return templ;
}

void WriteRecordFile(const std::string& dir) {
    const std::string path = dir + "/ceph-1";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < kPatients; ++i)
            out << ceph::bench::MakeRecordLine(Code(i), static_cast<unsigned>(i)) << "\r\n";
    }
    std::printf("record file: %d patients, %.1f MB, in %s\n", kPatients,
                static_cast<double>(fs::file_size(path)) / 1e6, dir.c_str());
}

// The benchmarks work in `data`, which must outlive their run.
void RegisterBenchmarks(const std::string& data) {
    const std::string patient = Code(kPatients / 2);
    benchmark::RegisterBenchmark(
        kStore,
        [&data, patient](benchmark::State& state) {
            unsigned seed = 1;
            for (auto _ : state) {
                const auto stored = ceph::store::StorePatientLines(
                    data, 1, {ceph::bench::MakeRecordLine(patient, ++seed)});
                if (!stored.ok())
                    throw std::runtime_error("store: " + stored.why().error.message());
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
    benchmark::RegisterBenchmark(kCp, copy(false))->Unit(benchmark::kMillisecond)->UseRealTime();
    // Only for the reader: a copy that makes the writer's promise too (on the disk
    // when the command returns).
    benchmark::RegisterBenchmark(kCpSync, copy(true))->Unit(benchmark::kMillisecond)->UseRealTime();
}

// The writer against cp; 1 when it takes more than `maxRatio` times as long.
int Compare(std::map<std::string, double>& ms, double maxRatio) {
    if (!ms.count(kStore) || !ms.count(kCp)) return 0;
    const double ratio = ms[kStore] / ms[kCp];
    std::printf("\nfinishing into %d patients: %.2f ms, cp %.2f ms, ratio %.2f (limit %.2f)%s\n",
                kPatients, ms[kStore], ms[kCp], ratio, maxRatio,
                ratio > maxRatio ? "  TOO SLOW" : "");
    if (ms.count(kCpSync))
        std::printf("cp then sync of the copy: %.2f ms (ratio %.2f, not checked)\n", ms[kCpSync],
                    ms[kStore] / ms[kCpSync]);
    return ratio > maxRatio ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const double maxRatio = ceph::bench::TakeNumber(argc, argv, "max_ratio", 2);
    const std::string dir = MakeScratchFolder();
    if (dir.empty()) return 2;
    const std::string data = dir + "/";
    int result = 0;
    try {
        WriteRecordFile(dir);
        RegisterBenchmarks(data);
        auto medians = ceph::bench::RunBenchmarks(argc, argv);
        result = medians ? Compare(medians->ms, maxRatio) : 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        result = 2;
    }
    fs::remove_all(dir);
    return result;
}
