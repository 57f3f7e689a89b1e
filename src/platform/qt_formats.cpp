#include "platform/qt_formats.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "pictures/bmp_png.h"
#include "pictures/format.h"
#include "pictures/limits.h"
#include "pictures/own_formats.h"

namespace ceph::platform {

namespace {

using pictures::DecodeMemoryAllowed;
using pictures::DecodeMemoryReason;
using pictures::PictureSizeAllowed;
using pictures::PictureTooLargeReason;
using pictures::Refuse;

// The bytes of a picture of this size, `bits` a pixel, in rows of whole 4-byte words.
std::int64_t PictureBytes(QSize size, int bits) {
    return (std::int64_t{size.width()} * bits + 31) / 32 * 4 * size.height();
}

// Each index of a grey palette becomes its grey, byte for byte, where it lies.
void GreyPaletteToGrey(QImage& image) {
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
}

// Grey pictures stay one byte a pixel (a 24-bit bitmap of a radiograph too), or two when
// they are deeper (a 16-bit grey PNG keeps its levels for the window); colour ones
// take the 32-bit formats the screen paints without converting. Pixels are converted
// where they lie whenever the depth stays (by hand for grey palettes, by Qt for the rest);
// a conversion that needs a new picture, as from 32-bit colour to grey, is refused when
// the two together would exceed the memory allowed for decoding.
base::Result<QImage> Normalised(QImage image) {
    if (image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16)
        return image;
    const bool alpha = image.hasAlphaChannel();
    if (image.format() == QImage::Format_Indexed8 && !alpha && image.allGray()) {
        GreyPaletteToGrey(image);
        return image;
    }
    const QImage::Format target = !alpha && image.allGray() ? QImage::Format_Grayscale8
                                  : alpha                   ? QImage::Format_ARGB32_Premultiplied
                                                            : QImage::Format_RGB32;
    const int targetBits = QImage::toPixelFormat(target).bitsPerPixel();
    const std::int64_t need =
        image.sizeInBytes() +
        (image.depth() == targetBits ? 0 : PictureBytes(image.size(), targetBits));
    if (!DecodeMemoryAllowed(need)) return Refuse(DecodeMemoryReason(need));
    image.convertTo(target);
    if (image.isNull()) return Refuse(pictures::kOutOfMemory);
    return image;
}

// The size and format the reader's header tells, refused when over the limits before
// anything is allocated. Qt also checks every allocation of its readers against a limit
// of its own, counting four bytes a pixel or more whatever the format: a picture measured
// here is let through it, while for one whose reader cannot tell its size or format that
// limit is the budget. (The limit is the process's; pictures are read on one thread.)
base::Result<void> CheckHeader(QImageReader& reader) {
    // Qt tells a bitmap stored top down by its negative height.
    const QSize told = reader.size();
    const QSize size(told.width(), told.height() == INT_MIN ? INT_MAX : std::abs(told.height()));
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height()))
        return Refuse(PictureTooLargeReason(size.width(), size.height()));
    const QImage::Format format = reader.imageFormat();
    std::int64_t qtLimit = pictures::kMaxDecodeBytes;
    if (size.isValid() && format != QImage::Format_Invalid) {
        const int bits = QImage::toPixelFormat(format).bitsPerPixel();
        const std::int64_t bytes = PictureBytes(size, bits);
        if (!DecodeMemoryAllowed(bytes)) return Refuse(DecodeMemoryReason(bytes));
        qtLimit = std::max(qtLimit, PictureBytes(size, std::max(bits, 32)));
    }
    constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
    QImageReader::setAllocationLimit(static_cast<int>((qtLimit + kMegabyte - 1) / kMegabyte));
    return {};
}

base::Result<pictures::Picture> DecodeWithQt(std::string_view bytes) {
    base::Result<QImage> image = ReadWithQt(bytes);
    if (!image) return base::Fail(image.why());
    pictures::Picture picture;
    picture.pixels = FromQImage(std::move(*image));
    return picture;
}

bool AnyBytes(std::string_view) {
    return true;
}

