#include "base/safe_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <random>
#include <thread>

#include "base/filesys.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace ceph::base {

namespace {

// Large enough that a record file goes out in a few system calls, small enough to be
// nothing beside the pictures the program holds.
constexpr std::size_t kBufferSize = 256 * 1024;
// One write call never asks for more than this; some systems refuse larger counts.
constexpr std::size_t kMaxWriteChunk = std::size_t{1} << 30;
// Longest file name (one path component) the common file systems accept, in bytes of
// UTF-8 on Linux and in UTF-16 units on Windows; bytes are never fewer than units.
constexpr std::size_t kMaxNameLength = 255;
constexpr std::chrono::milliseconds kLockPoll{25};
constexpr std::intptr_t kNoHandle = -1;

std::error_code Errc(std::errc e) {
    return std::make_error_code(e);
}

std::error_code LastError() {
#ifdef _WIN32
    return {static_cast<int>(::GetLastError()), std::system_category()};
#else
    return {errno, std::system_category()};
#endif
}

unsigned long CurrentProcessId() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

// 64 bits that differ between programs and between calls. The process id in the
// scratch name already separates programs on one machine; this separates machines
// sharing the folder and calls within one program.
std::uint64_t UniqueBits() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t bits =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device rd;
        bits ^= (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
    } catch (...) {
        // No entropy source: the clock and the counter still make a fresh name, and
        // the exclusive create catches whatever collision remains.
    }
    return bits + 0x9E3779B97F4A7C15ull * ++counter;
}

std::string Hex(std::uint64_t v) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[v & 0xF];
    return out;
}

// The target's name with a suffix of its own, shortened (at a whole UTF-8 character)
// where the suffix would push the name past what the file system accepts.
std::string ScratchName(const std::string& target) {
    const std::string suffix =
        ".tmp-" + std::to_string(CurrentProcessId()) + "-" + Hex(UniqueBits());
    const std::size_t nameStart = target.find_last_of(
#ifdef _WIN32
        "\\/"
#else
        "/"
#endif
    );
    const std::size_t begin = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t end = target.size();
    if (end - begin + suffix.size() > kMaxNameLength) {
        end = begin + (kMaxNameLength - suffix.size());
        while (end > begin && (static_cast<unsigned char>(target[end]) & 0xC0) == 0x80)
            --end;
    }
    return target.substr(0, end) + suffix;
}

#ifdef _WIN32

HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// Paths arrive as UTF-8 text. Text that does not convert names no file we could use,
// and its exception must not escape (least of all from a destructor).
std::error_code Wide(std::string_view utf8, std::wstring& wide) {
    try {
        wide = ToPath(utf8).wstring();
        return {};
    } catch (...) {
        return Errc(std::errc::invalid_argument);
    }
}

std::error_code CreateExclusive(const std::string& path, std::intptr_t& handle) {
    std::wstring name;
    if (std::error_code ec = Wide(path, name)) return ec;
    HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS)
            return Errc(std::errc::file_exists);
        return {static_cast<int>(err), std::system_category()};
    }
    handle = reinterpret_cast<std::intptr_t>(h);
    return {};
}

std::error_code WriteAll(std::intptr_t handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD ask = static_cast<DWORD>(std::min(bytes.size(), kMaxWriteChunk));
        DWORD done = 0;
        if (!::WriteFile(AsHandle(handle), bytes.data(), ask, &done, nullptr)) return LastError();
        if (done == 0) return Errc(std::errc::io_error);
        bytes.remove_prefix(done);
    }
    return {};
}

std::error_code SyncData(std::intptr_t handle) {
    if (!::FlushFileBuffers(AsHandle(handle))) return LastError();
    return {};
}

// Writing back early is a matter for the cache manager here.
void StartWriteback(std::intptr_t, std::uint64_t, std::size_t) {}

// Windows keeps permissions in the folder's inherited access lists, not per file.
std::error_code KeepOwnerAndMode(std::intptr_t, const std::string&) {
    return {};
}

std::error_code CloseChecked(std::intptr_t handle) {
    if (!::CloseHandle(AsHandle(handle))) return LastError();
    return {};
}

void CloseQuietly(std::intptr_t handle) {
    ::CloseHandle(AsHandle(handle));
}

void RemoveQuietly(const std::string& path) {
    std::wstring name;
    if (!Wide(path, name)) ::DeleteFileW(name.c_str());
}

