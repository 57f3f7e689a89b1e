// One data folder used by several programs, or by one program from several threads:
// a lock slot excludes every other holder, the lock file's own faults are told, and on
// Windows a replacement waits a moment for a reader and names a longer one as "in use".

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "store/record_store.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace ceph::base {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Windows locks belong to the handle and Linux's open-file-description locks to the
// open file, so two locks of one program exclude each other; classic POSIX record
// locks belong to the process and would not.
#if defined(_WIN32) || defined(F_OFD_SETLK)
constexpr bool kLocksExcludeWithinAProgram = true;
#else
constexpr bool kLocksExcludeWithinAProgram = false;
#endif

using testing::Slurp;

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(FromPath(entry.path().filename()));
    return names;
}

TEST(SharedFolder, LockSlotsExcludeOtherHoldersInTheSameProgram) {
    if (!kLocksExcludeWithinAProgram) GTEST_SKIP() << "record locks belong to the process here";
    testing::TempDir dir;
    const std::string path = FromPath(dir.path() / "ceph.lock");
    FileLock first, second;
    ASSERT_FALSE(first.Acquire(path, 1, 0ms));
    EXPECT_EQ(second.Acquire(path, 1, 60ms), std::errc::timed_out);
    EXPECT_FALSE(second.Held());
    EXPECT_FALSE(second.Acquire(path, 2, 0ms)) << "another slot is free meanwhile";

    // The moved lock still excludes; a waiter gets the slot soon after it is let go,
    // not at the end of its wait.
    FileLock moved = std::move(first);
    std::error_code waited;
    Clock::duration took{};
    std::thread waiter([&] {
        FileLock third;
        const auto start = Clock::now();
        waited = third.Acquire(path, 1, 10s);
        took = Clock::now() - start;
    });
    std::this_thread::sleep_for(150ms);
    moved.Release();
    waiter.join();
    EXPECT_FALSE(waited) << waited.message();
    EXPECT_GE(took, 100ms);
    EXPECT_LT(took, 2s);
}

TEST(SharedFolder, TwoThreadsSavingAtOnceLoseNoLine) {
    if (!kLocksExcludeWithinAProgram) GTEST_SKIP() << "record locks belong to the process here";
    testing::TempDir dir;
    const std::string data = dir.str() + kSeparator;
    dir.Write("ceph-1", "kept,0\r\n");
    constexpr int kSaves = 25;
    bool ok[2] = {true, true};
    auto saver = [&](int who) {
        for (int i = 0; i < kSaves; ++i) {
            const std::string code =
                std::string(1, static_cast<char>('A' + who)) + std::to_string(i);
            ok[who] &= store::StorePatientLines(data, 1, {code + ",x"}, 10s).ok();
        }
    };
    std::thread a(saver, 0), b(saver, 1);
    a.join();
    b.join();
    EXPECT_TRUE(ok[0] && ok[1]);
    const std::string stored = Slurp(dir.path() / "ceph-1");
    std::set<std::string> lines;
    for (std::size_t from = 0, at; (at = stored.find("\r\n", from)) != std::string::npos;
         from = at + 2)
        lines.insert(stored.substr(from, at - from));
    EXPECT_EQ(lines.size(), 1u + 2 * kSaves) << stored;
    EXPECT_EQ(lines.count("kept,0"), 1u);
    EXPECT_EQ(Listing(dir.path()).size(), 2u) << "the record file and the lock file, no scratch";
}

TEST(SharedFolder, TheLockFilesOwnFaultsAreTold) {
    testing::TempDir dir;
    FileLock lock;
    EXPECT_EQ(lock.Acquire(FromPath(dir.path() / "missing" / "ceph.lock"), 0, 0ms),
              std::errc::no_such_file_or_directory);
    fs::create_directory(dir.path() / "ceph.lock");
    const std::error_code folder = lock.Acquire(FromPath(dir.path() / "ceph.lock"), 0, 0ms);
    EXPECT_EQ(folder, std::errc::is_a_directory) << folder.message();
    EXPECT_EQ(ErrorText(folder), "這個名稱已是一個資料夾");
    EXPECT_FALSE(lock.Held());
}

// Saving where the data folder is gone names that folder, not the lock file in it; a
// lock file that is a link to nothing is told as such at once.
TEST(SharedFolder, SavingNamesAMissingDataFolderAndALockLinkToNothing) {
    testing::TempDir dir;
    const std::string gone = FromPath(dir.path() / "gone") + kSeparator;
    const store::StoreResult missing = store::StorePatientLines(gone, 2, {"A,x"}, 0ms);
    EXPECT_EQ(missing.why().file, gone);
    EXPECT_EQ(ErrorText(missing.why().error), "找不到資料夾");
#ifndef _WIN32
    const std::string data = dir.str() + kSeparator;
    fs::create_symlink(dir.path() / "elsewhere" / "ceph.lock", dir.path() / "ceph.lock");
    const auto start = Clock::now();
    const store::StoreResult dangling = store::StorePatientLines(data, 2, {"A,x"}, 5s);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(dangling.why().file, store::LockFilePath(data));
    EXPECT_EQ(ErrorText(dangling.why().error), "這是指向不存在檔案的連結");
    EXPECT_FALSE(fs::exists(dir.path() / "elsewhere"));
#endif
}

#ifndef _WIN32

