#pragma once
// Painting the window's controls that draw (the picture boxes, the line controls) with
// the one routine that paints every drawing list (painting.h).

#include <QPainter>
#include <QPalette>

#include "platform/painting.h"
#include "platform/pictures.h"
#include "ui/controls.h"

namespace ceph::platform {

// A picture box as drawn: background colour, background picture at its own size, and
// the drawing list, `twipsPerPixel` giving the scale.
void PaintPictureBox(QPainter& painter, const ui::PictureBox& box, const QPalette& palette,
                     const PictureStore* pictures, double pixelsPerTwipX, double pixelsPerTwipY);

// A line control in twips: its colour, its width in pixels whatever the scale, dotted
// where the style asks for it and the line is thin (a thicker line is always solid).
void PaintLineControl(QPainter& painter, const ui::Line& line, const QPalette& palette);

}  // namespace ceph::platform
