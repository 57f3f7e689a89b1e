#pragma once
// The magnifier that follows the pointer over the radiograph: the film's own pixels
// around the point a click would store, enlarged whatever the zoom, with a thin
// crosshair around that pixel and the marks of the placed landmarks. It lies over the
// window, never under the pointer, and lets every mouse event through to the picture
// beneath.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <vector>

#include "platform/picture_view.h"

namespace ceph::platform {

class Loupe : public QWidget {
  public:
    static constexpr int kSide = 40;  // pixels of the film shown
    static constexpr int kZoom = 4;
    static constexpr int kOffset = 24;  // from the pointer to the nearest corner

    explicit Loupe(QWidget* window);
    // Shows `part` (kSide x kSide film pixels, the pointer's pixel at kSide / 2 on both
    // axes) with `marks` (in the loupe's own pixels) beside `pointer`, a position in the
    // parent's coordinates: to its lower right, or on the other side where the parent's
    // edge is too near.
    void ShowAt(QImage part, std::vector<MarkAt> marks, QPoint pointer);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage part_;
    std::vector<MarkAt> marks_;
};

}  // namespace ceph::platform
