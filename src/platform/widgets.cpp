#include "platform/widgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <variant>

namespace ceph::platform {

namespace {
void Forward(const MouseHandler& handler, QMouseEvent* e, const Twips& t) {
    if (handler) handler(e, t.FromX(e->position().x()), t.FromY(e->position().y()));
}
}  // namespace

void MouseHooks::Press(QMouseEvent* event) {
    clickPressed_ = event->button() == Qt::LeftButton;
}

void MouseHooks::DoubleClick(QMouseEvent*) {
    clickPressed_ = false;
}

void MouseHooks::Release(const QWidget& widget, QMouseEvent* event, const Twips& twips) {
    const bool click = clickPressed_ && event->button() == Qt::LeftButton &&
                       widget.rect().contains(event->position().toPoint());
    clickPressed_ = false;
    Forward(onUp, event, twips);
    if (click) Forward(onClick, event, twips);
}

void MouseHooks::Move(QMouseEvent* event, const Twips& twips) {
    Forward(onMove, event, twips);
}

PictureBoxWidget::PictureBoxWidget(const ui::PictureBox& model, Twips twips,
                                   const PictureStore* pictures, QWidget* parent)
    : QFrame(parent), model_(model), twips_(twips), pictures_(pictures) {
    setAutoFillBackground(false);
    // A click on a picture box takes the focus, so a figure box that was used by a
    // click on the figure is armed again by the next click into it.
    setFocusPolicy(Qt::ClickFocus);
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    PaintPictureBox(painter, model_, palette(), pictures_, twips_.ScaleX(), twips_.ScaleY());
    if (model_.border) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* e) {
    mouse.Press(e);
}
void PictureBoxWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    mouse.DoubleClick(e);
}
void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* e) {
    mouse.Release(*this, e, twips_);
}
void PictureBoxWidget::mouseMoveEvent(QMouseEvent* e) {
    mouse.Move(e, twips_);
}

ImageWidget::ImageWidget(const ui::Image& model, Twips twips, const PictureStore* pictures,
                         QWidget* parent)
    : QWidget(parent), model_(model), twips_(twips), pictures_(pictures) {
    setMouseTracking(true);
}

void ImageWidget::paintEvent(QPaintEvent* event) {
    if (!pictures_ || model_.picture.empty()) return;
    const QImage& image = pictures_->Get(model_.picture);
    if (image.isNull()) return;
    QPainter painter(this);
    // A zoomed picture is mostly outside its viewport: only what is exposed is painted.
    // A few rectangles (the strips a pan uncovers) are painted one by one; a region cut
    // into many pieces costs less as one rectangle than as many small draws.
    const QRegion& region = event->region();
    if (region.rectCount() > 4) {
        PaintPicturePart(painter, image, size(), model_.stretch, region.boundingRect());
        return;
    }
    for (const QRect& part : region)
        PaintPicturePart(painter, image, size(), model_.stretch, part);
}

void ImageWidget::mousePressEvent(QMouseEvent* e) {
    mouse.Press(e);
}
void ImageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    mouse.DoubleClick(e);
}
void ImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    mouse.Release(*this, e, twips_);
}
void ImageWidget::mouseMoveEvent(QMouseEvent* e) {
    mouse.Move(e, twips_);
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
    painter.translate(-pos());
    painter.scale(twips_.ScaleX(), twips_.ScaleY());
    PaintLineControl(painter, model_, palette());
}

}  // namespace ceph::platform
