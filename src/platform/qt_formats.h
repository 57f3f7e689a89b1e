#pragma once
// The picture formats Qt's image plugins decode (BMP, PNG and whatever else they read),
// registered beside the pictures' own (DICOM, TIFF, JPEG: src/pictures) when the platform
// starts, and the hand-over of pixels between the pictures and Qt without copying them.

#include <QImage>
#include <string_view>

#include "base/result.h"
#include "page/drawing.h"
#include "pictures/picture.h"

namespace ceph::platform {

// Registers the pictures' own formats, then BMP, PNG and, last, anything else Qt reads.
// Once for the process; later calls return at once.
void RegisterPictureFormats();

// Bytes Qt's plugins read, as the picture the program keeps: grey pictures one byte a
// pixel (or two, deeper), colour ones in the 32-bit formats the screen paints. Refused,
// with the reason, when they cannot be read or would exceed the limits.
base::Result<QImage> ReadWithQt(std::string_view bytes);

// Pixels as a QImage, without copying them: the very QImage Qt decoded them into, or one
// that keeps the pixels' block alive.
QImage ToQImage(pictures::Pixels pixels);

// A QImage's pixels (Format_Grayscale8, Grayscale16, RGB32 or ARGB32_Premultiplied), held
// by the QImage itself.
pictures::Pixels FromQImage(QImage image);

inline page::PictureWindow ToPictureWindow(const pictures::Window& window) {
    return {window.level, window.width};
}

}  // namespace ceph::platform
