#pragma once
// TIFF pictures through libtiff, read from the bytes in memory: the deep grey pictures
// film scanners and some X-ray systems write (16 bits a pixel), as well as ordinary grey,
// black-and-white and colour ones; uncompressed, LZW, Deflate or PackBits, in strips or
// tiles. Of a file of several pages, the first.
//
// Errors are returned as reasons in Traditional Chinese, ready to follow a message such
// as "無法讀取圖檔：".

#include <cstddef>
#include <string>

#include "platform/decoded_picture.h"

namespace ceph::platform {

// Whether the data starts as a TIFF file does ("II*\0" or "MM\0*").
bool IsTiff(const char* data, std::size_t size);

// Decodes the first page of a TIFF held in memory, turned upright by its orientation
// tag: grey pictures of 1 or 8 bits become Format_Grayscale8, of 16 bits
// Format_Grayscale16 (white-is-zero ones inverted so that higher is whiter); 8-bit colour
// Format_RGB32, left to the caller's normalisation. Its resolution, when given in inches
// or centimetres and not a screen's default (72 or 96 per inch), becomes the spacing. A
// null image and the reason otherwise.
DecodedPicture DecodeTiff(const char* data, std::size_t size, std::string* error);

}  // namespace ceph::platform
