#pragma once
// Deep greyscale pictures (DICOM, 16-bit TIFF and PNG) keep every level they were stored
// with; the screen, the loupe and a stored copy see them through a table from each of
// their 65536 levels to one of 256 greys, built from the window and the display aids.
// Only the pixels that are shown are looked up, so moving the window over a radiograph of
// many megapixels costs what the viewport holds.

#include <QImage>
#include <QRect>
#include <QSize>
#include <vector>

#include "page/drawing.h"

namespace ceph::platform {

// The window the picture is seen through before brightness and contrast: the view's own
// (set by the automatic adjustment), else the file's, else the histogram's, else every
// level the picture can hold.
page::PictureWindow BaseWindow(const page::PictureRef& picture, const page::PictureView& view);

// The grey shown for each level a picture of `levels` levels (256 or 65536) can hold:
// through the base window, inverted when `invert`, then the contrast around mid-grey and
// the brightness, so that the aids move the window and bring back what it had cut off.
std::vector<uchar> LevelTable(const page::PictureRef& picture, const page::PictureView& view,
                              int levels, bool invert);

// The pixels of a Format_Grayscale16 picture within `part` through the table, as a
// Format_Grayscale8 picture of part's size.
QImage ThroughTable(const QImage& deep, const QRect& part, const std::vector<uchar>& table);

// A Format_Grayscale16 picture reduced to `size` by averaging the pixels each new pixel
// covers, keeping its depth (Qt's smooth scaling would reduce it to 8 bits first).
QImage ReducedDeep(const QImage& deep, QSize size);

}  // namespace ceph::platform
