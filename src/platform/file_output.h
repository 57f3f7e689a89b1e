#pragma once
// Pictures and pages written to files: Qt encodes them in memory, and the bytes go to
// their file through the program's one safe writer (a flushed scratch file renamed over
// the target), so a full disk or a crash never leaves a torn picture or PDF.

#include <QByteArray>
#include <QImage>
#include <string>
#include <system_error>

namespace ceph::platform {

std::error_code WriteBytes(const QByteArray& bytes, const std::string& path);

// A picture in a format Qt writes ("BMP", "PNG"); an encoding failure is an I/O error.
std::error_code SaveImage(const QImage& image, const std::string& path, const char* format);

}  // namespace ceph::platform
