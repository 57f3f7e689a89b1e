#pragma once
// JPEG pictures through libjpeg-turbo's TurboJPEG interface: radiographs are large grey
// JPEGs, and decoding them straight into one byte a pixel is several times faster than
// decoding them to 32-bit colour, as Qt's image plugin does.

#include <string>
#include <string_view>

#include "base/result.h"
#include "pictures/format.h"
#include "pictures/picture.h"

namespace ceph::pictures {

// Whether the data starts with a JPEG start-of-image marker (FF D8 FF).
bool IsJpeg(std::string_view bytes);

// Decodes a JPEG's pixels: a grey JPEG becomes Grey8, and so does a colour-coded one
// whose colours are all neutral grey; a colour one Rgb32. Otherwise the reason;
// *declined, when given, is set when the data may be a valid JPEG that TurboJPEG cannot
// decode (an unusual chroma sampling) and another decoder should try.
base::Result<Pixels> DecodeJpegPixels(std::string_view bytes, bool* declined = nullptr);

// A JPEG as the program shows it: its pixels, from the format registered after this one
// that takes them (Qt's reader) when TurboJPEG declines them, turned upright by the EXIF
// orientation a camera's or phone's picture records.
base::Result<Picture> DecodeJpeg(std::string_view bytes);

// Reads and decodes a JPEG file, or says why it cannot, naming the file.
base::Result<Pixels> LoadJpeg(const std::string& path);

// The descriptor: "*jpg;*.jpeg" (as the picker has always matched them), recognised by
// IsJpeg.
const Format& JpegFormat();

}  // namespace ceph::pictures
