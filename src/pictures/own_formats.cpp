#include "pictures/own_formats.h"

#include "pictures/dicom_codec.h"
#include "pictures/format.h"
#include "pictures/jpeg_codec.h"
#include "pictures/tiff_codec.h"

namespace ceph::pictures {

void RegisterOwnFormats() {
    Register(DicomFormat());
    Register(TiffFormat());
    Register(JpegFormat());
}

}  // namespace ceph::pictures
