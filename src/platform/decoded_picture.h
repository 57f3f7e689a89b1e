#pragma once
// A picture file decoded (pictures::Picture) as the platform keeps it: its pixels as a
// QImage and what the file told about them beyond the pixels.

#include <QImage>
#include <string>

#include "page/drawing.h"

namespace ceph::platform {

struct DecodedPicture {
    // Format_Grayscale8 for grey pictures of 8 bits or fewer, Format_Grayscale16 for deeper
    // grey ones (the stored values scaled to no range: a 12-bit level stays 0..4095, a
    // DICOM's level after its modality rescale, moved up so that none is negative),
    // Format_RGB32 or Format_ARGB32_Premultiplied for colour.
    QImage image;
    // The file's own display window, in the values of `image`; empty when it gives none.
    page::PictureWindow fileWindow;
    // Millimetres per pixel across and down; 0 when unknown or absurd.
    double spacingX = 0;
    double spacingY = 0;
    // What the decoder found damaged in a picture it could still show, in Traditional
    // Chinese (what was damaged, not the file's name); empty for a whole picture.
    std::string damage;
};

}  // namespace ceph::platform