std::error_code Replace(const std::string& scratch, const std::string& target) {
    std::wstring from, to;
    if (std::error_code ec = Wide(scratch, from)) return ec;
    if (std::error_code ec = Wide(target, to)) return ec;
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Errc(std::errc::is_a_directory);
    // Virus scanners and indexers open fresh files for a moment without sharing them;
    // give them a little time before calling the target taken.
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD err = ::GetLastError();
        if (attempt >= 10 || (err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION))
            return {static_cast<int>(err), std::system_category()};
        ::Sleep(50);
    }
}

// MOVEFILE_WRITE_THROUGH has already made the rename durable.
void SyncFolderOf(const std::string&) {}

#else  // POSIX

int AsFd(std::intptr_t h) {
    return static_cast<int>(h);
}

std::error_code CreateExclusive(const std::string& path, std::intptr_t& handle) {
    for (;;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            handle = fd;
            return {};
        }
        if (errno != EINTR) return LastError();
    }
}

std::error_code WriteAll(std::intptr_t handle, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done =
            ::write(AsFd(handle), bytes.data(), std::min(bytes.size(), kMaxWriteChunk));
        if (done < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (done == 0) return Errc(std::errc::io_error);
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return {};
}

std::error_code SyncData(std::intptr_t handle) {
    for (;;) {
#ifdef __linux__
        const int r = ::fdatasync(AsFd(handle));
#else
        const int r = ::fsync(AsFd(handle));
#endif
        if (r == 0) return {};
        if (errno != EINTR) return LastError();
    }
}

// Starts writing what was just written to the disk without waiting for it, so that by
// the time the commit syncs, most of a large file is already there: the disk works
// while the rest of the file is being prepared.
void StartWriteback([[maybe_unused]] std::intptr_t handle, [[maybe_unused]] std::uint64_t offset,
                    [[maybe_unused]] std::size_t length) {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
    ::sync_file_range(AsFd(handle), static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#endif
}

// Gives the scratch file the group and permission bits of the file it replaces: in a
// folder shared by several users the other workstations must still be able to rewrite
// it. Nothing to do for a new file, and nothing when the target is not a plain file
// (the rename will refuse a folder).
std::error_code KeepOwnerAndMode(std::intptr_t handle, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return {};
    const int fd = AsFd(handle);
    struct stat now {};
    if (::fstat(fd, &now) != 0) return LastError();
    // Only a member of the group may hand the file to it; otherwise the new file stays
    // in our own group, as any file we create would.
    if (now.st_gid != old.st_gid && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0)
        ::fstat(fd, &now);
    // Skipping an unneeded change keeps file systems without Unix permissions (where
    // every file shows the same bits and changing them fails) working.
    const mode_t want = old.st_mode & 07777;
    if ((now.st_mode & 07777) == want) return {};
    while (::fchmod(fd, want) != 0)
        if (errno != EINTR) return LastError();
    return {};
}

std::error_code CloseChecked(std::intptr_t handle) {
    // Network file systems report delayed write errors here. EINTR is not one of them:
    // the data has been synced already and Linux has released the descriptor anyway.
    if (::close(AsFd(handle)) != 0 && errno != EINTR) return LastError();
    return {};
}

void CloseQuietly(std::intptr_t handle) {
    ::close(AsFd(handle));
}

void RemoveQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

std::error_code Replace(const std::string& scratch, const std::string& target) {
    if (::rename(scratch.c_str(), target.c_str()) != 0) return LastError();
    return {};
}

// Makes the rename itself survive a power cut. Some file systems cannot sync a
// folder; the file is already in place, so a failure here changes nothing.
void SyncFolderOf(const std::string& target) {
    const std::size_t cut = target.find_last_of('/');
    const std::string folder = cut == std::string::npos ? "."
                               : cut == 0 ? "/"
                                          : target.substr(0, cut);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

#endif

}  // namespace

AtomicFile::AtomicFile(std::string_view target) : target_(target) {
    if (target_.empty() || EndsWithSeparator(target_)) {
        error_ = Errc(std::errc::invalid_argument);
        return;
    }
    // A name taken by another program's scratch file (or a crashed one's) means only
    // that we draw again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        scratch_ = ScratchName(target_);
        const std::error_code ec = CreateExclusive(scratch_, handle_);
        if (!ec) break;
        scratch_.clear();
        if (ec != std::errc::file_exists || attempt == 99) {
            error_ = ec;
            return;
        }
    }
    buffer_.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() {
    if (!committed_) Discard();
}

bool AtomicFile::Write(std::string_view bytes) {
    if (error_) return false;
    if (committed_) {
        Fail(Errc(std::errc::bad_file_descriptor));
        return false;
    }
    if (buffer_.size() + bytes.size() <= kBufferSize) {
        buffer_.append(bytes);
        return true;
    }
    if (!FlushBuffer()) return false;
    if (bytes.size() < kBufferSize) {
        buffer_.append(bytes);
        return true;
    }
    if (std::error_code ec = WriteAll(handle_, bytes)) {
        Fail(ec);
        return false;
    }
    StartWriteback(handle_, written_, bytes.size());
    written_ += bytes.size();
    return true;
}

bool AtomicFile::Commit() {
    if (committed_) return true;
    if (error_ || !FlushBuffer()) return false;
    std::error_code ec = SyncData(handle_);
    if (!ec) ec = KeepOwnerAndMode(handle_, target_);
    if (!ec) {
        ec = CloseChecked(handle_);
        handle_ = kNoHandle;
    }
    if (!ec) ec = Replace(scratch_, target_);
    if (ec) {
        Fail(ec);
        return false;
    }
    scratch_.clear();
    committed_ = true;
    SyncFolderOf(target_);
    return true;
}

bool AtomicFile::FlushBuffer() {
    if (error_) return false;
    const std::error_code ec = WriteAll(handle_, buffer_);
    if (!ec) {
        StartWriteback(handle_, written_, buffer_.size());
        written_ += buffer_.size();
    }
    buffer_.clear();
    if (ec) Fail(ec);
    return !ec;
}

void AtomicFile::Fail(std::error_code ec) {
    if (!error_) error_ = ec;
    Discard();
}

void AtomicFile::Discard() {
    if (handle_ != kNoHandle) CloseQuietly(handle_);
    handle_ = kNoHandle;
    if (!scratch_.empty()) RemoveQuietly(scratch_);
    scratch_.clear();
    std::string().swap(buffer_);
}

std::error_code WriteFileAtomically(std::string_view target, std::string_view bytes) {
    AtomicFile file(target);
    file.Write(bytes);
    file.Commit();
    return file.Error();
}

// ---------------------------------------------------------------------------------
// SourceFile and copying from it

namespace {

constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

#ifdef _WIN32

std::error_code OpenForReading(std::string_view path, std::intptr_t& handle, std::uint64_t& size) {
    std::filesystem::path p;
    try {
        p = ToPath(path);
    } catch (...) {
        return Errc(std::errc::invalid_argument);
    }
    // Without backup semantics a folder cannot be opened, which is what we want.
    HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    LARGE_INTEGER bytes{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &bytes)) {
        ::CloseHandle(h);
        return Errc(std::errc::invalid_argument);
    }
    handle = reinterpret_cast<std::intptr_t>(h);
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return {};
}

// Reads at an offset; 0 bytes means the end of the file.
std::error_code ReadAt(std::intptr_t handle, std::uint64_t offset, char* into, std::size_t length,
                       std::size_t& got) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    if (!::ReadFile(AsHandle(handle), into, static_cast<DWORD>(length), &done, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            done = 0;
        else
            return LastError();
    }
    got = done;
    return {};
}

// No in-system copy between two handles: the caller copies through a buffer.
bool CopyInSystem(std::intptr_t, std::uint64_t&, std::intptr_t, std::uint64_t&, std::error_code&) {
    return false;
}

#else  // POSIX

std::error_code OpenForReading(std::string_view path, std::intptr_t& handle, std::uint64_t& size) {
    // Not blocking on open: a pipe put where a file belongs must not hang the program.
    const std::string name(path);
    int fd;
    do {
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return LastError();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return Errc(folder ? std::errc::is_a_directory : std::errc::invalid_argument);
    }
    handle = fd;
    size = static_cast<std::uint64_t>(st.st_size);
    return {};
}

std::error_code ReadAt(std::intptr_t handle, std::uint64_t offset, char* into, std::size_t length,
                       std::size_t& got) {
    for (;;) {
        const ssize_t r = ::pread(AsFd(handle), into, length, static_cast<off_t>(offset));
        if (r >= 0) {
            got = static_cast<std::size_t>(r);
            return {};
        }
        if (errno != EINTR) return LastError();
    }
}

// Lets the system copy the bytes itself (no trip through the program, and on file
// systems that can share blocks, no copy at all), as cp does. False when this system
// or this pair of files cannot: the caller then copies through a buffer.
bool CopyInSystem([[maybe_unused]] std::intptr_t from, [[maybe_unused]] std::uint64_t& offset,
                  [[maybe_unused]] std::intptr_t to, [[maybe_unused]] std::uint64_t& remaining,
                  [[maybe_unused]] std::error_code& ec) {
#if defined(__linux__) && defined(__GLIBC__)
    while (remaining > 0) {
        loff_t at = static_cast<loff_t>(offset);
        const ssize_t r = ::copy_file_range(AsFd(from), &at, AsFd(to), nullptr,
                                            std::min<std::uint64_t>(remaining, kMaxWriteChunk), 0);
        if (r > 0) {
            offset += static_cast<std::uint64_t>(r);
            remaining -= static_cast<std::uint64_t>(r);
            continue;
        }
        if (r == 0) {
            ec = Errc(std::errc::io_error);  // the file ended early: it changed under us
            return true;
        }
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL ||
            errno == EBADF)
            return false;
        ec = LastError();
        return true;
    }
    return true;
#else
    return false;
#endif
}

#endif

}  // namespace