// The pixel formats of pictures::Pixels, as Qt names them.
QImage::Format QtFormat(pictures::PixelFormat format) {
    switch (format) {
        case pictures::PixelFormat::Grey8:
            return QImage::Format_Grayscale8;
        case pictures::PixelFormat::Grey16:
            return QImage::Format_Grayscale16;
        case pictures::PixelFormat::Rgb32:
            return QImage::Format_RGB32;
        case pictures::PixelFormat::Argb32Premultiplied:
            return QImage::Format_ARGB32_Premultiplied;
    }
    return QImage::Format_Invalid;
}

using Keeper = std::shared_ptr<unsigned char>;

void ReleaseKeeper(void* keeper) {
    delete static_cast<Keeper*>(keeper);
}

}  // namespace

void RegisterPictureFormats() {
    static std::once_flag once;
    std::call_once(once, [] {
        pictures::RegisterOwnFormats();
        pictures::Register(
            {"BMP", "*.bmp", nullptr, pictures::IsBitmap, DecodeWithQt, "不是 BMP 圖檔"});
        pictures::Register(
            {"PNG", "*.png", nullptr, pictures::IsPng, DecodeWithQt, "不是 PNG 圖檔"});
        // Last, whatever else Qt's plugins read (GIF, PBM …): the bytes no format before
        // it recognises.
        pictures::Register({"Qt", "", nullptr, AnyBytes, DecodeWithQt, "不是可以辨識的圖檔格式"});
    });
}

base::Result<QImage> ReadWithQt(std::string_view bytes) {
    // Before Qt reads even the header: reading it makes libpng allocate every chunk
    // before the pixels at the size the chunk claims.
    if (pictures::PngChunkBeyondEnd(bytes))
        return Refuse("圖檔資料損壞或不完整（PNG 區塊超出檔案結尾，檔案可能被截斷）");
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (!reader.canRead()) return Refuse("不是可以辨識的圖檔格式");
    if (auto header = CheckHeader(reader); !header) return base::Fail(header.why());
    if (pictures::BitmapDataShort(bytes)) return Refuse("點陣圖資料不完整，檔案可能被截斷");
    QImage image = reader.read();
    if (image.isNull())
        return Refuse("圖檔資料損壞或不完整（" + reader.errorString().toStdString() + "）");
    if (!PictureSizeAllowed(image.width(), image.height()))
        return Refuse(PictureTooLargeReason(image.width(), image.height()));
    return Normalised(std::move(image));
}

QImage ToQImage(pictures::Pixels pixels) {
    if (pixels.null()) return {};
    using Held = std::shared_ptr<QImage>;
    if (const Held* held = std::any_cast<Held>(&pixels.native);
        held && *held && (*held)->constBits() == pixels.data.get())
        return **held;
    auto* keeper = new Keeper(pixels.data);
    QImage image(pixels.data.get(), pixels.width, pixels.height, pixels.stride,
                 QtFormat(pixels.format), ReleaseKeeper, keeper);
    if (image.isNull()) {
        delete keeper;
        return image;
    }
    if (pixels.dotsPerMeterX > 0) image.setDotsPerMeterX(pixels.dotsPerMeterX);
    if (pixels.dotsPerMeterY > 0) image.setDotsPerMeterY(pixels.dotsPerMeterY);
    return image;
}

pictures::Pixels FromQImage(QImage image) {
    pictures::Pixels pixels;
    switch (image.format()) {
        case QImage::Format_Grayscale8:
            pixels.format = pictures::PixelFormat::Grey8;
            break;
        case QImage::Format_Grayscale16:
            pixels.format = pictures::PixelFormat::Grey16;
            break;
        case QImage::Format_RGB32:
            pixels.format = pictures::PixelFormat::Rgb32;
            break;
        case QImage::Format_ARGB32_Premultiplied:
            pixels.format = pictures::PixelFormat::Argb32Premultiplied;
            break;
        default:
            return pixels;  // no picture the platform keeps
    }
    pixels.width = image.width();
    pixels.height = image.height();
    pixels.stride = image.bytesPerLine();
    pixels.dotsPerMeterX = image.dotsPerMeterX();
    pixels.dotsPerMeterY = image.dotsPerMeterY();
    const auto held = std::make_shared<QImage>(std::move(image));
    pixels.data = std::shared_ptr<unsigned char>(held, held->bits());
    pixels.native = held;
    return pixels;
}

}  // namespace ceph::platform
