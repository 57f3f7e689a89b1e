#include "platform/pictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QPaintDevice>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/deep_picture.h"
#include "platform/dicom_codec.h"
#include "platform/jpeg_codec.h"
#include "platform/orientation.h"
#include "platform/picture_file.h"
#include "platform/picture_levels.h"
#include "platform/tiff_codec.h"

namespace ceph::platform {

namespace {

constexpr qsizetype kKeptFileBytes = qsizetype{64} << 20;

// The bytes of a picture of this size, `bits` a pixel, in rows of whole 4-byte words.
std::int64_t PictureBytes(QSize size, int bits) {
    return (std::int64_t{size.width()} * bits + 31) / 32 * 4 * size.height();
}

// Grey pictures stay one byte a pixel (a 24-bit bitmap of a radiograph too), or two when
// they are deeper (a 16-bit grey PNG keeps its levels for the window); colour ones
// take the 32-bit formats the screen paints without converting. Pixels are converted
// where they lie whenever the depth stays (by hand for grey palettes, by Qt for the rest);
// a conversion that needs a new picture, as from 32-bit colour to grey, is refused when
// the two together would exceed the memory allowed for decoding.
QImage Normalised(QImage image, std::string* error) {
    if (image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16)
        return image;
    const bool alpha = image.hasAlphaChannel();
    if (image.format() == QImage::Format_Indexed8 && !alpha && image.allGray()) {
        // Each index becomes its grey, byte for byte.
        uchar grey[256] = {};
        const QList<QRgb> table = image.colorTable();
        for (qsizetype i = 0; i < table.size() && i < 256; ++i)
            grey[i] = static_cast<uchar>(qGray(table[i]));
        for (int y = 0; y < image.height(); ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x)
                line[x] = grey[line[x]];
        }
        image.reinterpretAsFormat(QImage::Format_Grayscale8);
        return image;
    }
    const QImage::Format target = !alpha && image.allGray() ? QImage::Format_Grayscale8
                                  : alpha                   ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32;
    const int targetBits = QImage::toPixelFormat(target).bitsPerPixel();
    const std::int64_t need =
        image.sizeInBytes() +
        (image.depth() == targetBits ? 0 : PictureBytes(image.size(), targetBits));
    if (!DecodeMemoryAllowed(need)) {
        *error = DecodeMemoryReason(need);
        return {};
    }
    image.convertTo(target);
    if (image.isNull()) *error = "記憶體不足";
    return image;
}

// Formats other than JPEG, read by Qt's image plugins from the bytes already in memory.
QImage ReadWithQt(QByteArray& bytes, std::string* error) {
    // Before Qt reads even the header: reading it makes libpng allocate every chunk
    // before the pixels at the size the chunk claims.
    if (PngChunkBeyondEnd(bytes)) {
        *error = "圖檔資料損壞或不完整（PNG 區塊超出檔案結尾，檔案可能被截斷）";
        return {};
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        *error = "不是可以辨識的圖檔格式";
        return {};
    }
    // Qt tells a bitmap stored top down by its negative height.
    const QSize told = reader.size();
    const QSize size(told.width(), told.height() == INT_MIN ? INT_MAX : std::abs(told.height()));
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height())) {
        *error = PictureTooLargeReason(size.width(), size.height());
        return {};
    }
    // The picture as the reader allocates it, in the format its header tells. Qt also
    // checks every allocation of its readers against a limit of its own, counting four
    // bytes a pixel or more whatever the format: a picture measured here is let through
    // it, while for one whose reader cannot tell its size or format that limit is the
    // budget. (The limit is the process's; pictures are read on one thread.)
    const QImage::Format format = reader.imageFormat();
    std::int64_t qtLimit = kMaxDecodeBytes;
    if (size.isValid() && format != QImage::Format_Invalid) {
        const int bits = QImage::toPixelFormat(format).bitsPerPixel();
        const std::int64_t bytes = PictureBytes(size, bits);
        if (!DecodeMemoryAllowed(bytes)) {
            *error = DecodeMemoryReason(bytes);
            return {};
        }
        qtLimit = std::max(qtLimit, PictureBytes(size, std::max(bits, 32)));
    }
    constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
    QImageReader::setAllocationLimit(static_cast<int>((qtLimit + kMegabyte - 1) / kMegabyte));
    if (BitmapDataShort(bytes)) {
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
    return Normalised(std::move(image), error);
}

