#pragma once
// Widgets for the control kinds that Qt has no ready-made widget for: picture boxes
// that paint their drawing list, the stretched radiograph image and line controls.
// All of them draw in twips through the screen's logical resolution.

#include <QColor>
#include <QFrame>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "platform/painting.h"
#include "platform/twips.h"
#include "ui/controls.h"

namespace ceph::platform {

// Mouse events in twips inside the control, forwarded to the window.
using MouseHandler = std::function<void(QMouseEvent*, float xTwips, float yTwips)>;

// A control's mouse events as the window model knows them: a move, a button released
// (wherever the pointer is then), and a click, which is a left press and its release
// both over the control. The second press of a double-click is no click, so a
// double-click clicks once.
class MouseHooks {
  public:
    MouseHandler onMove, onUp, onClick;
    void Press(QMouseEvent* event);
    void DoubleClick(QMouseEvent* event);
    void Release(const QWidget& widget, QMouseEvent* event, const Twips& twips);
    void Move(QMouseEvent* event, const Twips& twips);

  private:
    bool clickPressed_ = false;
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

class ImageWidget : public QWidget {
  public:
    ImageWidget(const ui::Image& model, Twips twips, const PictureStore* pictures, QWidget* parent);
    MouseHooks mouse;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    const ui::Image& model_;
    Twips twips_;
    const PictureStore* pictures_;
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
