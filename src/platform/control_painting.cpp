#include "platform/control_painting.h"

namespace ceph::platform {

void PaintPictureBox(QPainter& painter, const ui::PictureBox& box, const QPalette& palette,
                     const PictureStore* pictures, double pixelsPerTwipX, double pixelsPerTwipY) {
    painter.fillRect(QRectF(0, 0, box.width * pixelsPerTwipX, box.height * pixelsPerTwipY),
                     ToQColor(box.backColor, palette));
    if (pictures && !box.picture.empty())
        painter.drawImage(QPointF(0, 0), pictures->Get(box.picture));
    if (box.drawing.ops.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(pixelsPerTwipX, pixelsPerTwipY);
    PaintDrawingList(painter, box.drawing, palette, pictures);
    painter.restore();
}

void PaintLineControl(QPainter& painter, const ui::Line& line, const QPalette& palette) {
    PaintLine(painter, QPointF(line.x1, line.y1), QPointF(line.x2, line.y2),
              ToQColor(line.borderColor, palette), line.borderWidth,
              line.dotted && line.borderWidth <= 1);
}

}  // namespace ceph::platform
