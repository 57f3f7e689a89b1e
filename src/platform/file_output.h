#pragma once
// Pictures and pages written to files through the program's one safe writer (a flushed
// scratch file renamed over the target), so a full disk or a crash never leaves a torn
// picture or PDF. Small files are encoded by Qt in memory; a radiograph is written row
// by row, so storing it takes little memory beside its own.

#include <QByteArray>
#include <QImage>
#include <functional>
#include <string>
#include <system_error>

namespace ceph::platform {

// Told how much of a picture is written, from 0 to 1.
using WriteProgress = std::function<void(double done)>;

std::error_code WriteBytes(const QByteArray& bytes, const std::string& path);

// A picture in a format Qt writes ("BMP", "PNG"); an encoding failure is an I/O error.
std::error_code SaveImage(const QImage& image, const std::string& path, const char* format);

// A picture as a Windows bitmap laid out as Qt writes one: a grey picture with 8 bits a
// pixel and a palette of the 256 greys, any other with 24 bits a pixel. The rows go to
// the file as they are converted, a few at a time.
std::error_code WriteBitmap(const QImage& image, const std::string& path,
                            const WriteProgress& progress = {});

// How many rows a picture is converted in at a time, and how often progress is told.
int RowsPerStep(const QImage& image);

}  // namespace ceph::platform
