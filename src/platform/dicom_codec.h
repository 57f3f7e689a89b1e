#pragma once
// DICOM radiographs (DX, CR and whatever else holds one picture of grey or colour pixels)
// through GDCM, which decodes every compression X-ray systems write: JPEG 2000, JPEG-LS,
// lossless and lossy JPEG, RLE and raw pixels.
//
// The file's structure is walked here before GDCM sees it: the picture's size and depth
// are checked against the limits before any pixel is allocated, and a file cut short is
// refused before GDCM's reader, which stops the program on some damaged headers, reads it.
//
// Errors are returned as reasons in Traditional Chinese, ready to follow a message such
// as "無法讀取圖檔：".

#include <cstddef>
#include <string>

#include "platform/decoded_picture.h"

namespace ceph::platform {

// Whether the data looks like a DICOM file: "DICM" after the 128-byte preamble, or, for
// files written without the preamble, a first element of group 0002 or 0008.
bool IsDicom(const char* data, std::size_t size);

// Decodes the first frame of a DICOM file held in memory. Grey pixels become
// Format_Grayscale8 when they fit 8 bits and Format_Grayscale16 otherwise: the stored
// values after the modality rescale and the file's VOI LUT when it has one, moved up so
// that none is negative, higher always whiter (MONOCHROME1 is inverted). The file's
// window centre and width, moved with the values, is the picture's file window. Colour
// pixels become grey. A null image and the reason when the file cannot be decoded.
DecodedPicture DecodeDicom(const char* data, std::size_t size, std::string* error);

}  // namespace ceph::platform