SourceFile::~SourceFile() {
    Close();
}

SourceFile::SourceFile(SourceFile&& other) noexcept : handle_(other.handle_), size_(other.size_) {
    other.handle_ = kNoHandle;
}

SourceFile& SourceFile::operator=(SourceFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        size_ = other.size_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

std::error_code SourceFile::Open(std::string_view path) {
    Close();
    if (path.empty()) return Errc(std::errc::invalid_argument);
    return OpenForReading(path, handle_, size_);
}

void SourceFile::Close() {
    if (handle_ == kNoHandle) return;
    CloseQuietly(handle_);
    handle_ = kNoHandle;
}

bool AtomicFile::CopyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return !error_;
    if (!source.IsOpen()) {
        Fail(Errc(std::errc::bad_file_descriptor));
        return false;
    }
    if (!FlushBuffer()) return false;
    std::uint64_t at = offset, remaining = length;
    std::error_code ec;
    if (!CopyInSystem(source.handle_, at, handle_, remaining, ec) && !ec) {
        std::string block(static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kCopyBlock)),
                          '\0');
        while (remaining > 0 && !ec) {
            std::size_t got = 0;
            ec = ReadAt(source.handle_, at, block.data(),
                        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, block.size())),
                        got);
            if (!ec && got == 0) ec = Errc(std::errc::io_error);
            if (!ec) ec = WriteAll(handle_, std::string_view(block.data(), got));
            at += got;
            remaining -= got;
        }
    }
    if (ec) {
        Fail(ec);
        return false;
    }
    StartWriteback(handle_, written_, static_cast<std::size_t>(length));
    written_ += length;
    return true;
}

