#pragma once
// Twips (1440 per inch) to device pixels through the screen's logical resolution.

#include <QPoint>
#include <QRect>
#include <cmath>

namespace ceph::platform {

struct Twips {
    double dpiX = 96, dpiY = 96;
    int X(double twips) const { return static_cast<int>(std::lround(twips * dpiX / 1440.0)); }
    int Y(double twips) const { return static_cast<int>(std::lround(twips * dpiY / 1440.0)); }
    float FromX(double px) const { return static_cast<float>(px * 1440.0 / dpiX); }
    float FromY(double px) const { return static_cast<float>(px * 1440.0 / dpiY); }
    QRect Rect(double l, double t, double w, double h) const {
        return QRect(X(l), Y(t), X(w), Y(h));
    }
    // Pixels per twip, for painters that draw in twips.
    double ScaleX() const { return dpiX / 1440.0; }
    double ScaleY() const { return dpiY / 1440.0; }
};

// The logical resolution of the primary screen.
Twips ScreenTwips();

}  // namespace ceph::platform
