#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/os_files.h"
#include "base/safe_file.h"

namespace ceph::base {

using namespace os;

namespace {

constexpr std::chrono::milliseconds kLockPoll{25};
// A lock file that loses its name again every time it is taken is not one to work with.
constexpr int kMaxRetakes = 100;

// The locks this program holds, so that a replacement can check them.
struct HeldLock {
    std::intptr_t handle;
    std::string path;
};

std::mutex& HeldMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<HeldLock>& HeldLocks() {
    static std::vector<HeldLock> held;
    return held;
}

std::string_view FolderText(std::string_view path) {
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("\\/");
#else
    const std::size_t cut = path.find_last_of('/');
#endif
    return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
}

}  // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_), slot_(other.slot_) {
    other.handle_ = kNoHandle;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        slot_ = other.slot_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

std::error_code FileLock::Acquire(std::string_view path, int slot, std::chrono::milliseconds wait) {
    Release();
    if (path.empty() || slot < 0) return Errc(std::errc::invalid_argument);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (int take = 0; take < kMaxRetakes; ++take) {
        std::intptr_t handle = kNoHandle;
        if (std::error_code ec = OpenLockFile(path, handle)) return MissingTold(ec, path);
        for (;;) {
            std::error_code ec;
            const LockTry outcome = TryLock(handle, slot, ec);
            if (outcome == LockTry::kTaken) {
                // Someone may have deleted or replaced the file while we waited for it;
                // whoever opened the new one then holds the slot there, not here.
                if (!SameFileAt(handle, path)) {
                    Unlock(handle, slot);
                    break;
                }
                handle_ = handle;
                slot_ = slot;
                const std::lock_guard<std::mutex> guard(HeldMutex());
                HeldLocks().push_back({handle, std::string(path)});
                return {};
            }
            const auto now = std::chrono::steady_clock::now();
            if (outcome == LockTry::kBusy && now >= deadline) ec = Errc(std::errc::timed_out);
            if (ec) {
                Unlock(handle, slot);
                return ec;
            }
            std::this_thread::sleep_for(
                std::min<std::chrono::steady_clock::duration>(kLockPoll, deadline - now));
        }
    }
    return LockLost();
}

void FileLock::Release() {
    if (handle_ == kNoHandle) return;
    {
        const std::lock_guard<std::mutex> guard(HeldMutex());
        std::vector<HeldLock>& held = HeldLocks();
        held.erase(std::remove_if(held.begin(), held.end(),
                                  [this](const HeldLock& h) { return h.handle == handle_; }),
                   held.end());
    }
    Unlock(handle_, slot_);
    handle_ = kNoHandle;
}

std::error_code HeldLocksStillInPlace(std::string_view path) {
    const std::string_view folder = FolderText(path);
    const std::lock_guard<std::mutex> guard(HeldMutex());
    for (const HeldLock& held : HeldLocks())
        if (FolderText(held.path) == folder && !SameFileAt(held.handle, held.path))
            return LockLost();
    return {};
}

}  // namespace ceph::base
