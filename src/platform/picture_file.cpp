#include "platform/picture_file.h"

#include <QFile>
#include <QFileInfo>
#include <new>

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

bool ReadPictureFile(const std::string& path, QByteArray* bytes, std::string* error) {
    const QString name = QString::fromStdString(path);
    const QFileInfo info(name);
    if (!info.exists()) {
        *error = "找不到檔案";
        return false;
    }
    if (info.isDir()) {
        *error = "這是資料夾，不是圖檔";
        return false;
    }
    // Devices and pipes could block a read or never end.
    if (!info.isFile()) {
        *error = "這不是一般檔案";
        return false;
    }
    const qint64 size = info.size();
    if (size <= 0) {
        *error = "檔案是空的";
        return false;
    }
    if (size > kMaxFileBytes) {
        *error = "檔案太大，不是可以顯示的圖檔";
        return false;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "無法開啟檔案（" + file.errorString().toStdString() + "）";
        return false;
    }
    try {
        bytes->resize(size);
    } catch (const std::bad_alloc&) {
        *error = "記憶體不足";
        return false;
    }
    // The file may have shrunk since its size was taken: keep what is there.
    const qint64 got = file.read(bytes->data(), size);
    if (got < 0) {
        *error = "讀取檔案失敗（" + file.errorString().toStdString() + "）";
        return false;
    }
    if (got == 0) {
        *error = "檔案是空的";
        return false;
    }
    bytes->truncate(got);
    return true;
}

}  // namespace ceph::platform
