#include <chrono>
#include <thread>

#include "base/os_files.h"
#include "base/safe_file.h"

namespace ceph::base {

using namespace os;

namespace {
constexpr std::chrono::milliseconds kLockPoll{25};
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
    std::intptr_t handle = kNoHandle;
    if (std::error_code ec = OpenLockFile(path, handle)) return ec;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::error_code ec;
        const LockTry outcome = TryLock(handle, slot, ec);
        if (outcome == LockTry::kTaken) {
            handle_ = handle;
            slot_ = slot;
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

void FileLock::Release() {
    if (handle_ == kNoHandle) return;
    Unlock(handle_, slot_);
    handle_ = kNoHandle;
}

}  // namespace ceph::base
