#include "platform/picture_view.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

#include "platform/deep_picture.h"
#include "platform/pictures.h"

namespace ceph::platform {

namespace {

// Every channel of a 32-bit picture through the table; a grey picture painted in colour
// has three equal channels, so it stays grey.
void ApplyTable(QImage& part, const std::array<uchar, 256>& table) {
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(table[qRed(p)], table[qGreen(p)], table[qBlue(p)]);
        }
    }
}

}  // namespace

bool PlainView(const ui::PictureView& view) {
    return view.window.empty() && view.brightness == 0 && view.contrast == 100 && !view.invert;
}

std::array<uchar, 256> ViewTable(const ui::PictureView& view) {
    const std::vector<uchar> levels = LevelTable(ui::PictureRef{}, view, 256, view.invert);
    std::array<uchar, 256> table{};
    std::copy(levels.begin(), levels.end(), table.begin());
    return table;
}

void ApplyView(QImage& part, const ui::PictureView& view) {
    if (!PlainView(view)) ApplyTable(part, ViewTable(view));
}

void PaintViewedPart(QPainter& painter, const QImage& image, QSize size, bool stretch,
                     const QRect& exposed, const ui::PictureView& view) {
    if (PlainView(view)) {
        PaintPicturePart(painter, image, size, stretch, exposed);
        return;
    }
    if (image.isNull() || size.isEmpty()) return;
    const QRect area = exposed & (stretch ? QRect(QPoint(0, 0), size) : image.rect());
    if (area.isEmpty()) return;
    // The part at the device's own resolution, so that a high-density screen shows the
    // radiograph as sharp as without the adjustment.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage part((QSizeF(area.size()) * ratio).toSize(), QImage::Format_RGB32);
    part.setDevicePixelRatio(ratio);
    // A picture with transparent parts shows the viewport's black through them.
    if (image.hasAlphaChannel()) part.fill(Qt::black);
    {
        QPainter into(&part);
        into.translate(-area.topLeft());
        PaintPicturePart(into, image, size, stretch, area);
    }
    ApplyTable(part, ViewTable(view));
    painter.drawImage(area.topLeft(), part);
}

void PaintDeepPart(QPainter& painter, const QImage& deep, QSize size, bool stretch,
                   const QRect& exposed, const std::vector<uchar>& table) {
    if (deep.isNull() || size.isEmpty()) return;
    const PicturePart part = PartBehind(deep.size(), size, stretch, exposed);
    if (part.area.isEmpty() || part.source.isEmpty()) return;
    const QImage grey = ThroughTable(deep, part.source, table);
    if (!stretch) {
        painter.drawImage(part.area.topLeft(), grey);
        return;
    }
    PaintScaledPart(painter, grey, part.source.topLeft(), part);
}

QColor MarkColour() {
    return QColor(255, 176, 0);
}

void PaintMarks(QPainter& painter, const std::vector<ui::PlacedMark>& marks, const Twips& twips,
                const QRect& room) {
    std::vector<MarkAt> placed;
    placed.reserve(marks.size());
    for (const ui::PlacedMark& mark : marks)
        placed.push_back({QPoint(twips.X(mark.x), twips.Y(mark.y)),
                          QString::fromStdString(mark.label), mark.kind,
                          static_cast<int>(std::lround(twips.X(mark.reach)))});
    PaintMarks(painter, placed, room);
}

std::vector<model::PlacedLabel> PlaceMarkNames(const std::vector<MarkAt>& marks,
                                               const QFontMetrics& metrics, const QRect& room) {
    std::vector<model::LabelRequest> requests;
    requests.reserve(marks.size());
    // The outline adds a pixel all round.
    for (const MarkAt& mark : marks)
        requests.push_back({double(mark.at.x()), double(mark.at.y()),
                            double(metrics.horizontalAdvance(mark.label) + 2),
                            double(metrics.height() + 2)});
    return model::PlaceLabels(
        requests, kMarkArm + 1, 2,
        {double(room.left()), double(room.top()), double(room.width()), double(room.height())});
}

namespace {

// Placed landmarks in the marks' amber; suggestions in cyan, the one asked for in a
// bright green that the eye finds among the others.
QColor MarkKindColour(ui::MarkKind kind) {
    switch (kind) {
        case ui::MarkKind::Suggested:
            return QColor(0, 200, 255);
        case ui::MarkKind::SuggestedAsked:
            return QColor(80, 255, 80);
        case ui::MarkKind::Placed:
            break;
    }
    return MarkColour();
}

// A cross for a placed mark, a hollow ring for a suggested one (and the circle of its
// expected error for the one asked), and the leader to its name, in the painter's pen.
void PaintMarkShape(QPainter& painter, const MarkAt& mark, const QLine& leader) {
    const QPoint at = mark.at;
    constexpr int kArm = kMarkArm;
    if (mark.kind == ui::MarkKind::Placed) {
        painter.drawLine(QLine(at - QPoint(kArm, 0), at + QPoint(kArm, 0)));
        painter.drawLine(QLine(at - QPoint(0, kArm), at + QPoint(0, kArm)));
    } else {
        painter.drawEllipse(at, kArm, kArm);
        if (mark.kind == ui::MarkKind::SuggestedAsked && mark.reach > kArm)
            painter.drawEllipse(at, mark.reach, mark.reach);
    }
    if (!leader.isNull()) painter.drawLine(leader);
}

}  // namespace

void PaintMarks(QPainter& painter, const std::vector<MarkAt>& marks, const QRect& room) {
    if (marks.empty()) return;
    const QColor outline(0, 0, 0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const std::vector<model::PlacedLabel> names = PlaceMarkNames(marks, metrics, room);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const QPoint at = marks[i].at;
        QLine leader;
        if (names[i].leader) {
            double x = 0, y = 0;
            model::LeaderEnd(names[i].box, at.x(), at.y(), x, y);
            leader = QLine(
                at, QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))));
        }
        const QColor colour = MarkKindColour(marks[i].kind);
        painter.setPen(QPen(outline, 3));
        PaintMarkShape(painter, marks[i], leader);
        painter.setPen(QPen(colour, 1));
        PaintMarkShape(painter, marks[i], leader);
        // The name, outlined so that it reads on any grey.
        const QPoint text(static_cast<int>(std::lround(names[i].box.left)) + 1,
                          static_cast<int>(std::lround(names[i].box.top)) + 1 + metrics.ascent());
        painter.setPen(outline);
        for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
            painter.drawText(text + d, marks[i].label);
        painter.setPen(colour);
        painter.drawText(text, marks[i].label);
    }
    painter.restore();
}

}  // namespace ceph::platform
