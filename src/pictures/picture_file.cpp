#include "pictures/picture_file.h"

#include <cstdint>
#include <new>

#include "base/safe_file.h"
#include "pictures/limits.h"
#include "pictures/picture.h"

namespace ceph::pictures {

namespace {

// Why a picture file could not be opened.
std::string OpenFailure(const std::error_code& ec) {
    if (ec == std::errc::no_such_file_or_directory) return "找不到檔案";
    if (ec == std::errc::is_a_directory) return "這是資料夾，不是圖檔";
    // A device or a pipe, refused without reading it.
    if (ec == base::NotRegularFile()) return base::ErrorText(ec);
    return "無法開啟檔案（" + base::ErrorText(ec) + "）";
}

}  // namespace

void FileBytes::Resize(std::size_t size) {
    if (size > capacity_) {
        block_.reset();
        capacity_ = 0;
        block_.reset(new char[size]);
        capacity_ = size;
    }
    size_ = size;
}

void FileBytes::Release() {
    block_.reset();
    size_ = capacity_ = 0;
}

base::Result<void> ReadPictureFile(const std::string& path, FileBytes& bytes) {
    // Opened once and checked on the open file: a pipe or device put in a picture's
    // place is refused without blocking, and cannot be swapped in after a check.
    base::SourceFile file;
    if (const std::error_code ec = file.Open(path)) return Refuse(OpenFailure(ec));
    const std::uint64_t size = file.Size();
    if (size == 0) return Refuse("檔案是空的");
    if (size > kMaxPictureFileBytes) return Refuse("檔案太大，不是可以顯示的圖檔");
    try {
        bytes.Resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    // The file may have shrunk since its size was taken: keep what is there.
    std::size_t at = 0;
    while (at < size) {
        std::size_t got = 0;
        if (const std::error_code ec = file.ReadAt(at, bytes.Data() + at, size - at, got))
            return Refuse("讀取檔案失敗（" + base::ErrorText(ec) + "）");
        if (got == 0) break;
        at += got;
    }
    if (at == 0) return Refuse("檔案是空的");
    bytes.Truncate(at);
    return {};
}

}  // namespace ceph::pictures
