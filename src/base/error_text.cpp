#include "base/safe_file.h"

#include <cerrno>

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

class FileKindCategory : public std::error_category {
  public:
    const char* name() const noexcept override { return "file kind"; }
    std::string message(int) const override { return "not a regular file"; }
};

const FileKindCategory& FileKind() {
    static const FileKindCategory category;
    return category;
}

}  // namespace

std::error_code NotRegularFile() {
    return {1, FileKind()};
}

std::string ErrorText(std::error_code ec) {
    if (!ec) return {};
    if (ec == NotRegularFile()) return "這不是一般檔案";
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