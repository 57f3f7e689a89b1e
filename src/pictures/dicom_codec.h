#pragma once
// DICOM radiographs (DX, CR and whatever else holds one picture of grey or colour pixels)
// through GDCM, which decodes every compression X-ray systems write: JPEG 2000, JPEG-LS,
// lossless and lossy JPEG, RLE and raw pixels.
//
// The file's structure is walked here before GDCM sees it: the picture's size and depth
// are checked against the limits before any pixel is allocated, and a file cut short is
// refused before GDCM's reader, which stops the program on some damaged headers, reads it.

#include <string_view>

#include "base/result.h"
#include "pictures/format.h"
#include "pictures/picture.h"

namespace ceph::pictures {

// Whether the data looks like a DICOM file: "DICM" after the 128-byte preamble, or, for
// files written without the preamble, a first element of group 0002 or 0008.
bool IsDicom(std::string_view bytes);

// Decodes the first frame of a DICOM file. Grey pixels become Grey8 when they fit 8 bits
// and Grey16 otherwise: the stored values after the modality rescale and the file's VOI
// LUT when it has one, moved up so that none is negative, higher always whiter
// (MONOCHROME1 is inverted). The file's window centre and width, moved with the values,
// is the picture's file window. Colour pixels become grey. Otherwise the reason.
base::Result<Picture> DecodeDicom(std::string_view bytes);

// The descriptor: "*.dcm;*.dicom;*.dic", and names without an extension or named by
// their number ("1.2.840.113619.2.5"), as many DICOM files are; recognised by IsDicom.
const Format& DicomFormat();

}  // namespace ceph::pictures
