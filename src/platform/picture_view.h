#pragma once
// The radiograph as the clinician looks at it while placing landmarks: brighter,
// darker, with more or less contrast or inverted, and with the landmarks placed so far
// marked. Only what reaches the screen changes; the picture in the store, what a click
// stores and what is saved stay as they are.

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <vector>

#include "model/label_placement.h"
#include "platform/twips.h"
#include "ui/controls.h"

namespace ceph::platform {

// Whether the view shows the picture's grey levels as they are.
bool PlainView(const ui::PictureView& view);

// The grey level shown for each of the picture's 256: inverted first, so that
// "brighter" always brightens what is on the screen, then the contrast around mid-grey
// and the brightness.
std::array<uchar, 256> ViewTable(const ui::PictureView& view);

// PaintPicturePart through the view's grey levels. Only the pixels painted are looked
// up, after scaling, so a zoomed-out radiograph costs no more than the viewport it fills.
// A plain view paints exactly as PaintPicturePart.
void PaintViewedPart(QPainter& painter, const QImage& image, QSize size, bool stretch,
                     const QRect& exposed, const ui::PictureView& view);

// PaintViewedPart for a deep picture (Format_Grayscale16): only the pixels behind
// `exposed` are looked up in `table` (LevelTable's, inverting as the view does).
void PaintDeepPart(QPainter& painter, const QImage& deep, QSize size, bool stretch,
                   const QRect& exposed, const std::vector<uchar>& table);

// The picture's grey levels in `part` (32 bits a pixel) as the view shows them; a plain
// view leaves them.
void ApplyView(QImage& part, const ui::PictureView& view);

// The colour of the marks of placed landmarks: bright on black film and on white bone
// alike, with a dark outline.
QColor MarkColour();

// Each placed mark as a small cross with its landmark's name beside it, each suggested
// one as a hollow ring (the one asked for brighter, in a circle of its expected error); the
// painter's origin is the image control's top-left corner. A name is put on the cross's other side
// where it would leave `room`, the part of the control the viewport shows.
void PaintMarks(QPainter& painter, const std::vector<ui::PlacedMark>& marks, const Twips& twips,
                const QRect& room);

// A mark placed in the painter's pixels; a suggested one with its expected error's
// radius in those pixels.
struct MarkAt {
    QPoint at;
    QString label;
    ui::MarkKind kind = ui::MarkKind::Placed;
    int reach = 0;
};
// The same marks at given places, for a view at another scale than the control's.
void PaintMarks(QPainter& painter, const std::vector<MarkAt>& marks, const QRect& room);

// Half a mark's cross, in pixels: a cross of 9.
inline constexpr int kMarkArm = 4;
// Where the names of `marks` go in `room`, in the face of `metrics`: none over another
// name or a mark, moved out with a leader line where no side of its mark is free.
std::vector<model::PlacedLabel> PlaceMarkNames(const std::vector<MarkAt>& marks,
                                               const QFontMetrics& metrics, const QRect& room);

}  // namespace ceph::platform
