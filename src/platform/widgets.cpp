#include "platform/widgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <variant>

namespace ceph::platform {

QColor ToQColor(Colour c, const QPalette& palette) {
    if (c == kSystemWindowText) return palette.color(QPalette::WindowText);
    if (c == kSystemButtonFace) return palette.color(QPalette::Button);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

void PaintDrawingList(QPainter& painter, const ui::DrawingList& list, const QPalette& palette) {
    for (const ui::DrawOp& op : list.ops) {
        if (const auto* t = std::get_if<ui::DrawText>(&op)) {
            QFont font = painter.font();
            font.setPixelSize(std::max(1, static_cast<int>(t->size * 20)));
            painter.setFont(font);
            painter.setPen(ToQColor(t->colour, palette));
            QRectF where(t->x, t->y, 1e6, 1e6);
            painter.drawText(where, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                             QString::fromStdString(t->text));
        } else if (const auto* l = std::get_if<ui::DrawLine>(&op)) {
            QPen pen(ToQColor(l->colour, palette));
            pen.setCosmetic(true);
            pen.setWidth(l->width);
            painter.setPen(pen);
            painter.drawLine(QPointF(l->x1, l->y1), QPointF(l->x2, l->y2));
        }
        // Pictures in the list are painted by the picture service once it exists.
    }
}

namespace {
void Forward(const MouseHandler& handler, QMouseEvent* e, const Twips& t) {
    if (handler) handler(e, t.FromX(e->position().x()), t.FromY(e->position().y()));
}
}  // namespace

PictureBoxWidget::PictureBoxWidget(const ui::PictureBox& model, Twips twips, QWidget* parent)
    : QFrame(parent), model_(model), twips_(twips) {
    setAutoFillBackground(false);
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(model_.backColor, palette()));
    if (!model_.drawing.ops.empty()) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.scale(twips_.ScaleX(), twips_.ScaleY());
        PaintDrawingList(painter, model_.drawing, palette());
        painter.restore();
    }
    if (model_.border) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* e) {
    Forward(onMousePress, e, twips_);
}
void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* e) {
    Forward(onMouseRelease, e, twips_);
}
void PictureBoxWidget::mouseMoveEvent(QMouseEvent* e) {
    Forward(onMouseMove, e, twips_);
}

ImageWidget::ImageWidget(const ui::Image& model, Twips twips, QWidget* parent)
    : QWidget(parent), model_(model), twips_(twips) {
    setMouseTracking(true);
}

void ImageWidget::mousePressEvent(QMouseEvent* e) {
    Forward(onMousePress, e, twips_);
}
void ImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    Forward(onMouseRelease, e, twips_);
}
void ImageWidget::mouseMoveEvent(QMouseEvent* e) {
    Forward(onMouseMove, e, twips_);
}

LineWidget::LineWidget(const ui::Line& model, Twips twips, QWidget* parent)
    : QWidget(parent), model_(model), twips_(twips) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::UpdateGeometry() {
    const int margin = 2;
    int x1 = twips_.X(model_.x1), y1 = twips_.Y(model_.y1);
    int x2 = twips_.X(model_.x2), y2 = twips_.Y(model_.y2);
    setGeometry(std::min(x1, x2) - margin, std::min(y1, y2) - margin,
                std::abs(x2 - x1) + 2 * margin + 1, std::abs(y2 - y1) + 2 * margin + 1);
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(ToQColor(model_.borderColor, palette()));
    pen.setWidth(model_.borderWidth);
    // The dotted style shows only on thin lines; wider ones are drawn solid.
    if (model_.dotted && model_.borderWidth <= 1) pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    QPoint origin = pos();
    painter.drawLine(QPoint(twips_.X(model_.x1), twips_.Y(model_.y1)) - origin,
                     QPoint(twips_.X(model_.x2), twips_.Y(model_.y2)) - origin);
}

}  // namespace ceph::platform
