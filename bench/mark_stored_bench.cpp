// Start-up looks through all nine record files for the patient's code before the window
// appears, so on a large practice's files this must stay close to the cost of merely
// reading them. This program writes nine files of 50,000 patients, times the look-up for
// a code found in no file (every file read to its end) and for one found near the end,
// and compares both with `grep -c` over the same files, timed in the same run (`cat`
// of the files is timed too, to show what merely reading them costs).
//
// Exits with 1 when a look-up takes more than --max_ratio (default 2) times grep.

#include <benchmark/benchmark.h>
#include <fcntl.h>
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
#include "ui/main_window.h"
#include "usecases/mark_stored.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using ceph::bench::RecordSet;

constexpr const char* kLookupAbsent = "MarkStoredTracings/absent";
constexpr const char* kLookupLate = "MarkStoredTracings/near_end";
constexpr const char* kGrep = "grep_c/absent";
constexpr const char* kCat = "cat";

struct Options {
    std::string dir;  // empty: a scratch folder, removed at the end
    double maxRatio = 2.0;
};

// Takes this program's own flags out of argv, leaving Google Benchmark's.
Options TakeOptions(int& argc, char** argv) {
    Options options;
    ceph::bench::TakeFlag(argc, argv, "records_dir", &options.dir);
    options.maxRatio = ceph::bench::TakeNumber(argc, argv, "max_ratio", options.maxRatio);
    return options;
}

std::vector<std::string> RecordPaths(const std::string& dir) {
    std::vector<std::string> paths;
    for (int n = 1; n <= ceph::ui::kTracingSlots; ++n)
        paths.push_back(dir + "/ceph-" + std::to_string(n));
    return paths;
}

