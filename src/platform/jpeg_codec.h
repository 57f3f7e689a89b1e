#pragma once
// JPEG pictures through libjpeg-turbo's TurboJPEG interface: radiographs are large grey
// JPEGs, and decoding them straight into an 8-bit grey QImage is several times faster
// than Qt's image plugin, which decodes to 32-bit colour. Also writes JPEG files (see
// jpeg_writer.h).
//
// Errors are returned as reasons in Traditional Chinese, ready to follow a message such
// as "無法讀取圖檔：".

#include <QImage>
#include <cstddef>
#include <string>

#include "base/result.h"
#include "platform/picture_file.h"

namespace ceph::platform {

// Whether the data starts with a JPEG start-of-image marker (FF D8 FF).
bool IsJpeg(const char* data, std::size_t size);

// Decodes a JPEG held in memory: a grey JPEG becomes Format_Grayscale8, and so does a
// colour-coded one whose colours are all neutral grey; a colour one Format_RGB32. A null
// image on failure, with the reason in *error; *otherDecoder, when given, is set when
// the data may be a valid JPEG that TurboJPEG cannot decode (an unusual chroma sampling)
// and another decoder should try.
QImage DecodeJpeg(const char* data, std::size_t size, std::string* error,
                  bool* otherDecoder = nullptr);

// Reads and decodes a JPEG file, or says why it cannot, in the problem's words.
base::Result<QImage> LoadJpeg(const std::string& path);

// Writes a picture as a JPEG file of the given quality (1..100), as WriteJpeg does; on
// failure the problem names the file, carries the system's error and says why in words
// for the user.
base::Result<void> SaveJpeg(const QImage& image, const std::string& path, int quality);

}  // namespace ceph::platform
