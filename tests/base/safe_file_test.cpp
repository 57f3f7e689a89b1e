// Safe writes and the shared lock: replaced files are always whole, failures leave the
// old file and no debris, and a lock slot excludes other programs until it is let go.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ceph::base {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;
using testing::TempDir;

std::string Text(const fs::path& path) {
    return FromPath(path);
}

std::string Content(const fs::path& path) {
    std::string bytes;
    return ReadRegularFile(Text(path), bytes) ? "<unreadable>" : bytes;
}

// What the folder holds: a scratch file left behind shows up here.
Names Listing(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(FromPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string Pattern(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::mt19937 rng(seed);
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

TEST(AtomicFile, WritesNewFileAndReplacesOldOne) {
    TempDir dir;
    const std::string target = Text(dir.path() / "patient.dat");
    EXPECT_FALSE(WriteFileAtomically(target, "first\r\n"));
    EXPECT_EQ(Content(target), "first\r\n");

    // Many small pieces, then one larger than any buffer.
    std::string expected;
    AtomicFile file(target);
    for (int i = 0; i < 30000; ++i) {
        const std::string line = "line " + std::to_string(i) + "\r\n";
        expected += line;
        ASSERT_TRUE(file.Write(line));
    }
    const std::string big = Pattern(3 << 20, 1);
    expected += big;
    ASSERT_TRUE(file.Write(big));
    ASSERT_TRUE(file.Write("end"));
    expected += "end";
    EXPECT_EQ(Content(target), "first\r\n") << "the new content shows before Commit";
    ASSERT_TRUE(file.Commit()) << ErrorText(file.Error());
    EXPECT_FALSE(file.Error());
    EXPECT_EQ(Content(target), expected);
    EXPECT_EQ(Listing(dir.path()), Names{"patient.dat"});
}

TEST(AtomicFile, NameNearTheLengthLimitStillWorks) {
    // 84 three-byte characters: 252 bytes, the scratch suffix must not overflow it.
    std::string name;
    for (int i = 0; i < 84; ++i)
        name += "林";
    TempDir dir;
    const std::string target = Text(dir.path()) + "/" + name;
    EXPECT_FALSE(WriteFileAtomically(target, "a"));
    EXPECT_FALSE(WriteFileAtomically(target, "b"));
    EXPECT_EQ(Content(ToPath(target)), "b");
    EXPECT_EQ(Listing(dir.path()), Names{name});
}

TEST(AtomicFile, FailureLeavesTargetAsItWasAndNoScratch) {
    TempDir dir;
    const std::string old = Pattern(100000, 2);
    const std::string target = Text(dir.Write("old.dat", old));

    const fs::path missing = dir.path() / "no-such-folder" / "a.dat";
    EXPECT_EQ(WriteFileAtomically(Text(missing), "x"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    // A folder already under the target's name: refused, the folder kept with its files.
    dir.Write("taken/inside.dat", "keep");
    AtomicFile onFolder(Text(dir.path() / "taken"));
    EXPECT_TRUE(onFolder.Write("x"));
    EXPECT_FALSE(onFolder.Commit());
    EXPECT_EQ(onFolder.Error(), std::errc::is_a_directory) << onFolder.Error().message();
    EXPECT_FALSE(onFolder.Write("more")) << "a failed file takes no more writes";
    EXPECT_FALSE(onFolder.Commit());
    EXPECT_EQ(onFolder.Error(), std::errc::is_a_directory) << "the first error is kept";
    EXPECT_EQ(Content(dir.path() / "taken" / "inside.dat"), "keep");

    EXPECT_TRUE(WriteFileAtomically("", "x"));
    {
        AtomicFile abandoned(target);
        ASSERT_TRUE(abandoned.Write(Pattern(600000, 3)));
    }
    EXPECT_EQ(Content(target), old);
    EXPECT_EQ(Listing(dir.path()), (Names{"old.dat", "taken"}));
}

#ifndef _WIN32

// Runs `body` in a forked copy of this process; its return value comes back as the
// exit status, a signal that ended it as 128 + the signal number.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AtomicFile, ReplacementKeepsPermissionBits) {
    TempDir dir;
    const std::string target = Text(dir.path() / "shared.dat");
    const mode_t savedMask = ::umask(022);
    ASSERT_FALSE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(Mode(target), 0644u) << "a new file gets the usual mode";
    // Group-writable files of a shared folder must stay so, and private ones private.
    for (mode_t mode : {0664u, 0660u, 0600u, 0640u}) {
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        ASSERT_FALSE(WriteFileAtomically(target, "again " + std::to_string(mode)));
        EXPECT_EQ(Mode(target), mode);
    }
    ::umask(savedMask);
}

// A record file kept elsewhere behind a link is updated where it is: the links stay
// links, and no scratch file is left in either folder.
TEST(AtomicFile, WritesThroughSymbolicLinksAndKeepsThem) {
    TempDir dir;
    const fs::path data = dir.path() / "data", elsewhere = dir.path() / "elsewhere";
    fs::create_directories(data);
    dir.Write("elsewhere/ceph-2", "old\r\n");
    fs::create_symlink("../elsewhere/ceph-2", data / "ceph-2");
    fs::create_symlink(data / "ceph-2", data / "second");  // a link to the link
    for (const char* name : {"ceph-2", "second"}) {
        const std::string content = std::string("through ") + name;
        const std::error_code ec = WriteFileAtomically(Text(data / name), content);
        EXPECT_FALSE(ec) << ErrorText(ec);
        EXPECT_EQ(Content(elsewhere / "ceph-2"), content);
        EXPECT_TRUE(fs::is_symlink(data / name));
    }
    EXPECT_EQ(Listing(data), (Names{"ceph-2", "second"}));
    EXPECT_EQ(Listing(elsewhere), Names{"ceph-2"});
}

// Writing through a link to nothing would create a file wherever it points, outside
// the data folder perhaps: refused, by looking for a tracing as well as by saving.
TEST(AtomicFile, LinkToNothingIsRefusedAndNothingIsCreated) {
    TempDir dir;
    fs::create_directories(dir.path() / "data");
    fs::create_directories(dir.path() / "outside");
    const fs::path link = dir.path() / "data" / "ceph-2";
    fs::create_symlink("../outside/ceph-2", link);
    EXPECT_EQ(WriteFileAtomically(Text(link), "x"), DanglingLink());
    EXPECT_EQ(CreateEmptyFile(Text(link)), DanglingLink());
    EXPECT_EQ(ErrorText(DanglingLink()), "這是指向不存在檔案的連結");
    EXPECT_TRUE(fs::is_empty(dir.path() / "outside"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Listing(dir.path() / "data"), Names{"ceph-2"});
}

TEST(AtomicFile, FullDiskKeepsOldFile) {
    TempDir dir;
    const std::string old = Pattern(200000, 4);
    const std::string target = Text(dir.Write("old.dat", old));
    // The small content only reaches the disk in Commit, the large one while writing;
    // both hit the limit after a short write.
    for (std::size_t size : {std::size_t{64 * 1024}, std::size_t{4 << 20}}) {
        const std::string content = Pattern(size, 5);
        const int status = InChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16 * 1024, 16 * 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
            AtomicFile file(target);
            file.Write(content);
            if (file.Commit()) return 11;
            return file.Error() == std::errc::file_too_large ? 0 : 12;
        });
        EXPECT_EQ(status, 0) << size << " bytes";
        EXPECT_EQ(Content(target), old);
        EXPECT_EQ(Listing(dir.path()), Names{"old.dat"});
    }
}

// Which of the two versions the file holds, -1 for neither. Compared piece by piece
// through a small buffer: after each fork every page this process writes to costs a
// fault, and a whole-file buffer made reading the slowest part of the crash test.
int WhichVersion(const std::string& path, const std::string (&versions)[2]) {
    std::ifstream in(ToPath(path), std::ios::binary);
    bool candidate[2] = {true, true};
    static char piece[64 * 1024];
    std::size_t at = 0;
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        const std::string_view got(piece, static_cast<std::size_t>(in.gcount()));
        for (int v = 0; v < 2; ++v)
            candidate[v] = candidate[v] && at + got.size() <= versions[v].size() &&
                           versions[v].compare(at, got.size(), got) == 0;
        at += got.size();
    }
    for (int v = 0; v < 2; ++v)
        if (candidate[v] && at == versions[v].size()) return v;
    return -1;
}

// A writer killed at any moment leaves the old content or the new, never a mixture,
// an empty file or none.
TEST(AtomicFileCrash, KilledWriterLeavesOldOrNewContent) {
    TempDir dir;
    const std::string target = Text(dir.path() / "records.dat");
    const std::string versions[2] = {Pattern(2 << 20, 6), Pattern((2 << 20) + 4099, 7)};
    auto replace = [&target](const std::string& bytes) {
        AtomicFile file(target);
        for (std::size_t at = 0; at < bytes.size(); at += 64 * 1024)
            file.Write(std::string_view(bytes).substr(at, 64 * 1024));
        return file.Commit();
    };

    // Kills are spread over about two replacements, so they land in every phase.
    const auto start = Clock::now();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(replace(versions[i % 2]));
    const auto perReplace =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start) / 4;
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<long long> delay(0, 2 * perReplace.count() + 500);

    int current = 0;
    int changed = 0;
    int interrupted = 0;
    // 300 runs; a slow machine stops at its time budget once 100 are done.
    const auto budgetEnd = Clock::now() + 8s;
    for (int run = 0; run < 300 && (run < 100 || Clock::now() < budgetEnd); ++run) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 1;; ++i)
                if (!replace(versions[(current + i) % 2])) ::_exit(3);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed by itself";

        const int seen = WhichVersion(target, versions);
        std::error_code ec;
        ASSERT_NE(seen, -1) << "run " << run << " (seed " << seed
                            << "): " << fs::file_size(target, ec) << " bytes";
        changed += seen != current;
        current = seen;
        bool leftover = false;
        for (const std::string& name : Listing(dir.path())) {
            if (name == "records.dat") continue;
            fs::remove(dir.path() / name);
            leftover = true;
        }
        interrupted += leftover;
    }
    // Otherwise the kills missed the moments that matter.
    EXPECT_GT(changed, 0);
    EXPECT_GT(interrupted, 0);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Another program holding a slot of the lock file until told to let it go.