// Runs a command over the record files with its output discarded; status 1 is grep's
// "no line matched", not an error.
void RunQuietly(std::vector<std::string> command, const std::vector<std::string>& paths) {
    command.insert(command.end(), paths.begin(), paths.end());
    std::vector<char*> args;
    for (std::string& arg : command)
        args.push_back(arg.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (failed || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        throw std::runtime_error(command[0] + " could not read the record files");
}

// Counting the patient's lines with grep asks the files the same question as the look-up.
std::vector<std::string> GrepCount(const std::string& code) {
    return {"grep", "-c", "--", "^" + code + ","};
}

// Start-up creates the menu items of slots 2..9 before it looks for the tracings.
void AddSlotMenus(ceph::ui::MainWindow& win) {
    for (int i = 1; i < ceph::ui::kTracingSlots; ++i) {
        const std::string caption = "第 " + std::to_string(i + 1) + " 張";
        ceph::ui::AddMenuItem(win.readn, i, caption);
        ceph::ui::AddMenuItem(win.comp, i, caption);
        ceph::ui::AddMenuItem(win.inputn, i, caption);
    }
}

// A look-up that found the wrong slots would time the wrong work.
void CheckLookup(ceph::ui::MainWindow& win, const std::string& code, bool expectFound) {
    ceph::usecases::MarkStoredTracings(win, code);
    for (int i = 0; i < ceph::ui::kTracingSlots; ++i) {
        if (win.readn[i].enabled != expectFound || win.comp[i].enabled != expectFound)
            throw std::runtime_error("look-up of " + code + " marked the wrong slots");
    }
}

void ReadOnce(const std::vector<std::string>& paths) {
    std::vector<char> block(1 << 20);
    for (const std::string& p : paths) {
        std::ifstream in(p, std::ios::binary);
        while (in.read(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
    }
}

int Compare(const std::map<std::string, double>& medians, double maxRatio) {
    auto grep = medians.find(kGrep);
    if (grep == medians.end()) {
        std::printf("\ngrep was not run: no ratio to check\n");
        return 0;
    }
    int result = 0;
    std::printf("\nmedian of grep -c over the nine files: %8.2f ms\n", grep->second);
    if (auto cat = medians.find(kCat); cat != medians.end())
        std::printf("median of cat over the nine files:     %8.2f ms (not checked)\n", cat->second);
    for (const char* name : {kLookupAbsent, kLookupLate}) {
        auto it = medians.find(name);
        if (it == medians.end()) continue;
        const double ratio = it->second / grep->second;
        const bool over = ratio > maxRatio;
        std::printf("median of %-27s %8.2f ms  ratio %.2f (limit %.2f)%s\n",
                    (std::string(name) + ":").c_str(), it->second, ratio, maxRatio,
                    over ? "  TOO SLOW" : "");
        if (over) result = 1;
    }
    return result;
}

// The files are rewritten on every run: the marker tells this program's own from a real
// data folder's.
fs::path Marker(const std::string& dir) {
    return fs::path(dir) / ".bench-records";
}

// Makes a scratch folder when none was given; false when the folder cannot be used.
bool PrepareFolder(std::string& dir) {
    const bool scratch = dir.empty();
    if (scratch) {
        char pattern[] = "/tmp/ceph-bench-XXXXXX";
        if (!mkdtemp(pattern)) {
            std::perror("mkdtemp");
            return false;
        }
        dir = pattern;
    }
    fs::create_directories(dir);
    if (!scratch && fs::exists(fs::path(dir) / "ceph-1") && !fs::exists(Marker(dir))) {
        std::fprintf(stderr, "%s holds record files this program did not write\n", dir.c_str());
        return false;
    }
    return true;
}

void WriteRecords(const std::string& dir, const RecordSet& set,
                  const std::vector<std::string>& paths) {
    ceph::bench::WriteRecordFiles(dir, set);
    std::ofstream{Marker(dir)};
    std::uintmax_t total = 0;
    for (const std::string& p : paths)
        total += fs::file_size(p);
    std::printf("record files: 9 x %d patients, %.1f MB in all, in %s\n", set.patientsPerFile,
                static_cast<double>(total) / 1e6, dir.c_str());
}

// The look-ups run in `win`; it and `paths` must outlive the run.
void RegisterBenchmarks(ceph::ui::MainWindow& win, const RecordSet& set,
                        const std::vector<std::string>& paths) {
    auto lookup = [&win](const std::string& code) {
        return [&win, code](benchmark::State& state) {
            for (auto _ : state)
                ceph::usecases::MarkStoredTracings(win, code);
        };
    };
    benchmark::RegisterBenchmark(kLookupAbsent, lookup(set.absentCode))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(kLookupLate, lookup(set.lateCode))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    auto command = [&paths](std::vector<std::string> args) {
        return [&paths, args](benchmark::State& state) {
            for (auto _ : state)
                RunQuietly(args, paths);
        };
    };
    benchmark::RegisterBenchmark(kGrep, command(GrepCount(set.absentCode)))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    // Only for the reader of the figures: the bare cost of reading the files.
    benchmark::RegisterBenchmark(kCat, command({"cat"}))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
    Options options = TakeOptions(argc, argv);
    const bool scratch = options.dir.empty();
    if (!PrepareFolder(options.dir)) return 2;

    const RecordSet set;
    const std::vector<std::string> paths = RecordPaths(options.dir);
    int result = 0;
    try {
        WriteRecords(options.dir, set, paths);
        ceph::ui::MainWindow win;
        AddSlotMenus(win);
        win.state.DataDir = options.dir + "/";
        CheckLookup(win, set.absentCode, false);
        CheckLookup(win, set.lateCode, true);
        ReadOnce(paths);  // every measurement then reads from the page cache
        RunQuietly(GrepCount(set.absentCode), paths);
        RegisterBenchmarks(win, set, paths);
        const auto medians = ceph::bench::RunBenchmarks(argc, argv);
        result = medians ? Compare(medians->ms, options.maxRatio) : 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        result = 2;
    }
    if (scratch) fs::remove_all(options.dir);
    return result;
}
