#pragma once
// The grey levels a picture actually uses, for showing a deep radiograph whose file gives
// no window of its own, and for the automatic adjustment.

#include <QImage>

#include "page/drawing.h"

namespace ceph::platform {

// The window from the 0.5 % to the 99.5 % point of the histogram of a Format_Grayscale8
// or Format_Grayscale16 picture: its level the middle of the two, its width their
// difference (at least 1). Empty for colour pictures and null ones. One pass over the
// pixels, so it is cheap enough to compute for every picture loaded.
page::PictureWindow HistogramWindow(const QImage& image);

}  // namespace ceph::platform
