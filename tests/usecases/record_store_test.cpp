// The record writer under the conditions of a shared data folder: another program
// holding the file, two programs saving at the same moment, and a program killed in the
// middle of replacing the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "base/safe_file.h"
#include "store/film_positions.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "store/record_store.h"
#include "support/temp_dir.h"
#include "usecases/mark_stored.h"
#include "usecases/show.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ceph::store {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using testing::Slurp;

TEST(RecordStore, PatientLinesReplacedAndMovedToTheEnd) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    dir.Write("ceph-5", "a,1\r\nb,2\nc,3\r\n a ,4\r\nd,5");
    ASSERT_TRUE(StorePatientLines(data, 5, {"c,new", "a,new"}).ok());
    // Lines of other patients keep their text and order; every line ends in CR LF.
    EXPECT_EQ(Slurp(dir.path() / "ceph-5"), "b,2\r\nd,5\r\nc,new\r\na,new\r\n");

    // A missing record file is written with just the new line.
    ASSERT_TRUE(StorePatientLines(data, 6, {"z,1"}).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-6"), "z,1\r\n");
}

const std::string kMark = "\xEF\xBB\xBF";

TEST(RecordStore, AByteOrderMarkHidesNoPatientAndStaysAtTheStart) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    const std::string line = "00101,1.0,2.0,0,45Y 3M";
    dir.Write("ceph-1", kMark + line + "\r\nb,2\r\n");
    ui::MainWindow win;
    win.state.DataDir = data;
    win.state.Patient.code = "00101";
    for (int i = 1; i < ui::kTracingSlots; ++i)
        ui::AddMenuItem(win.readn, i, ""), ui::AddMenuItem(win.comp, i, ""),
            ui::AddMenuItem(win.inputn, i, "");
    EXPECT_TRUE(usecases::MarkStoredTracings(win, "00101").empty());
    EXPECT_TRUE(win.readn[0].enabled);
    const TracingLookup found = store::FindTracing(win.state.DataDir, win.state.Patient.code, 0);
    EXPECT_TRUE(found.ok() && found->has_value());

    // Finishing again replaces the line instead of adding a second one.
    ASSERT_TRUE(StorePatientLines(data, 1, {"00101,new"}).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-1"), kMark + "b,2\r\n00101,new\r\n");
    auto adjust = [](std::string_view l, std::string& out) {
        out = std::string(l) + ",x\r\n";
        return l == "b,2";
    };
    ASSERT_TRUE(RewriteRecordFile(data, 1, adjust, {}).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-1"), kMark + "b,2,x\r\n00101,new\r\n");
    // A file holding nothing but the mark.
    dir.Write("ceph-2", kMark);
    ASSERT_TRUE(StorePatientLines(data, 2, {"z,1"}).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-2"), kMark + "z,1\r\n");
}

TEST(RecordStore, LinesTooLongForRecordLinesAreKeptByteForByteAndOwnedByNobody) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    // One ends in a lone LF, one in CR LF; one starts with the patient's code.
    const std::string longA(2 << 20, 'x'), longB = "00101," + std::string(kMaxRecordLine, '7');
    dir.Write("ceph-4", "a,1\r\n" + longA + "\n00101,old\r\n" + longB + "\r\nc,3");
    ASSERT_TRUE(StorePatientLines(data, 4, {"00101,new"}).ok());
    EXPECT_TRUE(Slurp(dir.path() / "ceph-4") ==
                "a,1\r\n" + longA + "\r\n" + longB + "\r\nc,3\r\n00101,new\r\n");
}

#ifndef _WIN32

// Whether this build can run a child in a small address space: sanitizers reserve
// terabytes of it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kCanLimitMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kCanLimitMemory = false;
#else
constexpr bool kCanLimitMemory = true;
#endif
#else
constexpr bool kCanLimitMemory = true;
#endif

TEST(RecordReader, AHugeLineIsSkippedInBoundedMemoryAndTold) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    // A 2 MB line, and a 600 MB one that takes no disk (a hole reads as zero bytes).
    dir.Write("ceph-1", "a,1\r\n" + std::string(2 << 20, 'x') + "\r\n00101,1.0\r\n");
    const std::string head = "a,1\r\n", tail = "\r\n00101,1.0\r\n";
    const int fd = ::open((dir.path() / "ceph-2").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    const off_t end = 600 << 20;
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), end), static_cast<ssize_t>(tail.size()));
    ::close(fd);

    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{256 << 20, 256 << 20};
        if (kCanLimitMemory && setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
        ui::MainWindow win;
        win.state.DataDir = data;
        for (int i = 1; i < ui::kTracingSlots; ++i)
            ui::AddMenuItem(win.readn, i, ""), ui::AddMenuItem(win.comp, i, ""),
                ui::AddMenuItem(win.inputn, i, "");
        const std::vector<std::string> told = usecases::MarkStoredTracings(win, "00101");
        const bool found = win.readn[0].enabled && win.readn[1].enabled;
        const bool named =
            told == std::vector<std::string>{usecases::OverlongLinesText(data + "ceph-1", 2, 1),
                                             usecases::OverlongLinesText(data + "ceph-2", 2, 1)};
        _exit(found && named ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        out.push_back(text.substr(from, at - from));
    if (from < text.size()) out.push_back(text.substr(from) + "<unterminated>");
    return out;
}

// Runs `body` in a child process; its exit status is 0 when the body returned true.
pid_t Child(const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    return pid;
}

int Reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(RecordStore, AFileLockedElsewhereIsLeftAloneAndSaid) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    dir.Write("ceph-3", "x,1\r\n");
    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t holder = Child([&] {
        base::FileLock lock;
        if (lock.Acquire(LockFilePath(data), 3, 1s)) return false;
        char c = 1;
        if (write(ready[1], &c, 1) != 1) return false;
        return read(done[0], &c, 1) == 1;  // hold until the parent has tried
    });
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);

    const StoreResult blocked = StorePatientLines(data, 3, {"y,2"}, 150ms);
    EXPECT_EQ(blocked.why().error, std::errc::timed_out);
    EXPECT_EQ(blocked.why().file, data + "ceph-3");
    EXPECT_EQ(Slurp(dir.path() / "ceph-3"), "x,1\r\n");
    // Another record file is not held up meanwhile.
    EXPECT_TRUE(StorePatientLines(data, 4, {"y,2"}, 150ms).ok());

    EXPECT_EQ(write(done[1], &c, 1), 1);
    EXPECT_EQ(Reap(holder), 0);
    EXPECT_TRUE(StorePatientLines(data, 3, {"y,2"}, 150ms).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-3"), "x,1\r\ny,2\r\n");
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        close(fd);
}

