#pragma once
// TIFF pictures through libtiff, read from the bytes in memory: the deep grey pictures
// film scanners and some X-ray systems write (16 bits a pixel), as well as ordinary grey,
// black-and-white and colour ones; uncompressed, LZW, Deflate or PackBits, in strips or
// tiles. Of a file of several pages, the first.

#include <string_view>

#include "base/result.h"
#include "pictures/format.h"
#include "pictures/picture.h"

namespace ceph::pictures {

// Whether the data starts as a TIFF file does ("II*\0" or "MM\0*").
bool IsTiff(std::string_view bytes);

// Decodes the first page of a TIFF, turned upright by its orientation tag: grey pictures
// of 1 or 8 bits become Grey8, of 16 bits Grey16 (white-is-zero ones inverted so that
// higher is whiter); 8-bit colour Rgb32, or Grey8 when every pixel is grey. Its
// resolution, when given in inches or centimetres and not a screen's default (72 or 96
// per inch), becomes the spacing. Otherwise the reason.
base::Result<Picture> DecodeTiff(std::string_view bytes);

// The descriptor: "*.tif;*.tiff", recognised by IsTiff.
const Format& TiffFormat();

}  // namespace ceph::pictures
