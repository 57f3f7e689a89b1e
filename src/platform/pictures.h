#pragma once
// The pixels behind the model's picture handles: every picture the program loads or
// makes is kept here, and the model refers to it by number. Also how the image control
// paints its picture, so that the screen, tests and benchmarks share one routine.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/result.h"
#include "model/film_positions.h"
#include "page/drawing.h"
#include "platform/decoded_picture.h"

namespace ceph::platform {

// A picture file's bytes decoded as PictureStore::Load decodes them, recognised by their
// content whatever the file's name, by the formats registered (qt_formats.h): DICOM,
// TIFF, JPEG (turned upright by its EXIF orientation), or anything Qt reads. Otherwise
// the reason.
base::Result<DecodedPicture> DecodePicture(std::string_view bytes);

class PictureStore {
  public:
    // Registers the picture formats, if that was not done yet.
    PictureStore();

    // Reads a picture file, recognised by its content: DICOM through GDCM, TIFF through
    // libtiff, JPEG through libjpeg-turbo, anything else Qt reads (BMP, PNG…) through Qt.
    // Grey pictures stay one byte a pixel, deep grey ones (a DICOM's, a 16-bit TIFF's or
    // PNG's) two; the reference tells the depth, the file's window, the histogram's
    // window and the pixel spacing.
    // When it cannot be read, the problem names the file and its words say why in
    // Traditional Chinese, without the file's name (the caller's message names it).
    base::Result<page::PictureRef> Load(const std::string& path);
    // A picture made in the program or taken from the clipboard, with its histogram's window.
    page::PictureRef Add(QImage image);
    // A kept picture mirrored and turned, pixel for pixel, as a new picture with the
    // same facts; an empty reference for one not kept.
    page::PictureRef Turned(const page::PictureRef& ref, model::FilmTurn turn);
    // The picture of a reference; a null image for none. A deep picture comes in 8 bits
    // through its own window, for whatever paints or copies it without a view.
    const QImage& Get(const page::PictureRef& ref) const;
    // A deep picture's own levels (Format_Grayscale16); a null image for any other.
    const QImage& Deep(const page::PictureRef& ref) const;
    // The picture in 8 bits as `view` shows it, but never inverted (inverting only helps
    // the eye): a deep picture through its window moved by the aids, any other as it is.
    QImage Shown(const page::PictureRef& ref, const page::PictureView& view) const;

    // A picture the services keep for themselves and hand out again (the guide
    // drawing): never released, whether the model holds it or not.
    void Pin(const page::PictureRef& ref);
    // Releases every picture neither in `held` nor pinned. Called between events with
    // the handles the model holds; a handle once released is never given out again.
    void KeepOnly(const std::unordered_set<std::uint32_t>& held);
    // How many pictures are kept.
    std::size_t Count() const { return images_.size(); }

  private:
    std::unordered_map<std::uint32_t, QImage> images_;
    // Deep pictures in 8 bits through their own window, made when first asked for.
    mutable std::unordered_map<std::uint32_t, QImage> eightBit_;
    std::unordered_set<std::uint32_t> pinned_;
    std::uint32_t next_ = 1;
    QImage none_;
};

// Paints the image control's picture on a widget of `size` pixels whose top-left corner
// is the painter's origin: stretched over the whole widget or at its own size, and only
// within `exposed`. A zoomed radiograph is far larger than the viewport that shows it,
// so only the source pixels behind `exposed` are read. Reduced pictures are smoothed,
// enlarged ones show their pixels as they are.
void PaintPicturePart(QPainter& painter, const QImage& image, QSize size, bool stretch,
                      const QRect& exposed);

// What PaintPicturePart paints of a picture of `imageSize` for `exposed`: the widget's
// pixels it covers (empty for none), the picture's pixels read for them (with a margin
// for filtering), where those land in the widget, and the picture's pixels per widget
// pixel.
struct PicturePart {
    QRect area;
    QRect source;
    QRectF target;
    double scaleX = 1, scaleY = 1;
};
PicturePart PartBehind(QSize imageSize, QSize size, bool stretch, const QRect& exposed);

// Paints a stretched part from `pixels`, which hold the picture's pixels from `origin` on:
// the whole picture, or only those behind the part (made just for painting it).
void PaintScaledPart(QPainter& painter, const QImage& pixels, QPoint origin,
                     const PicturePart& part);

}  // namespace ceph::platform