// ---------------------------------------------------------------------------------
// FileLock

namespace {

enum class LockTry { kTaken, kBusy, kFailed };

#ifdef _WIN32

std::error_code OpenLockFile(std::string_view path, std::intptr_t& handle) {
    std::wstring name;
    if (std::error_code ec = Wide(path, name)) return ec;
    HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    handle = reinterpret_cast<std::intptr_t>(h);
    return {};
}

OVERLAPPED SlotOffset(int slot) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(slot);
    return at;
}

LockTry TryLock(std::intptr_t handle, int slot, std::error_code& ec) {
    OVERLAPPED at = SlotOffset(slot);
    if (::LockFileEx(AsHandle(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &at))
        return LockTry::kTaken;
    const DWORD err = ::GetLastError();
    if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING) return LockTry::kBusy;
    ec = std::error_code(static_cast<int>(err), std::system_category());
    return LockTry::kFailed;
}

void Unlock(std::intptr_t handle, int slot) {
    OVERLAPPED at = SlotOffset(slot);
    ::UnlockFileEx(AsHandle(handle), 0, 1, 0, &at);
    ::CloseHandle(AsHandle(handle));
}

#else  // POSIX

// Every user of the shared folder must be able to open the lock file for writing,
// whatever their umask; the file holds no data, so opening it to all costs nothing.
std::error_code OpenLockFile(std::string_view path, std::intptr_t& handle) {
    const std::string name(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) ::fchmod(fd, 0666);
        }
        if (fd >= 0) {
            handle = fd;
            return {};
        }
        // EEXIST: another program created it between our two opens.
        if (errno != EINTR && errno != EEXIST) return LastError();
    }
    return Errc(std::errc::resource_unavailable_try_again);
}

