#include "platform/loupe.h"

#include <QPainter>

namespace ceph::platform {

Loupe::Loupe(QWidget* window) : QWidget(window) {
    // A click through the magnifier must reach the picture, and the picture alone must
    // know where the pointer is.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    resize(kSide * kZoom, kSide * kZoom);
    hide();
}

void Loupe::ShowAt(QImage part, std::vector<MarkAt> marks, QPoint pointer) {
    part_ = std::move(part);
    marks_ = std::move(marks);
    const int side = kSide * kZoom;
    const QSize room = parentWidget() ? parentWidget()->size() : QSize(side, side);
    // Offset on both axes: whichever side it takes, the pointer stays outside.
    int x = pointer.x() + kOffset, y = pointer.y() + kOffset;
    if (x + side > room.width()) x = pointer.x() - kOffset - side;
    if (y + side > room.height()) y = pointer.y() - kOffset - side;
    move(x, y);
    raise();
    show();
    update();
}

void Loupe::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int side = kSide * kZoom;
    // Pixels shown as squares, as they are: smoothing would blur the edge being sought.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(0, 0, side, side), part_);
    PaintMarks(painter, marks_, rect());
    // The pointer's pixel framed, with hairlines leading to it from the four edges.
    const int at = kSide / 2 * kZoom;
    const QRect pixel(at - 1, at - 1, kZoom + 1, kZoom + 1);
    painter.setPen(QColor(255, 64, 64));
    painter.drawRect(pixel);
    const int mid = at + kZoom / 2;
    painter.drawLine(mid, 0, mid, pixel.top() - 3);
    painter.drawLine(mid, pixel.bottom() + 3, mid, side);
    painter.drawLine(0, mid, pixel.left() - 3, mid);
    painter.drawLine(pixel.right() + 3, mid, side, mid);
    painter.setPen(QColor(40, 40, 40));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace ceph::platform