DecodedPicture ReadPicture(const std::string& path, std::string* error) {
    // The file's bytes are needed only while decoding, and their block is kept for the
    // next picture unless it is unusually large: on virtual machines that back memory
    // lazily, touching fresh pages costs more than reading the bytes into them.
    thread_local QByteArray bytes;
    DecodedPicture picture =
        ReadPictureFile(path, &bytes, error) ? DecodePicture(bytes, error) : DecodedPicture();
    if (bytes.capacity() > kKeptFileBytes) bytes = QByteArray();
    return picture;
}

}  // namespace

DecodedPicture DecodePicture(QByteArray& bytes, std::string* error) {
    const char* data = bytes.constData();
    const auto size = static_cast<std::size_t>(bytes.size());
    if (IsDicom(data, size)) return DecodeDicom(data, size, error);
    if (IsTiff(data, size)) {
        DecodedPicture picture = DecodeTiff(data, size, error);
        if (!picture.image.isNull()) picture.image = Normalised(std::move(picture.image), error);
        return picture;
    }
    DecodedPicture picture;
    if (!IsJpeg(data, size)) {
        picture.image = ReadWithQt(bytes, error);
        return picture;
    }
    // A camera's or phone's picture may be stored on its side, with the way up in its
    // EXIF block: it reaches the store upright, whichever decoder reads it.
    const int orientation = JpegExifOrientation(data, size);
    bool otherDecoder = false;
    QImage image = DecodeJpeg(data, size, error, &otherDecoder);
    if (otherDecoder) image = ReadWithQt(bytes, error);
    picture.image = Upright(std::move(image), orientation, error);
    return picture;
}

base::Result<ui::PictureRef> PictureStore::Load(const std::string& path) {
    std::string reason;
    DecodedPicture picture = ReadPicture(path, &reason);
    if (picture.image.isNull()) return base::Fail(path, {}, reason.empty() ? "原因不明" : reason);
    ui::PictureRef ref = Add(std::move(picture.image));
    ref.fileWindow = picture.fileWindow;
    ref.spacingX = picture.spacingX;
    ref.spacingY = picture.spacingY;
    ref.damage = std::move(picture.damage);
    return ref;
}

ui::PictureRef PictureStore::Add(QImage image) {
    ui::PictureRef ref;
    ref.handle = next_++;
    ref.widthPx = image.width();
    ref.heightPx = image.height();
    ref.bits = image.format() == QImage::Format_Grayscale16 ? 16 : 8;
    // Whether from a file or the clipboard, a deep picture is seen through its levels.
    ref.histogramWindow = HistogramWindow(image);
    images_.emplace(ref.handle, std::move(image));
    return ref;
}

void PictureStore::Pin(const ui::PictureRef& ref) {
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

const QImage& PictureStore::Get(const ui::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    if (it == images_.end()) return none_;
    if (it->second.format() != QImage::Format_Grayscale16) return it->second;
    QImage& eight = eightBit_[ref.handle];
    if (eight.isNull()) eight = Shown(ref, {});
    return eight;
}

const QImage& PictureStore::Deep(const ui::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    if (it == images_.end() || it->second.format() != QImage::Format_Grayscale16) return none_;
    return it->second;
}

QImage PictureStore::Shown(const ui::PictureRef& ref, const ui::PictureView& view) const {
    const QImage& deep = Deep(ref);
    if (deep.isNull()) return Get(ref);
    ui::PictureRef told = ref;
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