class LockHolder {
  public:
    LockHolder(const std::string& path, int slot) {
        int up[2], down[2];
        if (::pipe(up) != 0 || ::pipe(down) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(up[0]);
            ::close(down[1]);
            FileLock lock;
            const char ready = lock.Acquire(path, slot, 0ms) ? 'F' : 'L';
            Send(up[1], ready);
            // 'R': let go and stay alive; the end of the pipe: quit.
            while (Receive(down[0]) == 'R') {
                lock.Release();
                Send(up[1], 'r');
            }
            ::_exit(0);
        }
        ::close(up[1]);
        ::close(down[0]);
        up_ = up[0];
        down_ = down[1];
        holding_ = Receive(up_) == 'L';
    }
    ~LockHolder() {
        ::close(down_);
        ::close(up_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool Holding() const { return holding_; }
    void Release() {
        Send(down_, 'R');
        Receive(up_);
    }
    void Die() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    static void Send(int fd, char c) {
        while (::write(fd, &c, 1) < 0 && errno == EINTR) {
        }
    }
    static char Receive(int fd) {
        char c = 0;
        ssize_t n;
        while ((n = ::read(fd, &c, 1)) < 0 && errno == EINTR) {
        }
        return n == 1 ? c : 0;
    }

    pid_t pid_ = -1;
    int up_ = -1;
    int down_ = -1;
    bool holding_ = false;
};

TEST(FileLock, SlotHeldElsewhereTimesOutUntilReleased) {
    TempDir dir;
    const std::string path = Text(dir.path() / "ceph.lock");
    LockHolder other(path, 3);
    ASSERT_TRUE(other.Holding());

    FileLock lock;
    auto start = Clock::now();
    EXPECT_EQ(lock.Acquire(path, 3, 300ms), std::errc::timed_out);
    const double waited = Seconds(Clock::now() - start);
    EXPECT_GE(waited, 0.29);
    EXPECT_LT(waited, 1.0);
    EXPECT_FALSE(lock.Held());

    FileLock neighbour;
    EXPECT_FALSE(neighbour.Acquire(path, 4, 0ms)) << "another slot is free meanwhile";
    EXPECT_TRUE(neighbour.Held());

    // Let go while we wait: the waiter gets it soon after, not at the end of its wait.
    std::thread releaser([&other] {
        std::this_thread::sleep_for(150ms);
        other.Release();
    });
    start = Clock::now();
    EXPECT_FALSE(lock.Acquire(path, 3, 10s));
    const double tookOver = Seconds(Clock::now() - start);
    releaser.join();
    EXPECT_TRUE(lock.Held());
    EXPECT_GE(tookOver, 0.1);
    EXPECT_LT(tookOver, 2.0);
}

TEST(FileLock, SlotOfAProgramThatDiedIsFree) {
    TempDir dir;
    const std::string path = Text(dir.path() / "ceph.lock");
    FileLock lock;
    EXPECT_EQ(lock.Acquire(Text(dir.path() / "missing" / "ceph.lock"), 0, 0ms),
              std::errc::no_such_file_or_directory);

    LockHolder other(path, 0);
    ASSERT_TRUE(other.Holding());
    other.Die();
    EXPECT_FALSE(lock.Acquire(path, 0, 1s));
    // And now we are the ones who exclude.
    EXPECT_EQ(InChild([&path] {
                  FileLock mine;
                  return mine.Acquire(path, 0, 50ms) == std::errc::timed_out ? 0 : 1;
              }),
              0);
}

#ifdef F_OFD_SETLK
TEST(FileLock, LocksInOneProgramExcludeEachOther) {
    TempDir dir;
    const std::string path = Text(dir.path() / "ceph.lock");
    FileLock first, second;
    ASSERT_FALSE(first.Acquire(path, 1, 0ms));
    EXPECT_EQ(second.Acquire(path, 1, 60ms), std::errc::timed_out);

    // Closing other descriptors of the lock file must not drop the first lock.
    ASSERT_FALSE(second.Acquire(path, 2, 0ms));
    second.Release();
    ::close(::open(path.c_str(), O_RDONLY));
    EXPECT_EQ(InChild([&path] {
                  FileLock mine;
                  return mine.Acquire(path, 1, 0ms) == std::errc::timed_out ? 0 : 1;
              }),
              0);

    FileLock moved = std::move(first);
    EXPECT_FALSE(first.Held());
    EXPECT_EQ(second.Acquire(path, 1, 0ms), std::errc::timed_out) << "the lock moves along";
    moved.Release();
    EXPECT_FALSE(second.Acquire(path, 1, 0ms));
}
#endif

#endif  // _WIN32

// A file its owner keeps from the user (read-only, or another user's in a folder
// everyone may write) is not replaced by a copy of the user's: refused, kept as it was.
TEST(AtomicFile, FileTheUserMayNotWriteIsRefusedAndKept) {
    TempDir dir;
    const fs::path target = dir.Write("ceph-2", "old\r\n");
#ifdef _WIN32
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::remove);
    const std::error_code ec = WriteFileAtomically(Text(target), "new");
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ErrorText(ec), "沒有寫入權限") << ec.message();
#else
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    ASSERT_EQ(::chmod(dir.str().c_str(), 0777), 0);
    // The administrator may write anything, so the writer is someone else then.
    const bool asAnotherUser = ::geteuid() == 0;
    if (!asAnotherUser) {
        ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    }
    const int status = InChild([&] {
        if (asAnotherUser && ::setuid(65534) != 0) return 10;
        const std::error_code ec = WriteFileAtomically(Text(target), "new");
        return ec == std::errc::permission_denied && ErrorText(ec) == "沒有寫入權限" ? 0 : 11;
    });
    EXPECT_EQ(status, 0);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_ino, before.st_ino);