TEST(RecordStore, TwoProgramsSavingAtOnceLoseNoLine) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    dir.Write("ceph-1", "kept,0\r\n");
    constexpr int kSaves = 60;
    auto saver = [&](char who) {
        return [&data, who] {
            for (int i = 0; i < kSaves; ++i) {
                const std::string code = std::string(1, who) + std::to_string(i);
                if (!StorePatientLines(data, 1, {code + ",tracing of " + code}).ok()) return false;
            }
            return true;
        };
    };
    const pid_t a = Child(saver('A')), b = Child(saver('B'));
    EXPECT_EQ(Reap(a), 0);
    EXPECT_EQ(Reap(b), 0);

    const std::vector<std::string> lines = Lines(Slurp(dir.path() / "ceph-1"));
    ASSERT_EQ(lines.size(), 1u + 2 * kSaves);
    EXPECT_EQ(lines[0], "kept,0");
    std::set<std::string> seen(lines.begin(), lines.end());
    for (char who : {'A', 'B'}) {
        for (int i = 0; i < kSaves; ++i) {
            const std::string code = std::string(1, who) + std::to_string(i);
            EXPECT_EQ(seen.count(code + ",tracing of " + code), 1u) << code;
        }
    }
}

TEST(RecordStore, TwoProgramsSavingAtOnceLoseNoFilmPositions) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    constexpr int kSaves = 40;
    auto saver = [&](char who) {
        return [&data, who] {
            for (int i = 0; i < kSaves; ++i) {
                const std::string code = std::string(1, who) + std::to_string(i);
                model::FilmPositions film;
                film.picture = code + ".jpg", film.width = film.height = 100;
                film.digest = "0123456789abcdef";
                FollowingFile positions = StoreFilmPositions(4, code, film);
                if (!StorePatientLines(data, 4, {code + ",t"}, kLockWait, &positions).ok() ||
                    !positions.outcome || !positions.outcome->ok())
                    return false;
            }
            return true;
        };
    };
    const pid_t a = Child(saver('A')), b = Child(saver('B'));
    EXPECT_EQ(Reap(a), 0);
    EXPECT_EQ(Reap(b), 0);
    const std::vector<PositionsLine> lines = ReadFilmPositionsFile(data, 4);
    ASSERT_EQ(lines.size(), 2u * kSaves);
    std::set<std::string> seen;
    for (const PositionsLine& line : lines)
        seen.insert(line.code);
    EXPECT_EQ(seen.size(), 2u * kSaves);
}

TEST(RecordStore, KilledWhileReplacingLeavesTheOldOrTheNewFile) {
    testing::TempDir dir;
    const std::string data = dir.str() + "/";
    std::string others;
    for (int i = 0; i < 4000; ++i)
        others += "P" + std::to_string(i) + "," + std::string(200, 'x') + "\r\n";
    dir.Write("ceph-2", others + "00101,age 0\r\n");

    // Kills land anywhere within about two replacements, however fast this machine
    // (or a sanitizer build) is; the run count shrinks on a slow one.
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(StorePatientLines(data, 2, {"00101,age 0"}).ok());
    const auto once = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begin);
    const long spread = 2 * once.count() + 2000;
    std::mt19937 random(12345);
    int killedMidway = 0;
    for (int run = 0; run < 200; ++run) {
        if (run >= 60 && std::chrono::steady_clock::now() - begin > 8s) break;
        const pid_t writer = Child([&] {
            for (int k = 1;; ++k)
                (void)StorePatientLines(data, 2,
                                        {"00101,age " + std::to_string(k)});  // killed mid-write
            return true;
        });
        std::this_thread::sleep_for(std::chrono::microseconds(random() % spread));
        kill(writer, SIGKILL);
        Reap(writer);

        const std::string now = Slurp(dir.path() / "ceph-2");
        ASSERT_EQ(now.compare(0, others.size(), others), 0) << "run " << run;
        const std::string last = now.substr(others.size());
        ASSERT_EQ(last.rfind("00101,age ", 0), 0u) << "run " << run << ": " << last;
        ASSERT_EQ(last.find("\r\n"), last.size() - 2) << "run " << run << ": " << last;
        killedMidway += last != "00101,age 0\r\n";
    }
    EXPECT_GT(killedMidway, 0) << "some runs got as far as a replacement";

    // The next save clears away what the killed writers left half-written.
    ASSERT_TRUE(StorePatientLines(data, 2, {"00101,age 0"}).ok());
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("ceph-2.tmp-"), std::string::npos) << e.path();
}

#endif

}  // namespace
}  // namespace ceph::store
