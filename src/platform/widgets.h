#pragma once
// Widgets for the control kinds that Qt has no ready-made widget for: picture boxes
// that paint their drawing list, the stretched radiograph image and line controls.
// All of them draw in twips through the screen's logical resolution.

#include <QColor>
#include <QFrame>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "platform/twips.h"
#include "ui/controls.h"

namespace ceph::platform {

// A model colour as Qt colour; the system colours come from the palette.
QColor ToQColor(Colour colour, const QPalette& palette);

// Replays a drawing list on a painter whose coordinates are twips. Texts take their
// size in points as a pixel size of 20 units per point.
void PaintDrawingList(QPainter& painter, const ui::DrawingList& list, const QPalette& palette);

// Mouse events in twips inside the control, forwarded to the window.
using MouseHandler = std::function<void(QMouseEvent*, float xTwips, float yTwips)>;

class PictureBoxWidget : public QFrame {
  public:
    PictureBoxWidget(const ui::PictureBox& model, Twips twips, QWidget* parent);
    MouseHandler onMousePress, onMouseRelease, onMouseMove;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    const ui::PictureBox& model_;
    Twips twips_;
};

class ImageWidget : public QWidget {
  public:
    ImageWidget(const ui::Image& model, Twips twips, QWidget* parent);
    MouseHandler onMousePress, onMouseRelease, onMouseMove;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    const ui::Image& model_;
    Twips twips_;
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
