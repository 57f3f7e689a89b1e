#pragma once
// Writing JPEG files through libjpeg-turbo's libjpeg interface, row by row: the rows are
// compressed as they are handed over and the compressed bytes go straight into the
// program's safe writer, so a radiograph of hundreds of megabytes is stored with a few
// rows of memory beside its own, and the caller can be told how far it has come.

#include <QImage>
#include <string>
#include <system_error>

#include "platform/file_output.h"

namespace ceph::platform {

// Writes a picture as a JPEG file of the given quality (1..100), baseline, with the
// accurate transform. A grey picture (grey pixels, or colour ones that are all grey) is
// stored as a one-channel JPEG, a colour one with 4:2:0 chroma. Empty when written;
// otherwise why not, and the file is as it was: a file error, or JpegEncoderError().
std::error_code WriteJpeg(const QImage& image, const std::string& path, int quality,
                          const WriteProgress& progress = {});

// The encoder itself failed; its message is words for the user.
std::error_code JpegEncoderError();

}  // namespace ceph::platform
