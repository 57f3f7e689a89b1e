// The file calls on POSIX systems (Linux first).
#ifndef _WIN32

#include "base/os_files.h"
#include "base/safe_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ceph::base::os {

std::error_code LastError() {
    return {errno, std::system_category()};
}

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(::getpid());
}

namespace {

int AsFd(std::intptr_t h) {
    return static_cast<int>(h);
}

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
}

// The text of the symbolic link at `path`, however long.
std::error_code ReadLink(const std::string& path, std::size_t sizeHint, std::string& target) {
    std::string buffer(std::max<std::size_t>(sizeHint, 255) + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return LastError();
        if (static_cast<std::size_t>(n) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(n));
            return {};
        }
        buffer.resize(2 * buffer.size());  // the link grew since it was looked at
    }
}

// A symbolic link at `path` that leads nowhere.
bool IsDanglingLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
           ::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

// Only the name's own links are followed here; a linked folder on the way needs
// nothing, since the system resolves it alike for the scratch file and the rename.
std::error_code FinalTarget(const std::string& path, std::string& final) {
    final = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(final.c_str(), &st) != 0) {
            // The name itself missing is a new file; its creation tells what is wrong.
            if (hops == 0) return {};
            if (errno == ENOENT || errno == ENOTDIR) return DanglingLink();
            return LastError();
        }
        if (!S_ISLNK(st.st_mode)) return {};
        std::string link;
        if (std::error_code ec = ReadLink(final, static_cast<std::size_t>(st.st_size), link))
            return ec;
        if (link.empty()) return DanglingLink();
        // A relative link is read from the folder that holds it.
        final = link.front() == '/' ? link : FolderOf(final) + "/" + link;
    }
    return Errc(std::errc::too_many_symbolic_link_levels);
}

std::error_code MayReplace(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    if (::access(path.c_str(), W_OK) == 0 || errno == ENOENT) return {};
    return LastError();
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

// A hard link fails where the name is taken, on every file system that has links (the
// network ones too), where a rename would replace; the scratch name then goes.
std::error_code PlaceNew(const std::string& scratch, const std::string& target) {
    if (::link(scratch.c_str(), target.c_str()) != 0) return LastError();
    ::unlink(scratch.c_str());
    return {};
}

// Makes the rename itself survive a power cut. Some file systems cannot sync a
// folder; the file is already in place, so a failure here changes nothing.
void SyncFolderOf(const std::string& target) {
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

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
        return folder ? Errc(std::errc::is_a_directory) : NotRegularFile();
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

std::error_code CreateIfMissing(std::string_view path) {
    const std::string name(path);
    int fd;
    // Exclusive creation neither follows a link nor opens what is there already.
    do {
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EEXIST) return LastError();
    return IsDanglingLink(name) ? DanglingLink() : std::error_code();
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

// POSIX streams are bytes already.
void BinaryStandardStreams() {}

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
        // EEXIST: another program created it between our two opens, or the name is a
        // link to nothing, which opening again will not mend.
        if (errno == EEXIST && IsDanglingLink(name)) return DanglingLink();
        if (errno != EINTR && errno != EEXIST) return LastError();
    }
    return Errc(std::errc::resource_unavailable_try_again);
}

bool SameFileAt(std::intptr_t handle, std::string_view path) {
    struct stat held {
    }, named{};
    return ::fstat(AsFd(handle), &held) == 0 && ::stat(std::string(path).c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
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

void LowerThisThreadsPriority() {
#ifdef __linux__
    // On Linux the nice value is the thread's own.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

}  // namespace ceph::base::os

#endif  // !_WIN32
