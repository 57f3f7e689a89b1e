#include "platform/pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cmath>

#include "platform/jpeg_codec.h"
#include "platform/picture_file.h"

namespace ceph::platform {

namespace {

constexpr qsizetype kKeptFileBytes = qsizetype{64} << 20;

// Grey pictures stay one byte a pixel (a 24-bit bitmap of a radiograph too), colour ones
// take the 32-bit formats the screen paints without converting.
QImage Normalised(QImage image) {
    if (image.format() == QImage::Format_Grayscale8) return image;
    const bool alpha = image.hasAlphaChannel();
    if (!alpha && image.allGray()) return image.convertToFormat(QImage::Format_Grayscale8);
    return image.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied
                                       : QImage::Format_RGB32);
}

// Qt's bitmap reader stops quietly at the end of the data and leaves the rows it could
// not read as they were in memory: a bitmap too short for its rows is refused here.
// Compressed (run-length) bitmaps have no length known in advance and are left to Qt.
bool BitmapShort(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 length = bytes.size();
    if (length < 26 || b[0] != 'B' || b[1] != 'M') return false;
    auto u16 = [b](int at) { return qint64{b[at]} | qint64{b[at + 1]} << 8; };
    auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    const qint64 offset = u32(10), header = u32(14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = u16(18), height = u16(20), bits = u16(24);
    } else if (header >= 40 && length >= 54) {
        width = static_cast<qint32>(u32(18));
        height = std::abs(static_cast<qint32>(u32(22)));
        bits = u16(28), compression = u32(30);
    } else {
        return false;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || !PictureSizeAllowed(static_cast<int>(std::min<qint64>(width, 1 << 30)),
                                             static_cast<int>(std::min<qint64>(height, 1 << 30))))
        return false;  // Qt reads it, or the size check refuses it
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return offset + stride * height > length;
}

// Formats other than JPEG, read by Qt's image plugins from the bytes already in memory.
QImage ReadWithQt(QByteArray& bytes, std::string* error) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    // Qt's own limit (256 MB) would refuse pictures within ours; ours is checked below.
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    if (!reader.canRead()) {
        *error = "不是可以辨識的圖檔格式";
        return {};
    }
    const QSize size = reader.size();
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) {
        *error = PictureTooLargeReason(size.width(), size.height());
        return {};
    }
    if (BitmapShort(bytes)) {
        *error = "點陣圖資料不完整，檔案可能被截斷";
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = "圖檔資料損壞或不完整（" + reader.errorString().toStdString() + "）";
        return {};
    }
    if (!PictureSizeAllowed(image.width(), image.height())) {
        *error = PictureTooLargeReason(image.width(), image.height());
        return {};
    }
    return Normalised(std::move(image));
}

QImage Decode(QByteArray& bytes, std::string* error) {
    const auto size = static_cast<std::size_t>(bytes.size());
    if (!IsJpeg(bytes.constData(), size)) return ReadWithQt(bytes, error);
    bool otherDecoder = false;
    QImage image = DecodeJpeg(bytes.constData(), size, error, &otherDecoder);
    return otherDecoder ? ReadWithQt(bytes, error) : image;
}

QImage ReadPicture(const std::string& path, std::string* error) {
    // The file's bytes are needed only while decoding, and their block is kept for the
    // next picture unless it is unusually large: on virtual machines that back memory
    // lazily, touching fresh pages costs more than reading the bytes into them.
    thread_local QByteArray bytes;
    QImage image = ReadPictureFile(path, &bytes, error) ? Decode(bytes, error) : QImage();
    if (bytes.capacity() > kKeptFileBytes) bytes = QByteArray();
    return image;
}

}  // namespace

ui::PictureRef PictureStore::Load(const std::string& path) {
    std::string reason;
    QImage image = ReadPicture(path, &reason);
    if (image.isNull()) {
        lastError_ = reason.empty() ? std::string("原因不明") : reason;
        return {};
    }
    lastError_.clear();
    return Add(std::move(image));
}

ui::PictureRef PictureStore::Add(QImage image) {
    ui::PictureRef ref{next_++, image.width(), image.height()};
    images_.emplace(ref.handle, std::move(image));
    return ref;
}

void PictureStore::Pin(const ui::PictureRef& ref) {
    if (!ref.empty()) pinned_.insert(ref.handle);
}

void PictureStore::KeepOnly(const std::unordered_set<std::uint32_t>& held) {
    // Only the pictures go: the scratch blocks kept for the next decode stay, so the next
    // radiograph still decodes into memory already touched.
    std::erase_if(images_, [&](const auto& entry) {
        return !held.contains(entry.first) && !pinned_.contains(entry.first);
    });
}

const QImage& PictureStore::Get(const ui::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    return it == images_.end() ? none_ : it->second;
}

void PaintPicturePart(QPainter& painter, const QImage& image, QSize size, bool stretch,
                      const QRect& exposed) {
    if (image.isNull() || size.isEmpty()) return;
    if (!stretch) {
        const QRect part = exposed & image.rect();
        if (!part.isEmpty()) painter.drawImage(part.topLeft(), image, part);
        return;
    }
    const QRect area = exposed & QRect(QPoint(0, 0), size);
    if (area.isEmpty()) return;
    const double sx = static_cast<double>(image.width()) / size.width();
    const double sy = static_cast<double>(image.height()) / size.height();
    // The source pixels under the area and a margin around them: filtering reads the
    // neighbours of the edge pixels, and without them the edges of a part would differ
    // from the same pixels painted with the whole picture.
    const int margin = 2;
    const int left = std::max(0, static_cast<int>(std::floor(area.left() * sx)) - margin);
    const int top = std::max(0, static_cast<int>(std::floor(area.top() * sy)) - margin);
    const int right =
        std::min(image.width(), static_cast<int>(std::ceil((area.right() + 1) * sx)) + margin);
    const int bottom =
        std::min(image.height(), static_cast<int>(std::ceil((area.bottom() + 1) * sy)) + margin);
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(left / sx, top / sy, source.width() / sx, source.height() / sy);
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    // A reduced radiograph is smoothed; an enlarged one shows its pixels as they are.
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          size.width() < image.width() || size.height() < image.height());
    painter.drawImage(target, image, source);
    painter.restore();
}

}  // namespace ceph::platform