LockTry TryLock(std::intptr_t handle, int slot, std::error_code& ec) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = slot;
    range.l_len = 1;
    // Locks of an open file description exclude each other even within one program and
    // survive the closing of other descriptors of the same file; classic record locks
    // do neither, so they are only the fallback for systems without the former.
    int commands[] = {
#ifdef F_OFD_SETLK
        F_OFD_SETLK,
#endif
        F_SETLK};
    for (int command : commands) {
        range.l_pid = 0;
        int r;
        do {
            r = ::fcntl(AsFd(handle), command, &range);
        } while (r != 0 && errno == EINTR);
        if (r == 0) return LockTry::kTaken;
        if (errno == EAGAIN || errno == EACCES) return LockTry::kBusy;
        // EINVAL from a kernel that does not know the first command: try the next.
        if (errno != EINVAL) break;
    }
    ec = LastError();
    return LockTry::kFailed;
}

// Closing the descriptor drops its locks.
void Unlock(std::intptr_t handle, int) {
    ::close(AsFd(handle));
}

#endif

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

// ---------------------------------------------------------------------------------
// Error texts

namespace {

struct Phrase {
    std::errc code;
    const char* text;
};

constexpr const char* kNoSpace = "磁碟空間不足";
constexpr const char* kQuota = "超過磁碟配額";
constexpr const char* kNoPermission = "沒有寫入權限";
constexpr const char* kReadOnly = "磁碟是唯讀的";
constexpr const char* kNoFolder = "找不到資料夾";
constexpr const char* kIoError = "磁碟讀寫錯誤";
constexpr const char* kNameTooLong = "檔名太長";
constexpr const char* kInUse = "檔案正被另一部電腦或程式使用，請稍後再試";

constexpr Phrase kPhrases[] = {
    {std::errc::no_space_on_device, kNoSpace},
    {std::errc::file_too_large, kNoSpace},
    {std::errc::permission_denied, kNoPermission},
    {std::errc::operation_not_permitted, kNoPermission},
    {std::errc::read_only_file_system, kReadOnly},
    {std::errc::is_a_directory, "這個名稱已是一個資料夾"},
    {std::errc::no_such_file_or_directory, kNoFolder},
    {std::errc::not_a_directory, "路徑中有一段不是資料夾"},
    {std::errc::io_error, kIoError},
    {std::errc::filename_too_long, kNameTooLong},
    {std::errc::timed_out, kInUse},
};

#ifdef _WIN32
// ERROR_DISK_QUOTA_EXCEEDED, missing from some editions of the Windows headers.
constexpr DWORD kDiskQuotaExceeded = 1295;

// Not every standard library maps Windows codes to the portable conditions.
const char* WindowsPhrase(std::error_code ec) {
    if (ec.category() != std::system_category()) return nullptr;
    switch (static_cast<DWORD>(ec.value())) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kNoSpace;
        case kDiskQuotaExceeded:
            return kQuota;
        case ERROR_ACCESS_DENIED:
            return kNoPermission;
        case ERROR_WRITE_PROTECT:
            return kReadOnly;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return kNoFolder;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
            return kIoError;
        case ERROR_FILENAME_EXCED_RANGE:
            return kNameTooLong;
        case ERROR_LOCK_VIOLATION:
        case ERROR_SHARING_VIOLATION:
            return kInUse;
        default:
            return nullptr;
    }
}
#endif

}  // namespace

std::string ErrorText(std::error_code ec) {
    if (!ec) return {};
#ifdef _WIN32
    if (const char* text = WindowsPhrase(ec)) return text;
#endif
    for (const Phrase& phrase : kPhrases)
        if (ec == phrase.code) return phrase.text;
#if defined(EDQUOT) && !defined(_WIN32)
    // No portable condition names it, so it is looked up by its number.
    if ((ec.category() == std::system_category() || ec.category() == std::generic_category()) &&
        ec.value() == EDQUOT)
        return kQuota;
#endif
    return ec.message();
}

}  // namespace ceph::base
