// The file calls on Windows. Paths arrive as UTF-8 text and are handed to the wide
// (UTF-16) calls.
#ifdef _WIN32

#include "base/os_files.h"
#include "base/safe_file.h"

#include "base/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/filesys.h"

namespace ceph::base::os {

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

unsigned long CurrentProcessId() {
    return ::GetCurrentProcessId();
}

namespace {
HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// Windows' file systems and shares hold names of at most 255 characters. A longer one
// is refused here by its real reason: the system calls answer it as an invalid name, a
// name out of range or, under Wine, a missing file, depending on where they run.
bool HasOverlongName(const std::wstring& path) {
    std::size_t length = 0;
    for (const wchar_t c : path) {
        length = (c == L'\\' || c == L'/') ? 0 : length + 1;
        if (length > 255) return true;
    }
    return false;
}

// Paths arrive as UTF-8 text. Text that does not convert names no file we could use,
// and its exception must not escape (least of all from a destructor).
std::error_code Wide(std::string_view utf8, std::wstring& wide) {
    try {
        wide = ToPath(utf8).wstring();
    } catch (...) {
        return Errc(std::errc::invalid_argument);
    }
    return HasOverlongName(wide) ? Errc(std::errc::filename_too_long) : std::error_code();
}

bool IsFolder(const wchar_t* name) {
    const DWORD attributes = ::GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows refuses to open a folder as a file with "access denied", which would tell
// the clinician about permissions where the name is simply taken by a folder.
std::error_code OpenError(const wchar_t* name, DWORD err) {
    if (err == ERROR_ACCESS_DENIED && IsFolder(name)) return Errc(std::errc::is_a_directory);
    return {static_cast<int>(err), std::system_category()};
}

// IO_REPARSE_TAG_SYMLINK; the other reparse points (cloud files, mount points) are
// files or folders in their own right.
constexpr DWORD kSymlinkTag = 0xA000000CL;

bool IsSymlink(const wchar_t* name) {
    const DWORD attributes = ::GetFileAttributesW(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(name, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return found.dwReserved0 == kSymlinkTag;
}

bool NotThere(DWORD err) {
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::error_code FinalTarget(const std::string& path, std::string& final) {
    final = path;
    std::wstring name;
    if (Wide(path, name) || !IsSymlink(name.c_str())) return {};
    // Opening follows the links; the system then names the file it reached.
    HANDLE h =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        return NotThere(err) ? DanglingLink()
                             : std::error_code(static_cast<int>(err), std::system_category());
    }
    std::wstring reached(32768, L'\0');
    const DWORD length =
        ::GetFinalPathNameByHandleW(h, reached.data(), static_cast<DWORD>(reached.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    const DWORD err = ::GetLastError();
    ::CloseHandle(h);
    if (length == 0 || length >= reached.size())
        return {static_cast<int>(err), std::system_category()};
    reached.resize(length);
    // "\\?\UNC\server\share" is "\\server\share", "\\?\C:\x" is "C:\x".
    if (reached.rfind(L"\\\\?\\UNC\\", 0) == 0)
        reached = L"\\\\" + reached.substr(8);
    else if (reached.rfind(L"\\\\?\\", 0) == 0)
        reached = reached.substr(4);
    final = FromPath(std::filesystem::path(reached));
    return {};
}

// Windows keeps write permission in access lists that the rename itself checks; the
// read-only attribute is the owner's word that the file stays as it is.
std::error_code MayReplace(const std::string& path) {
    std::wstring name;
    if (std::error_code ec = Wide(path, name)) return ec;
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (attributes & FILE_ATTRIBUTE_READONLY))
        return {static_cast<int>(ERROR_ACCESS_DENIED), std::system_category()};
    return {};
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
        return OpenError(name.c_str(), err);
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

namespace {
// Renaming over a file is "access denied" both when the file is read-only or protected
// and when another program has it open without sharing its deletion, as most Windows
// programs open files. Only the second passes with time, and the clinician is told
// that the file is in use rather than that permission is missing.
DWORD WhyNotReplaced(const wchar_t* target, DWORD err) {
    if (err != ERROR_ACCESS_DENIED) return err;
    const DWORD attributes = ::GetFileAttributesW(target);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return err;
    HANDLE h = ::CreateFileW(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return err;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : err;
}
}  // namespace

// A move without MOVEFILE_REPLACE_EXISTING fails where the name is taken.
std::error_code PlaceNew(const std::string& scratch, const std::string& target) {
    std::wstring from, to;
    if (std::error_code ec = Wide(scratch, from)) return ec;
    if (std::error_code ec = Wide(target, to)) return ec;
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    const DWORD err = ::GetLastError();
    if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS)
        return Errc(std::errc::file_exists);
    return {static_cast<int>(err), std::system_category()};
}

std::error_code Replace(const std::string& scratch, const std::string& target) {
    std::wstring from, to;
    if (std::error_code ec = Wide(scratch, from)) return ec;
    if (std::error_code ec = Wide(target, to)) return ec;
    if (IsFolder(to.c_str())) return Errc(std::errc::is_a_directory);
    // Virus scanners and indexers open fresh files for a moment without sharing them;
    // give them a little time before calling the target taken.
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD err = ::GetLastError();
        if (attempt >= 10 || (err != ERROR_ACCESS_DENIED && err != ERROR_SHARING_VIOLATION))
            return {static_cast<int>(WhyNotReplaced(to.c_str(), err)), std::system_category()};
        ::Sleep(50);
    }
}

// MOVEFILE_WRITE_THROUGH has already made the rename durable.
void SyncFolderOf(const std::string&) {}

// Writing back early is a matter for the cache manager here.
void StartWriteback(std::intptr_t, std::uint64_t, std::size_t) {}

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
    if (h == INVALID_HANDLE_VALUE) return OpenError(p.c_str(), ::GetLastError());
    LARGE_INTEGER bytes{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &bytes)) {
        ::CloseHandle(h);
        return NotRegularFile();
    }
    handle = reinterpret_cast<std::intptr_t>(h);
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return {};
}

std::error_code CreateIfMissing(std::string_view path) {
    std::wstring name;
    if (std::error_code ec = Wide(path, name)) return ec;
    std::string final;
    if (std::error_code ec = FinalTarget(std::string(path), final)) return ec;
    HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return OpenError(name.c_str(), ::GetLastError());
    ::CloseHandle(h);
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

void BinaryStandardStreams() {
    for (std::FILE* stream : {stdin, stdout, stderr})
        ::_setmode(::_fileno(stream), _O_BINARY);
}

std::error_code OpenLockFile(std::string_view path, std::intptr_t& handle) {
    std::wstring name;
    if (std::error_code ec = Wide(path, name)) return ec;
    std::string final;
    if (std::error_code ec = FinalTarget(std::string(path), final)) return ec;
    HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return OpenError(name.c_str(), ::GetLastError());
    handle = reinterpret_cast<std::intptr_t>(h);
    return {};
}

bool SameFileAt(std::intptr_t handle, std::string_view path) {
    std::wstring name;
    if (Wide(path, name)) return false;
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    if (!::GetFileInformationByHandle(AsHandle(handle), &held)) return false;
    HANDLE h =
        ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool got = ::GetFileInformationByHandle(h, &named);
    ::CloseHandle(h);
    return got && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

namespace {
OVERLAPPED SlotOffset(int slot) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(slot);
    return at;
}
}  // namespace

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

void LowerThisThreadsPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

}  // namespace ceph::base::os

#endif  // _WIN32
