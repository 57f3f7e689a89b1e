#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "base/os_files.h"
#include "base/safe_file.h"

namespace ceph::base {

using namespace os;

namespace {

constexpr std::chrono::milliseconds kLockPoll{25};
// A lock file that loses its name again every time it is taken is not one to work with.
constexpr int kMaxRetakes = 100;

}  // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : handle_(other.handle_), slot_(other.slot_), path_(std::move(other.path_)) {
    other.handle_ = kNoHandle;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = other.handle_;
        slot_ = other.slot_;
        path_ = std::move(other.path_);
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
                path_ = std::string(path);
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
    Unlock(handle_, slot_);
    handle_ = kNoHandle;
}

std::error_code FileLock::StillInPlace() const {
    if (handle_ == kNoHandle || !SameFileAt(handle_, path_)) return LockLost();
    return {};
}

}  // namespace ceph::base
