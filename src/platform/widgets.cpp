#include "platform/widgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <variant>

#include "platform/deep_picture.h"
#include "platform/picture_view.h"

namespace ceph::platform {

namespace {
void Forward(const MouseHandler& handler, QMouseEvent* e, const Twips& t) {
    if (handler) handler(e, t.FromX(e->position().x()), t.FromY(e->position().y()));
}
}  // namespace

void MouseHooks::Press(QMouseEvent* event, const Twips& twips) {
    clickPressed_ = event->button() == Qt::LeftButton;
    Forward(onDown, event, twips);
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

void MouseHooks::Wheel(QWheelEvent* event, const Twips& twips) {
    constexpr int kNotch = 120;  // eighths of a degree
    const QPoint delta = event->angleDelta();
    // A turn the other way starts afresh: what was left of the last one is no step back.
    if (delta.x() * turned_.x() < 0) turned_.setX(0);
    if (delta.y() * turned_.y() < 0) turned_.setY(0);
    turned_ += delta;
    // Whole notches towards zero; the rest waits for the next turn.
    const QPoint notches(turned_.x() / kNotch, turned_.y() / kNotch);
    turned_ -= notches * kNotch;
    if (!onWheel) return;
    const Qt::KeyboardModifiers keys = event->modifiers();
    const int shift = (keys & Qt::ShiftModifier ? 1 : 0) | (keys & Qt::ControlModifier ? 2 : 0);
    const float x = twips.FromX(event->position().x()), y = twips.FromY(event->position().y());
    if (notches.y() != 0) onWheel(notches.y(), shift, x, y);
    // A wheel turned sideways pans across, as the upright wheel does with Shift.
    if (notches.x() != 0) onWheel(notches.x(), shift | 1, x, y);
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
    // What only the screen shows lies over the persistent image, at the same scale; the
    // saved bitmap and the paper never get it.
    if (!model_.screenOnly.ops.empty()) {
        painter.save();
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.scale(twips_.ScaleX(), twips_.ScaleY());
        PaintDrawingList(painter, model_.screenOnly, palette(), pictures_);
        painter.restore();
    }
    if (model_.border) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* e) {
    mouse.Press(e, twips_);
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

bool ImageWidget::Same(const Shown& a, const Shown& b) {
    return a.picture == b.picture && a.stretch == b.stretch && a.view == b.view &&
           a.marks == b.marks;
}

void ImageWidget::Sync() {
    Shown now{model_.picture.handle, model_.stretch, model_.view, model_.marks};
    // Marks that are not shown need no repaint when they change.
    if (!now.view.showMarks) now.marks.clear();
    if (!Same(now, shown_)) {
        // A film no longer shown keeps no reduced copy.
        if (now.picture != shown_.picture) reduced_ = QImage();
        shown_ = std::move(now);
        update();
    }
    UpdateLoupe();
}

const std::vector<uchar>& ImageWidget::DeepTable() {
    if (deepTable_.empty() || !(deepTableFor_ == model_.picture) ||
        !(deepTableView_ == model_.view)) {
        deepTable_ = LevelTable(model_.picture, model_.view, 65536, model_.view.invert);
        deepTableFor_ = model_.picture;
        deepTableView_ = model_.view;
    }
    return deepTable_;
}

void ImageWidget::PaintPart(QPainter& painter, const QImage& image, const QRect& exposed) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize device = (QSizeF(size()) * ratio).toSize();
    const bool reduced = model_.stretch && !device.isEmpty() &&
                         (device.width() < image.width() || device.height() < image.height());
    if (image.format() == QImage::Format_Grayscale16) {
        // A deep film keeps its depth down to the pixels painted: reduced, it is averaged
        // once in 16 bits, and each paint looks up only what it shows, so a change of
        // the window costs the viewport's pixels, not the film's.
        if (!reduced) {
            PaintDeepPart(painter, image, size(), model_.stretch, exposed, DeepTable());
            return;
        }
        if (reduced_.size() != device || reducedFrom_ != image.cacheKey()) {
            reduced_ = ReducedDeep(image, device);
            reducedFrom_ = image.cacheKey();
        }
        PaintDeepPart(painter, reduced_, size(), true, exposed, DeepTable());
        return;
    }
    if (!reduced) {
        PaintViewedPart(painter, image, size(), model_.stretch, exposed, model_.view);
        return;
    }
    // Averaged over the film's pixels, not sampled from them: the reduced film shows no
    // grain that is not there.
    if (reduced_.size() != device || reducedFrom_ != image.cacheKey()) {
        reduced_ = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        reducedFrom_ = image.cacheKey();
    }
    PaintViewedPart(painter, reduced_, size(), true, exposed, model_.view);
}

const QImage& ImageWidget::Film() const {
    const QImage& deep = pictures_->Deep(model_.picture);
    return deep.isNull() ? pictures_->Get(model_.picture) : deep;
}

void ImageWidget::paintEvent(QPaintEvent* event) {
    if (!pictures_ || model_.picture.empty()) return;
    const QImage& image = Film();
    if (image.isNull()) return;
    QPainter painter(this);
    // A zoomed picture is mostly outside its viewport: only what is exposed is painted.
    // A few rectangles (the strips a pan uncovers) are painted one by one; a region cut
    // into many pieces costs less as one rectangle than as many small draws.
    const QRegion& region = event->region();
    if (region.rectCount() > 4) {
        PaintPart(painter, image, region.boundingRect());
    } else {
        for (const QRect& part : region)
            PaintPart(painter, image, part);
    }
    if (model_.view.showMarks) PaintMarks(painter, model_.marks, twips_, ShownPart());
}

QRect ImageWidget::ShownPart() const {
    const QWidget* viewport = parentWidget();
    return viewport ? rect() & QRect(-pos(), viewport->size()) : rect();
}

void ImageWidget::UpdateLoupe() {
    const QPointF at = pointer_.value_or(QPointF()) - QPointF(pos());
    const bool wanted = model_.view.loupe && pointer_ && isVisible() &&
                        QRectF(rect()).contains(at) && pictures_ && model_.width > 0 &&
                        model_.height > 0 && !Film().isNull();
    if (!wanted) {
        if (loupe_) loupe_->hide();
        return;
    }
    std::vector<MarkAt> marks;
    QImage part = LoupePart(Film(), at, marks);
    // Over the whole window, not clipped by the viewport the picture lies in.
    if (!loupe_) {
        loupe_ = new Loupe(window());
        loupe_->setObjectName(objectName() + QStringLiteral(".loupe"));
    }
    loupe_->ShowAt(std::move(part), std::move(marks), mapTo(window(), at.toPoint()));
}

QImage ImageWidget::LoupePart(const QImage& film, QPointF at, std::vector<MarkAt>& marks) {
    // The film pixel a click here stores: the pointer in the control's twips over the
    // twips one film pixel spans at this zoom.
    const double perPixelX = model_.width / film.width(), perPixelY = model_.height / film.height();
    const QPoint pixel(static_cast<int>(std::floor(twips_.FromX(at.x()) / perPixelX)),
                       static_cast<int>(std::floor(twips_.FromY(at.y()) / perPixelY)));
    const QPoint origin = pixel - QPoint(Loupe::kSide / 2, Loupe::kSide / 2);
    const QRect source = QRect(origin, QSize(Loupe::kSide, Loupe::kSide)) & film.rect();
    QImage part(Loupe::kSide, Loupe::kSide, QImage::Format_RGB32);
    part.fill(Qt::black);
    const bool deep = film.format() == QImage::Format_Grayscale16;
    if (!source.isEmpty()) {
        QPainter painter(&part);
        // The same table the film is painted through, made once per view, not per move.
        if (deep)
            painter.drawImage(source.topLeft() - origin, ThroughTable(film, source, DeepTable()));
        else
            painter.drawImage(source.topLeft() - origin, film, source);
    }
    if (!deep) ApplyView(part, model_.view);
    if (!model_.view.showMarks) return part;
    for (const ui::PlacedMark& mark : model_.marks) {
        const QPointF in(mark.x / perPixelX - origin.x(), mark.y / perPixelY - origin.y());
        if (in.x() < -Loupe::kSide || in.y() < -Loupe::kSide || in.x() > 2 * Loupe::kSide ||
            in.y() > 2 * Loupe::kSide)
            continue;
        marks.push_back({(in * Loupe::kZoom).toPoint(), QString::fromStdString(mark.label),
                         mark.kind,
                         static_cast<int>(std::lround(mark.reach / perPixelX * Loupe::kZoom))});
    }
    return part;
}

void ImageWidget::mousePressEvent(QMouseEvent* e) {
    mouse.Press(e, twips_);
}
void ImageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    mouse.DoubleClick(e);
}
void ImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    mouse.Release(*this, e, twips_);
}
void ImageWidget::mouseMoveEvent(QMouseEvent* e) {
    pointer_ = mapToParent(e->position());
    mouse.Move(e, twips_);
    UpdateLoupe();
}

void ImageWidget::wheelEvent(QWheelEvent* e) {
    // Taken here whatever it does, so no scrolling container moves the viewport too.
    e->accept();
    pointer_ = mapToParent(e->position());
    mouse.Wheel(e, twips_);
    UpdateLoupe();
}

void ImageWidget::leaveEvent(QEvent*) {
    pointer_.reset();
    UpdateLoupe();
    if (mouse.onLeave) mouse.onLeave();
}

void ImageWidget::hideEvent(QHideEvent*) {
    if (loupe_) loupe_->hide();
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
