#include "platform/pictures.h"

#include <QPaintDevice>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pictures/format.h"
#include "pictures/limits.h"
#include "pictures/picture_file.h"
#include "platform/deep_picture.h"
#include "platform/picture_levels.h"
#include "platform/qt_formats.h"

namespace ceph::platform {

namespace {

// The file's bytes are needed only while decoding, and their block is kept for the next
// picture unless it is unusually large (see pictures::FileBytes).
constexpr std::size_t kKeptFileBytes = std::size_t{64} << 20;

base::Result<DecodedPicture> ReadPicture(const std::string& path) {
    thread_local pictures::FileBytes bytes;
    const base::Result<void> read = pictures::ReadPictureFile(path, bytes);
    base::Result<DecodedPicture> picture =
        read ? DecodePicture(bytes.View()) : base::Result<DecodedPicture>(base::Fail(read.why()));
    if (bytes.Capacity() > kKeptFileBytes) bytes.Release();
    return picture;
}

}  // namespace

base::Result<DecodedPicture> DecodePicture(std::string_view bytes) {
    RegisterPictureFormats();
    base::Result<pictures::Picture> decoded = pictures::Decode(bytes);
    if (!decoded) return base::Fail(decoded.why());
    DecodedPicture picture;
    picture.image = ToQImage(std::move(decoded->pixels));
    if (picture.image.isNull()) return pictures::Refuse(pictures::kOutOfMemory);
    picture.fileWindow = ToPictureWindow(decoded->fileWindow);
    picture.spacingX = decoded->spacingX;
    picture.spacingY = decoded->spacingY;
    picture.damage = std::move(decoded->damage);
    return picture;
}

PictureStore::PictureStore() {
    RegisterPictureFormats();
}

base::Result<page::PictureRef> PictureStore::Load(const std::string& path) {
    base::Result<DecodedPicture> picture = ReadPicture(path);
    if (!picture) {
        const std::string& reason = picture.why().detail;
        return base::Fail(path, {}, reason.empty() ? "原因不明" : reason);
    }
    page::PictureRef ref = Add(std::move(picture->image));
    ref.fileWindow = picture->fileWindow;
    ref.spacingX = picture->spacingX;
    ref.spacingY = picture->spacingY;
    ref.damage = std::move(picture->damage);
    return ref;
}

page::PictureRef PictureStore::Add(QImage image) {
    page::PictureRef ref;
    ref.handle = next_++;
    ref.widthPx = image.width();
    ref.heightPx = image.height();
    ref.bits = image.format() == QImage::Format_Grayscale16 ? 16 : 8;
    // Whether from a file or the clipboard, a deep picture is seen through its levels.
    ref.histogramWindow = HistogramWindow(image);
    images_.emplace(ref.handle, std::move(image));
    return ref;
}

page::PictureRef PictureStore::Turned(const page::PictureRef& ref, model::FilmTurn turn) {
    const auto it = images_.find(ref.handle);
    if (it == images_.end()) return {};
    QImage image = it->second;
    if (turn.mirrored) image = image.mirrored(true, false);
    // Quarter turns move pixels without resampling them, at any depth.
    if (turn.quarterTurns != 0)
        image = image.transformed(QTransform().rotate(90.0 * turn.quarterTurns));
    page::PictureRef out = ref;
    out.handle = next_++;
    out.widthPx = image.width();
    out.heightPx = image.height();
    if (turn.quarterTurns % 2 == 1) std::swap(out.spacingX, out.spacingY);
    images_.emplace(out.handle, std::move(image));
    return out;
}

void PictureStore::Pin(const page::PictureRef& ref) {
    if (!ref.empty()) pinned_.insert(ref.handle);
}

void PictureStore::KeepOnly(const std::unordered_set<std::uint32_t>& held) {
    // Only the pictures go: the scratch blocks kept for the next decode stay, so the next
    // radiograph still decodes into memory already touched.
    const auto released = [&](const auto& entry) {
        return !held.contains(entry.first) && !pinned_.contains(entry.first);
    };
    std::erase_if(images_, released);
    std::erase_if(eightBit_, released);
}

const QImage& PictureStore::Get(const page::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    if (it == images_.end()) return none_;
    if (it->second.format() != QImage::Format_Grayscale16) return it->second;
    QImage& eight = eightBit_[ref.handle];
    if (eight.isNull()) eight = Shown(ref, {});
    return eight;
}

const QImage& PictureStore::Deep(const page::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    if (it == images_.end() || it->second.format() != QImage::Format_Grayscale16) return none_;
    return it->second;
}

QImage PictureStore::Shown(const page::PictureRef& ref, const page::PictureView& view) const {
    const QImage& deep = Deep(ref);
    if (deep.isNull()) return Get(ref);
    page::PictureRef told = ref;
    told.bits = 16;  // the store knows it is deep, whatever the reference says
    return ThroughTable(deep, deep.rect(), LevelTable(told, view, 65536, false));
}

PicturePart PartBehind(QSize imageSize, QSize size, bool stretch, const QRect& exposed) {
    if (!stretch) {
        const QRect part = exposed & QRect(QPoint(0, 0), imageSize);
        return {part, part, QRectF(part), 1, 1};
    }
    const QRect area = exposed & QRect(QPoint(0, 0), size);
    if (area.isEmpty() || imageSize.isEmpty()) return {};
    const double sx = static_cast<double>(imageSize.width()) / size.width();
    const double sy = static_cast<double>(imageSize.height()) / size.height();
    // The source pixels under the area and a margin around them: filtering reads the
    // neighbours of the edge pixels, and without them the edges of a part would differ
    // from the same pixels painted with the whole picture.
    const int margin = 2;
    const int left = std::max(0, static_cast<int>(std::floor(area.left() * sx)) - margin);
    const int top = std::max(0, static_cast<int>(std::floor(area.top() * sy)) - margin);
    const int right =
        std::min(imageSize.width(), static_cast<int>(std::ceil((area.right() + 1) * sx)) + margin);
    const int bottom = std::min(imageSize.height(),
                                static_cast<int>(std::ceil((area.bottom() + 1) * sy)) + margin);
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(left / sx, top / sy, source.width() / sx, source.height() / sy);
    return {area, source, target, sx, sy};
}

void PaintPicturePart(QPainter& painter, const QImage& image, QSize size, bool stretch,
                      const QRect& exposed) {
    if (image.isNull() || size.isEmpty()) return;
    const PicturePart part = PartBehind(image.size(), size, stretch, exposed);
    if (part.area.isEmpty()) return;
    if (!stretch) {
        painter.drawImage(part.area.topLeft(), image, part.source);
        return;
    }
    PaintScaledPart(painter, image, QPoint(0, 0), part);
}

void PaintScaledPart(QPainter& painter, const QImage& pixels, QPoint origin,
                     const PicturePart& part) {
    const QRect source = part.source.translated(-origin);
    painter.save();
    painter.setClipRect(part.area, Qt::IntersectClip);
    // A reduced radiograph is smoothed; an enlarged one shows its pixels as they are. What
    // counts is the device's pixels: on a high-density screen a picture may fill more of
    // them than it has while its widget is smaller than it in logical pixels.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double acrossX = ratio / part.scaleX, acrossY = ratio / part.scaleY;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, acrossX < 1 || acrossY < 1);
    const QImage::Format screen =
        pixels.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // Qt enlarges a grey picture several times more slowly than one in the screen's
    // format: the few pixels behind the area are converted first. Reducing or copying
    // pixel for pixel it does fast from grey, and there the part may be the whole picture.
    const bool enlarged = acrossX > 1 + 1e-9 || acrossY > 1 + 1e-9;
    if (pixels.format() == screen || !enlarged) {
        painter.drawImage(part.target, pixels, source);
    } else {
        painter.drawImage(part.target, pixels.copy(source).convertToFormat(screen));
    }
    painter.restore();
}

}  // namespace ceph::platform
