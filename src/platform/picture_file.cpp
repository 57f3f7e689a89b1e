#include "platform/picture_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/safe_file.h"

namespace ceph::platform {

namespace {

// A file larger than this is no picture the program could show.
constexpr qint64 kMaxFileBytes = qint64{1} << 30;

}  // namespace

bool PictureSizeAllowed(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           std::int64_t{width} * height <= kMaxPicturePixels;
}

std::string PictureTooLargeReason(int width, int height) {
    return "圖像尺寸不合理（" + std::to_string(width) + " × " + std::to_string(height) +
           " 像素；每邊最多 " + std::to_string(kMaxPictureSide) + " 像素，總共最多 " +
           std::to_string(kMaxPicturePixels / 1'000'000) + " 百萬像素）";
}

bool DecodeMemoryAllowed(std::int64_t bytes) {
    return bytes >= 0 && bytes <= kMaxDecodeBytes;
}

std::string DecodeMemoryReason(std::int64_t bytes) {
    constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
    return "圖像太大，解碼需要 " + std::to_string((bytes + kMegabyte - 1) / kMegabyte) +
           " MB 記憶體（最多 " + std::to_string(kMaxDecodeBytes / kMegabyte) + " MB）";
}

bool BitmapDataShort(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 length = bytes.size();
    if (length < 26 || b[0] != 'B' || b[1] != 'M') return false;
    auto u16 = [b](int at) { return qint64{b[at]} | qint64{b[at + 1]} << 8; };
    auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    const qint64 offset = u32(10), header = u32(14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = u16(18), height = u16(20), bits = u16(24);
    } else if (header >= 40 && length >= 54) {
        width = static_cast<qint32>(u32(18));
        // Negative for rows stored top down; negated as 64 bits, as -2^31 has no
        // 32-bit opposite.
        height = static_cast<qint32>(u32(22));
        height = height < 0 ? -height : height;
        bits = u16(28), compression = u32(30);
    } else {
        return false;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || !PictureSizeAllowed(static_cast<int>(std::min<qint64>(width, 1 << 30)),
                                             static_cast<int>(std::min<qint64>(height, 1 << 30))))
        return false;  // Qt reads it, or the size check refuses it
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return offset + stride * height > length;
}

bool PngChunkBeyondEnd(const QByteArray& bytes) {
    static constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 length = bytes.size();
    if (length < 8 || !bytes.startsWith(QByteArrayView(kSignature, 8))) return false;
    // Each chunk: its data length, its type, the data, a checksum. The walk ends at the
    // end of the data or at IEND; every step moves at least 12 bytes.
    qint64 at = 8;
    while (at + 8 <= length) {
        const qint64 size = qint64{b[at]} << 24 | qint64{b[at + 1]} << 16 | qint64{b[at + 2]} << 8 |
                            qint64{b[at + 3]};
        if (at + 12 + size > length) return true;
        if (std::memcmp(b + at + 4, "IEND", 4) == 0) return false;
        at += 12 + size;
    }
    return false;
}

bool ReadPictureFile(const std::string& path, QByteArray* bytes, std::string* error) {
    // Opened once and checked on the open file: a pipe or device put in a picture's
    // place is refused without blocking, and cannot be swapped in after a check.
    base::SourceFile file;
    if (const std::error_code ec = file.Open(path)) {
        if (ec == std::errc::no_such_file_or_directory)
            *error = "找不到檔案";
        else if (ec == std::errc::is_a_directory)
            *error = "這是資料夾，不是圖檔";
        else if (ec == base::NotRegularFile())
            *error = base::ErrorText(ec);  // a device or a pipe, refused without reading it
        else
            *error = "無法開啟檔案（" + base::ErrorText(ec) + "）";
        return false;
    }
    const std::uint64_t size = file.Size();
    if (size == 0) {
        *error = "檔案是空的";
        return false;
    }
    if (size > static_cast<std::uint64_t>(kMaxFileBytes)) {
        *error = "檔案太大，不是可以顯示的圖檔";
        return false;
    }
    try {
        bytes->resize(static_cast<qsizetype>(size));
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    // The file may have shrunk since its size was taken: keep what is there.
    std::size_t at = 0;
    while (at < size) {
        std::size_t got = 0;
        if (const std::error_code ec = file.ReadAt(at, bytes->data() + at, size - at, got)) {
            *error = "讀取檔案失敗（" + base::ErrorText(ec) + "）";
            return false;
        }
        if (got == 0) break;
        at += got;
    }
    if (at == 0) {
        *error = "檔案是空的";
        return false;
    }
    bytes->truncate(static_cast<qsizetype>(at));
    return true;
}

}  // namespace ceph::platform
