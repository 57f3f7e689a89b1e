#pragma once
// The magnifier that follows the pointer over the radiograph: a few pixels around the
// pointer, as the screen shows them, enlarged, with a thin crosshair around the
// pointer's own pixel. It lies over the window, never under the pointer, and lets every
// mouse event through to the picture beneath.

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace ceph::platform {

class Loupe : public QWidget {
  public:
    static constexpr int kSide = 40;  // pixels of the picture shown
    static constexpr int kZoom = 4;
    static constexpr int kOffset = 24;  // from the pointer to the nearest corner

    explicit Loupe(QWidget* window);
    // Shows `part` (kSide x kSide pixels, the pointer's pixel at kSide / 2 on both axes)
    // beside `pointer`, a position in the parent's coordinates: to its lower right, or
    // on the other side where the parent's edge is too near.
    void ShowAt(QImage part, QPoint pointer);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage part_;
};

}  // namespace ceph::platform
