#pragma once
// The operating system's file calls beneath the safe writer, the reader of file parts
// and the lock: one implementation for POSIX systems and one for Windows, nothing else
// of the program calls the system about files. Handles are the system's own (a file
// descriptor or a HANDLE) kept as an integer, -1 for none.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace ceph::base::os {

inline constexpr std::intptr_t kNoHandle = -1;
// One write call never asks for more than this; some systems refuse larger counts.
inline constexpr std::size_t kMaxWriteChunk = std::size_t{1} << 30;

inline std::error_code Errc(std::errc e) {
    return std::make_error_code(e);
}
// The error of the last system call.
std::error_code LastError();
// `ec`, or, when it says that `path` is not there, whether the file or its folder is
// missing (MissingAt).
std::error_code MissingTold(std::error_code ec, std::string_view path);
unsigned long CurrentProcessId();
// Lets the thread that calls it run only when the machine has time to spare (long work in
// the background while the clinician uses the window); nothing where that is not allowed.
void LowerThisThreadsPriority();

// Where writing `path` must go: `path` itself, or, when it is a symbolic link, the
// file its links finally lead to. DanglingLink() when that file is not there.
std::error_code FinalTarget(const std::string& path, std::string& final);
// Whether the user may write the file at `path` (nothing when it is not there): a
// replacement must not take over a file its owner has kept from them.
std::error_code MayReplace(const std::string& path);

// Writing a new file.
std::error_code CreateExclusive(const std::string& path, std::intptr_t& handle);
std::error_code WriteAll(std::intptr_t handle, std::string_view bytes);
// Starts writing what was just written to the disk without waiting for it.
void StartWriteback(std::intptr_t handle, std::uint64_t offset, std::size_t length);
std::error_code SyncData(std::intptr_t handle);
// Gives a new file the permissions (and group) of the file it is to replace.
std::error_code KeepOwnerAndMode(std::intptr_t handle, const std::string& target);
std::error_code CloseChecked(std::intptr_t handle);
void CloseQuietly(std::intptr_t handle);
void RemoveQuietly(const std::string& path);
// Renames `scratch` over `target` in one step.
std::error_code Replace(const std::string& scratch, const std::string& target);
// Gives `scratch` the name `target` in one step only where no file has that name (any
// entry there, a link to nothing included: std::errc::file_exists), so that two
// programs placing files at once never replace each other's.
std::error_code PlaceNew(const std::string& scratch, const std::string& target);
// Makes a rename in the target's folder survive a power cut, where the system can.
void SyncFolderOf(const std::string& target);

// Reading parts of a regular file (anything else is refused with NotRegularFile(), and
// never blocks).
std::error_code OpenForReading(std::string_view path, std::intptr_t& handle, std::uint64_t& size);
// Reads at an offset; `got` 0 means the end of the file.
std::error_code ReadAt(std::intptr_t handle, std::uint64_t offset, char* into, std::size_t length,
                       std::size_t& got);
// Creates an empty file where there is none; never truncates, never blocks on a pipe,
// never follows a link to nothing (DanglingLink()).
std::error_code CreateIfMissing(std::string_view path);
// Lets the system copy bytes between two files itself; false when it cannot (the
// caller then copies through a buffer). `offset` and `remaining` say how far it got.
bool CopyInSystem(std::intptr_t from, std::uint64_t& offset, std::intptr_t to,
                  std::uint64_t& remaining, std::error_code& ec);

// Standard input, output and error pass bytes unchanged, without turning "\n" into
// "\r\n" or stopping at a Ctrl-Z.
void BinaryStandardStreams();

// The lock file and its slots.
enum class LockTry { kTaken, kBusy, kFailed };
std::error_code OpenLockFile(std::string_view path, std::intptr_t& handle);
// Whether the file open as `handle` is still the one at `path` (not deleted, not
// replaced by another).
bool SameFileAt(std::intptr_t handle, std::string_view path);
LockTry TryLock(std::intptr_t handle, int slot, std::error_code& ec);
void Unlock(std::intptr_t handle, int slot);

}  // namespace ceph::base::os
