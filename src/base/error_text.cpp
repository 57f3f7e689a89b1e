#include "base/safe_file.h"

#include <cerrno>
#include <filesystem>

#include "base/filesys.h"
#include "base/os_files.h"
#include "base/windows_api.h"

namespace ceph::base {

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
constexpr const char* kNoFile = "找不到檔案";
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
    {std::errc::no_such_file_or_directory, "找不到檔案或資料夾"},
    {std::errc::not_a_directory, "路徑中有一段不是資料夾"},
    {std::errc::io_error, kIoError},
    {std::errc::filename_too_long, kNameTooLong},
    {std::errc::timed_out, kInUse},
    {std::errc::value_too_large, "檔案太大"},
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
        case ERROR_FILE_NOT_FOUND:
            return kNoFile;
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

// What this program tells apart beyond the system's codes.
enum FileFault {
    kNotRegular = 1,
    kMissingFile,
    kMissingFolder,
    kDanglingLink,
    kLockLost,
    kChangedMeanwhile
};

class FileFaultCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "file fault"; }
    std::string message(int fault) const override {
        switch (fault) {
            case kMissingFile:
                return "No such file";
            case kMissingFolder:
                return "No such folder";
            case kDanglingLink:
                return "Symbolic link to a file that does not exist";
            case kLockLost:
                return "Lock file deleted or replaced while in use";
            case kChangedMeanwhile:
                return "Changed by another program since it was read";
            default:
                return "not a regular file";
        }
    }
    // A missing file or folder is still what the system calls "no such file or
    // directory", for every caller that tests for that.
    std::error_condition default_error_condition(int fault) const noexcept override {
        if (fault == kMissingFile || fault == kMissingFolder)
            return std::make_error_condition(std::errc::no_such_file_or_directory);
        return {fault, *this};
    }
};

const FileFaultCategory& FileFaults() {
    static const FileFaultCategory category;
    return category;
}

bool FolderExists(std::string_view path) {
    try {
        std::error_code ec;
        return std::filesystem::is_directory(
            path.empty() ? std::filesystem::path(".") : ToPath(path), ec);
    } catch (...) {
        return false;  // a name Windows cannot convert names no folder
    }
}

}  // namespace

std::error_code NotRegularFile() {
    return {kNotRegular, FileFaults()};
}

std::error_code MissingFile() {
    return {kMissingFile, FileFaults()};
}

std::error_code MissingFolder() {
    return {kMissingFolder, FileFaults()};
}

std::error_code DanglingLink() {
    return {kDanglingLink, FileFaults()};
}

std::error_code LockLost() {
    return {kLockLost, FileFaults()};
}

std::error_code ChangedMeanwhile() {
    return {kChangedMeanwhile, FileFaults()};
}

std::error_code MissingAt(std::string_view path) {
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("\\/");
#else
    const std::size_t cut = path.find_last_of('/');
#endif
    std::string_view folder;
    // A root keeps its separator ("/", "C:\" on Windows): without it, it names another folder.
    if (cut != std::string_view::npos)
        folder = path.substr(0, cut == 0 || path[cut - 1] == ':' ? cut + 1 : cut);
    return FolderExists(folder) ? MissingFile() : MissingFolder();
}

std::error_code os::MissingTold(std::error_code ec, std::string_view path) {
    bool missing = ec == std::errc::no_such_file_or_directory;
#ifdef _WIN32
    missing |= ec.category() == std::system_category() &&
               (static_cast<DWORD>(ec.value()) == ERROR_FILE_NOT_FOUND ||
                static_cast<DWORD>(ec.value()) == ERROR_PATH_NOT_FOUND);
#endif
    return missing && ec.category() != FileFaults() ? MissingAt(path) : ec;
}

std::string ErrorText(std::error_code ec) {
    if (!ec) return {};
    if (ec.category() == FileFaults()) {
        switch (ec.value()) {
            case kMissingFile:
                return kNoFile;
            case kMissingFolder:
                return kNoFolder;
            case kDanglingLink:
                return "這是指向不存在檔案的連結";
            case kLockLost:
                return "存檔時資料夾的鎖定檔被刪除或換掉，請再試一次";
            case kChangedMeanwhile:
                return "已被另一部電腦或程式改過";
            default:
                return "這不是一般檔案";
        }
    }
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