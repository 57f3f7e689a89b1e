#pragma once
// The formats this library decodes itself: DICOM (GDCM, OpenJPEG, CharLS), TIFF (libtiff)
// and JPEG (libjpeg-turbo).

namespace ceph::pictures {

// Registers DICOM, TIFF and JPEG, in the order their files are recognised (format.h);
// again, they stay where they are.
void RegisterOwnFormats();

}  // namespace ceph::pictures
