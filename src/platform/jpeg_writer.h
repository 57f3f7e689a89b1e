#pragma once
// A picture of the store written as a JPEG file by the pictures' JPEG writer
// (pictures/jpeg_writer.h), its rows handed over as Qt holds them, or converted a band
// at a time.

#include <QImage>
#include <string>
#include <system_error>

#include "base/result.h"
#include "platform/file_output.h"

namespace ceph::platform {

// Writes a picture as a JPEG file of the given quality (1..100), baseline, with the
// accurate transform. A grey picture (grey pixels, or colour ones that are all grey) is
// stored as a one-channel JPEG, a colour one with 4:2:0 chroma. Empty when written;
// otherwise why not, and the file is as it was: a file error, or
// pictures::JpegEncoderError().
std::error_code WriteJpeg(const QImage& image, const std::string& path, int quality,
                          const WriteProgress& progress = {});

// Writes a picture as a JPEG file of the given quality (1..100), as WriteJpeg does; on
// failure the problem names the file, carries the system's error and says why in words
// for the user.
base::Result<void> SaveJpeg(const QImage& image, const std::string& path, int quality);

}  // namespace ceph::platform