#endif
    EXPECT_EQ(Content(target), "old\r\n");
    EXPECT_EQ(Listing(dir.path()), Names{"ceph-2"});
}

TEST(SafeFileErrorText, CommonFailuresInTheClinicianWords) {
#ifdef _WIN32
    const std::error_code systemFull(112 /* ERROR_DISK_FULL */, std::system_category());
#else
    const std::error_code systemFull(ENOSPC, std::system_category());
#endif
    EXPECT_EQ(ErrorText(systemFull), "磁碟空間不足");
    EXPECT_EQ(ErrorText(std::make_error_code(std::errc::file_too_large)), "磁碟空間不足");
    EXPECT_EQ(ErrorText(std::make_error_code(std::errc::is_a_directory)), "這個名稱已是一個資料夾");
    EXPECT_EQ(ErrorText(std::make_error_code(std::errc::timed_out)),
              "檔案正被另一部電腦或程式使用，請稍後再試");
#if defined(EDQUOT) && !defined(_WIN32)
    EXPECT_EQ(ErrorText(std::error_code(EDQUOT, std::system_category())), "超過磁碟配額");
#endif
    const std::error_code other = std::make_error_code(std::errc::broken_pipe);
    EXPECT_EQ(ErrorText(other), other.message());
    EXPECT_EQ(ErrorText({}), "");
}

}  // namespace
}  // namespace ceph::base

