#pragma once
// Radiographs for the widget tests: pictures of one grey, written as JPEG files.

#include <QImage>
#include <QSize>
#include <QString>
#include <filesystem>

namespace ceph::testing {

// Writes a single-channel JPEG of `size` filled with `grey` (0 to 255) to `path`,
// creating folders on the way; false when it cannot be written.
inline bool WriteGreyJpeg(const std::filesystem::path& path, QSize size, int grey) {
    std::filesystem::create_directories(path.parent_path());
    QImage radiograph(size, QImage::Format_Grayscale8);
    radiograph.fill(static_cast<uint>(grey));
    return radiograph.save(QString::fromStdString(path.string()), "JPG");
}

}  // namespace ceph::testing