// Another program that stores the line "B,x" as tracing 2 once told to. It is started
// before this program takes any lock, so that it shares none of them.
class SecondWriter {
  public:
    explicit SecondWriter(const std::string& data) {
        int go[2];
        if (::pipe(go) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(go[1]);
            char c;
            if (::read(go[0], &c, 1) != 1) ::_exit(2);
            ::_exit(store::StorePatientLines(data, 2, {"B,x"}, 10s).ok() ? 0 : 1);
        }
        ::close(go[0]);
        go_ = go[1];
    }
    ~SecondWriter() { Stored(); }
    void Go() {
        const char c = 'g';
        EXPECT_EQ(::write(go_, &c, 1), 1);
    }
    // Waits for it to end; true when it stored its line.
    bool Stored() {
        if (go_ >= 0) ::close(go_);
        go_ = -1;
        if (pid_ > 0) ::waitpid(pid_, &status_, 0);
        pid_ = -1;
        return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
    }

  private:
    pid_t pid_ = -1;
    int go_ = -1;
    int status_ = -1;
};

// The lock file replaced while another program waits in it: the slot it then gets in
// the old file keeps nobody out, so it waits again for whoever holds the new file.
TEST(SharedFolder, AWriterWaitingOnAReplacedLockFileWaitsForTheNewOne) {
    testing::TempDir dir;
    const std::string data = dir.str() + kSeparator;
    const std::string lockPath = store::LockFilePath(data);
    SecondWriter second(data);
    FileLock old;
    ASSERT_FALSE(old.Acquire(lockPath, 2, 0ms));
    second.Go();
    std::this_thread::sleep_for(200ms);  // it waits in the old file now
    dir.Write("ceph.lock.new", "");
    fs::rename(dir.path() / "ceph.lock.new", lockPath);
    FileLock current;
    ASSERT_FALSE(current.Acquire(lockPath, 2, 0ms));
    old.Release();
    // This program's save under the lock at the lock file's name: read, a while, write.
    const std::string before = Slurp(dir.path() / "ceph-2");
    std::this_thread::sleep_for(300ms);
    ASSERT_FALSE(WriteFileAtomically(data + "ceph-2", before + "A,x\r\n"));
    current.Release();
    EXPECT_TRUE(second.Stored());
    EXPECT_EQ(Slurp(dir.path() / "ceph-2"), "A,x\r\nB,x\r\n");
}

// The lock file deleted while a save holds it: the next program finds no lock and goes
// ahead. The holder's replacement is refused rather than undo that program's line, and
// a record rewrite starts again from reading, so both lines are kept.
TEST(SharedFolder, ASaveWhoseLockFileIsDeletedMeanwhileKeepsTheOtherProgramsLine) {
    testing::TempDir dir;
    const std::string data = dir.str() + kSeparator;
    const std::string lockPath = store::LockFilePath(data);
    {
        SecondWriter second(data);
        FileLock held;
        ASSERT_FALSE(held.Acquire(lockPath, 2, 0ms));
        AtomicFile out(data + "ceph-2");
        out.Write("A,x\r\n");
        fs::remove(lockPath);
        second.Go();
        EXPECT_TRUE(second.Stored());
        EXPECT_FALSE(out.Commit(&held));
        EXPECT_EQ(out.Error(), LockLost());
        EXPECT_EQ(ErrorText(out.Error()), "存檔時資料夾的鎖定檔被刪除或換掉，請再試一次");
        EXPECT_EQ(Slurp(dir.path() / "ceph-2"), "B,x\r\n");
    }
    fs::remove(dir.path() / "ceph-2");
    dir.Write("ceph-2", "C,x\r\n");
    SecondWriter second(data);
    bool deleted = false;
    auto dropA = [&](std::string_view line, std::string&) {
        if (!deleted) {
            deleted = true;
            fs::remove(lockPath);
            second.Go();
            EXPECT_TRUE(second.Stored());
        }
        return line.substr(0, 2) == "A,";
    };
    EXPECT_TRUE(store::RewriteRecordFile(data, 2, dropA, "A,y\r\n", 0ms).ok());
    EXPECT_EQ(Slurp(dir.path() / "ceph-2"), "C,x\r\nB,x\r\nA,y\r\n");
}

#endif  // !_WIN32

#ifdef _WIN32

// Another program reading the file the way most Windows programs open files: without
// letting anyone delete or rename over it meanwhile.
HANDLE HoldWithoutDeleteSharing(const fs::path& p) {
    return ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(SharedFolder, AReplacementWaitsAMomentForAReader) {
    testing::TempDir dir;
    const fs::path target = dir.Write("ceph-1", "old");
    HANDLE reader = HoldWithoutDeleteSharing(target);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread closer([reader] {
        std::this_thread::sleep_for(150ms);
        ::CloseHandle(reader);
    });
    const std::error_code ec = WriteFileAtomically(FromPath(target), "new");
    closer.join();
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_EQ(Slurp(target), "new");
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"ceph-1"});
}

TEST(SharedFolder, AFileHeldOpenLongerIsToldAsInUseAndKept) {
    testing::TempDir dir;
    const fs::path target = dir.Write("ceph-1", "old");
    HANDLE reader = HoldWithoutDeleteSharing(target);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const std::error_code ec = WriteFileAtomically(FromPath(target), "new");
    ::CloseHandle(reader);
    EXPECT_TRUE(ec);
    EXPECT_EQ(ErrorText(ec), "檔案正被另一部電腦或程式使用，請稍後再試") << ec.message();
    EXPECT_EQ(Slurp(target), "old");
    EXPECT_EQ(Listing(dir.path()), std::vector<std::string>{"ceph-1"});
}

#endif  // _WIN32

}  // namespace
}  // namespace ceph::base
