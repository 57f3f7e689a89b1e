#include "platform/painting.h"

#include <QPaintEngine>
#include <algorithm>
#include <cmath>
#include <variant>

#include "platform/print_font.h"

namespace ceph::platform {

QColor ToQColor(Colour c, const QPalette& palette) {
    if (c == kSystemWindowText) return palette.color(QPalette::WindowText);
    if (c == kSystemButtonFace) return palette.color(QPalette::Button);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

void PaintLine(QPainter& painter, QPointF from, QPointF to, const QColor& colour, int width,
               bool dotted) {
    QPen pen(colour);
    pen.setCosmetic(true);
    pen.setWidth(width);
    if (dotted) pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawLine(from, to);
}

namespace {

// The visible lines of a figure: a thin line is dotted where its style asks for it.
template <std::size_t N>
void PaintFigureLines(QPainter& painter, const std::array<model::FigureLine, N>& lines,
                      const QPalette& palette) {
    for (const model::FigureLine& l : lines) {
        if (!l.visible) continue;
        PaintLine(painter, QPointF(l.x1, l.y1), QPointF(l.x2, l.y2), ToQColor(l.colour, palette),
                  l.width, l.dotted && l.width <= 1);
    }
}

}  // namespace

void PaintDrawingList(QPainter& painter, const page::DrawingList& list, const QPalette& palette,
                      const PictureStore* pictures) {
    for (const page::DrawOp& op : list.ops) {
        if (const auto* t = std::get_if<page::DrawText>(&op)) {
            QFont font = painter.font();
            font.setPixelSize(std::max(1, static_cast<int>(t->size * 20)));
            painter.setFont(font);
            painter.setPen(ToQColor(t->colour, palette));
            painter.drawText(QRectF(t->x, t->y, 1e6, 1e6),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                             QString::fromStdString(t->text));
        } else if (const auto* l = std::get_if<page::DrawLine>(&op)) {
            PaintLine(painter, QPointF(l->x1, l->y1), QPointF(l->x2, l->y2),
                      ToQColor(l->colour, palette), l->width, false);
        } else if (const auto* c = std::get_if<page::DrawCircle>(&op)) {
            QPen pen(ToQColor(c->colour, palette));
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(c->x, c->y), c->radius, c->radius);
        } else if (const auto* p = std::get_if<page::DrawPicture>(&op)) {
            if (!pictures) continue;
            const QImage& image = pictures->Get(p->picture);
            if (image.isNull()) continue;
            // The radiograph under the figure is ANDed with what is there; raster
            // operations exist only on pixel surfaces, elsewhere it is painted over.
            const bool andWithDestination =
                p->rasterOp == 0x8800C6 &&
                painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
            if (andWithDestination)
                painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            const QRectF target(p->x, p->y, p->width, p->height);
            if (p->sourceWidth > 0 && p->sourceHeight > 0)
                painter.drawImage(target, image,
                                  QRectF(p->sourceX, p->sourceY, p->sourceWidth, p->sourceHeight));
            else
                painter.drawImage(target, image);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
}

QImage RenderFigure(const model::Figure& figure, int dpi, const page::DrawingList& under,
                    const PictureStore* pictures) {
    const double scale = dpi / 1440.0;
    QImage image(std::max(1, static_cast<int>(std::lround(figure.width * scale))),
                 std::max(1, static_cast<int>(std::lround(figure.height * scale))),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    QPainter painter(&image);
    QPalette palette;
    // The panel as a picture box paints itself: its background, then the pair figure
    // painted on it.
    painter.fillRect(QRectF(0, 0, figure.width * scale, figure.height * scale),
                     ToQColor(figure.background, palette));
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(scale, scale);
    for (const model::FigureLine& l : figure.pairLines)
        PaintLine(painter, QPointF(l.x1, l.y1), QPointF(l.x2, l.y2), ToQColor(l.colour, palette),
                  l.width, false);
    PaintDrawingList(painter, under, palette, pictures);
    painter.restore();
    // The line controls over it, the profile's before the bones' as the window has them.
    painter.scale(scale, scale);
    PaintFigureLines(painter, figure.profile, palette);
    PaintFigureLines(painter, figure.hardTissue, palette);
    return image;
}

bool PaintPages(QPagedPaintDevice& device, const std::vector<page::DrawingList>& pages,
                const PictureStore* pictures) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Text goes through the print face so that a PDF file keeps it as text.
    painter.setFont(PrintFont(painter.font()));
    const double sx = device.logicalDpiX() / 1440.0, sy = device.logicalDpiY() / 1440.0;
    QPalette paper;
    paper.setColor(QPalette::WindowText, Qt::black);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) return false;
        painter.save();
        painter.scale(sx, sy);
        PaintDrawingList(painter, pages[i], paper, pictures);
        painter.restore();
    }
    return painter.end();
}

QImage RenderPage(const page::DrawingList& page, const PictureStore* pictures, QSize size,
                  int dpi) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The glyphs the page has on paper, unhinted as in the PDF: hinting follows each
    // system's font settings, and a page picture should not differ between them.
    QFont font = PrintFont(painter.font());
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    painter.scale(dpi / 1440.0, dpi / 1440.0);
    QPalette paper;
    paper.setColor(QPalette::WindowText, Qt::black);
    PaintDrawingList(painter, page, paper, pictures);
    return image;
}

}  // namespace ceph::platform