namespace ceph::base {
namespace {

TEST(SourceFile, PartsOfAFileCopiedBetweenWritesKeepTheirOrder) {
    testing::TempDir dir;
    std::string big;
    for (int i = 0; big.size() < 3'000'000; ++i)
        big += std::to_string(i) + ",";
    const std::string source = dir.Write("source", big).string();
    const std::string target = (dir.path() / "target").string();

    SourceFile in;
    ASSERT_FALSE(in.Open(source));
    EXPECT_EQ(in.Size(), big.size());
    AtomicFile out(target);
    out.Write("head|");
    out.CopyFrom(in, 10, 2'500'000);
    out.Write("|middle|");
    out.CopyFrom(in, 0, 0);
    out.CopyFrom(in, big.size() - 7, 7);
    ASSERT_TRUE(out.Commit()) << out.Error().message();
    std::ifstream back(target, std::ios::binary);
    const std::string got((std::istreambuf_iterator<char>(back)), {});
    EXPECT_EQ(got, "head|" + big.substr(10, 2'500'000) + "|middle|" + big.substr(big.size() - 7));

    // Asking for more than the file holds fails the write instead of writing less.
    AtomicFile past(target);
    EXPECT_FALSE(past.CopyFrom(in, big.size() - 3, 10) && past.Commit());
    EXPECT_TRUE(past.Error());
    std::ifstream again(target, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), got);
}

TEST(SourceFile, OnlyRegularFilesAreOpened) {
    testing::TempDir dir;
    SourceFile in;
    EXPECT_EQ(in.Open((dir.path() / "missing").string()), std::errc::no_such_file_or_directory);
    EXPECT_EQ(in.Open(dir.str()), std::errc::is_a_directory);
    std::string bytes;
#ifndef _WIN32
    // A pipe where a file belongs must neither block nor be read.
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(in.Open(fifo), NotRegularFile());
    EXPECT_EQ(ErrorText(NotRegularFile()), "這不是一般檔案");
    bytes = "old";
    EXPECT_EQ(ReadRegularFile(fifo, bytes), NotRegularFile());
    EXPECT_EQ(bytes, "");
#endif
    EXPECT_FALSE(in.IsOpen());

    // Whole files, up to a limit that refuses what cannot be the file expected.
    const std::string file = (dir.path() / "f").string();
    ASSERT_FALSE(WriteFileAtomically(file, std::string(5000, 'x') + "end"));
    EXPECT_FALSE(ReadRegularFile(file, bytes));
    EXPECT_EQ(bytes, std::string(5000, 'x') + "end");
    EXPECT_FALSE(ReadRegularFile(file, bytes, 5003));
    EXPECT_EQ(ReadRegularFile(file, bytes, 5002), std::errc::value_too_large);
    EXPECT_EQ(ReadRegularFile(dir.str(), bytes), std::errc::is_a_directory);
}

}  // namespace
}  // namespace ceph::base
