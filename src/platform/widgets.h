#pragma once
// Widgets for the control kinds that Qt has no ready-made widget for: picture boxes
// that paint their drawing list, the stretched radiograph image and line controls.
// All of them draw in twips through the screen's logical resolution.

#include <QColor>
#include <QFrame>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "platform/control_painting.h"
#include "platform/loupe.h"
#include "platform/twips.h"
#include "ui/controls.h"

namespace ceph::platform {

// Mouse events in twips inside the control, forwarded to the window.
using MouseHandler = std::function<void(QMouseEvent*, float xTwips, float yTwips)>;
// Whole notches of the wheel (positive: turned away from the user) with the keys held
// (1 Shift, 2 Ctrl) and the pointer in twips inside the control.
using WheelHandler = std::function<void(int notches, int shift, float xTwips, float yTwips)>;

// A control's mouse events as the window model knows them: a button pressed, a move, a
// button released
// (wherever the pointer is then), and a click, which is a left press and its release
// both over the control. The second press of a double-click is no click, so a
// double-click clicks once. The wheel goes by whole notches: fine-grained wheels and
// touchpads send fractions, which add up until they make one.
class MouseHooks {
  public:
    MouseHandler onDown, onMove, onUp, onClick;
    WheelHandler onWheel;
    std::function<void()> onLeave;  // the pointer left the widget
    void Press(QMouseEvent* event, const Twips& twips);
    void DoubleClick(QMouseEvent* event);
    void Release(const QWidget& widget, QMouseEvent* event, const Twips& twips);
    void Move(QMouseEvent* event, const Twips& twips);
    void Wheel(QWheelEvent* event, const Twips& twips);

  private:
    bool clickPressed_ = false;
    QPoint turned_;  // eighths of a degree not yet sent, across and along
};

class PictureBoxWidget : public QFrame {
  public:
    PictureBoxWidget(const ui::PictureBox& model, Twips twips, const PictureStore* pictures,
                     QWidget* parent);
    MouseHooks mouse;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    const ui::PictureBox& model_;
    Twips twips_;
    const PictureStore* pictures_;
};

// The radiograph as the view shows it, the marks of the placed landmarks over it and
// the magnifier that follows the pointer.
class ImageWidget : public QWidget {
  public:
    ImageWidget(const ui::Image& model, Twips twips, const PictureStore* pictures, QWidget* parent);
    MouseHooks mouse;

    // Brings the widget up to date with its control: repainted only when what it paints
    // differs from the last time, since every mouse move over it refreshes the window.
    void Sync();
    // The magnifier, once it has been shown.
    const Loupe* Magnifier() const { return loupe_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // What the control shows, to tell whether a refresh changes it.
    struct Shown {
        std::uint32_t picture = 0;
        bool stretch = true;
        ui::PictureView view;
        std::vector<ui::PlacedMark> marks;
    };
    static bool Same(const Shown& a, const Shown& b);
    // Paints `exposed` (widget pixels) as the screen shows it.
    void PaintPart(QPainter& painter, const QImage& image, const QRect& exposed);
    void UpdateLoupe();
    // The film as the store keeps it: a deep one in its own 16 bits.
    const QImage& Film() const;
    // A deep film's table from its levels to the greys shown, for the view in force.
    const std::vector<uchar>& DeepTable();
    // The film's pixels around the one under `at` (widget pixels) as the view shows
    // them, for the loupe, with the marks among them at the loupe's scale.
    QImage LoupePart(const QImage& film, QPointF at, std::vector<MarkAt>& marks);
    // The part of the widget its viewport shows, in the widget's pixels.
    QRect ShownPart() const;

    const ui::Image& model_;
    Twips twips_;
    const PictureStore* pictures_;
    Shown shown_;
    // A reduced film scaled once to the device pixels it fills, and the film it came from:
    // a resize of the window or a pan then only copies pixels.
    QImage reduced_;
    qint64 reducedFrom_ = 0;
    std::vector<uchar> deepTable_;
    ui::PictureRef deepTableFor_;
    ui::PictureView deepTableView_;
    // Where the pointer is over the viewport: a pan or a zoom under a pointer that stays
    // puts another pixel beneath it.
    std::optional<QPointF> pointer_;
    QPointer<Loupe> loupe_;
};

// A line control: a transparent widget over the line's bounding box.
class LineWidget : public QWidget {
  public:
    LineWidget(const ui::Line& model, Twips twips, QWidget* parent);
    // Places the widget over the line's current end points.
    void UpdateGeometry();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const ui::Line& model_;
    Twips twips_;
};

}  // namespace ceph::platform
