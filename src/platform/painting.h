#pragma once
// Painting the model's drawing lists: one routine for the screen panels, the snapshot
// bitmap, the printer and the files of cephtool, so that all of them show the same. The
// window's controls are painted with it in control_painting.h.

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>
#include <vector>

#include "model/figure.h"
#include "page/drawing.h"
#include "platform/pictures.h"

namespace ceph::platform {

// A model colour as Qt colour; the system colours come from the palette.
QColor ToQColor(Colour colour, const QPalette& palette);

// A line in twips: its width in pixels whatever the scale, dotted where asked.
void PaintLine(QPainter& painter, QPointF from, QPointF to, const QColor& colour, int width,
               bool dotted);

// Replays a drawing list on a painter whose coordinates are twips. Texts take their
// size in points as a pixel size of 20 units per point, with their top-left corner at
// the given place.
void PaintDrawingList(QPainter& painter, const page::DrawingList& list, const QPalette& palette,
                      const PictureStore* pictures);

// The figure as the window shows it on its panel (background, painted pair figure,
// visible lines) as a picture at `dpi`; `under` is painted with the pair figure, as the
// panel's drawing list holds the radiograph (its pictures from `pictures`).
QImage RenderFigure(const model::Figure& figure, int dpi, const page::DrawingList& under = {},
                    const PictureStore* pictures = nullptr);

// Pages on any paint device whose painter starts at the printable area's top-left:
// the printer, a PDF writer. Text is drawn with PrintFont() of the device's font.
// Returns false when the device cannot be painted on.
bool PaintPages(QPagedPaintDevice& device, const std::vector<page::DrawingList>& pages,
                const PictureStore* pictures);

// A page as a picture of the given size in pixels at `dpi`, on white, with the glyphs it
// has on paper.
QImage RenderPage(const page::DrawingList& page, const PictureStore* pictures, QSize size, int dpi);

}  // namespace ceph::platform
