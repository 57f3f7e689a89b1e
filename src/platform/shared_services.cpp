#include "platform/shared_services.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/control_painting.h"
#include "platform/file_output.h"
#include "platform/jpeg_writer.h"
#include "platform/page_files.h"
#include "platform/twips.h"

namespace ceph::platform {

Twips ScreenTwips() {
    Twips t;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        t.dpiX = screen->logicalDotsPerInchX();
        t.dpiY = screen->logicalDotsPerInchY();
    }
    return t;
}

ui::ScreenInfo SharedServices::Screen() const {
    const Twips t = ScreenTwips();
    // Without a screen (a batch run) the report view is laid out for a common one.
    QRect geometry(0, 0, 1280, 1024);
    if (QScreen* screen = QGuiApplication::primaryScreen()) geometry = screen->geometry();
    return {t.FromX(geometry.width()), t.FromY(geometry.height()), t.FromX(1), t.FromY(1)};
}

ui::YearMonth SharedServices::Today() const {
    return DateToday();
}

base::Result<ui::PictureRef> SharedServices::LoadPicture(const std::string& path) {
    return pictures_.Load(path);
}

ui::PictureRef SharedServices::TurnedPicture(const ui::PictureRef& picture, model::FilmTurn turn) {
    return pictures_.Turned(picture, turn);
}

learning::GreyFilm SharedServices::GreyPixels(const ui::PictureRef& picture) {
    const QImage& image = pictures_.Get(picture);
    learning::GreyFilm g;
    if (image.isNull()) return g;
    g.width = image.width(), g.height = image.height();
    g.pixels.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
    const bool grey = image.format() == QImage::Format_Grayscale8;
    // Colour by the same luminance the learning reads a colour file by.
    const QImage colour = grey ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    auto* out = g.pixels.data();
    for (int y = 0; y < g.height; ++y) {
        if (grey) {
            std::copy_n(image.constScanLine(y), g.width, out);
            out += g.width;
            continue;
        }
        const auto* row = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
        for (int x = 0; x < g.width; ++x)
            *out++ = learning::Luminance(qRed(row[x]), qGreen(row[x]), qBlue(row[x]));
    }
    return g;
}

std::string SharedServices::InstalledFolder() const {
#ifdef _WIN32
    return QCoreApplication::applicationDirPath().toStdString();
#else
    return "/usr/share/readceph";
#endif
}

ui::PictureRef SharedServices::GuideDrawing() {
    if (guide_.empty()) {
        QImage drawing(QStringLiteral(":/guide/guide.bmp"));
        if (drawing.isNull()) {
            drawing = QImage(197, 247, QImage::Format_Grayscale8);
            drawing.fill(Qt::white);
        }
        guide_ = pictures_.Add(std::move(drawing));
        // Handed out again on every later call, so it must outlive the boxes showing it.
        pictures_.Pin(guide_);
    }
    return guide_;
}

namespace {

// A picture of the store written by `write`, with the progress shown under the file's
// name while it takes long.
template <class Write>
std::error_code SaveWithProgress(SharedServices& services, const ui::PictureRef& picture,
                                 const ui::PictureView& shown, const std::string& path,
                                 Write write) {
    // A reference of its own: the window may release the picture while events run.
    const QImage image = services.Pictures().Shown(picture, shown);
    if (image.isNull()) return std::make_error_code(std::errc::invalid_argument);
    const std::string text = "正在儲存圖檔 " + path;
    services.ShowProgress(text, 0);
    const std::error_code ec =
        write(image, [&](double done) { services.ShowProgress(text, std::min(done, 0.999)); });
    services.ShowProgress(text, 1);
    return ec;
}

}  // namespace

std::error_code SharedServices::SavePictureBitmap(const ui::PictureRef& picture,
                                                  const ui::PictureView& shown,
                                                  const std::string& path) {
    return SaveWithProgress(*this, picture, shown, path,
                            [&](const QImage& image, const WriteProgress& progress) {
                                return WriteBitmap(image, path, progress);
                            });
}

std::error_code SharedServices::SavePictureJpeg(const ui::PictureRef& picture,
                                                const ui::PictureView& shown,
                                                const std::string& path, int quality) {
    return SaveWithProgress(*this, picture, shown, path,
                            [&](const QImage& image, const WriteProgress& progress) {
                                return WriteJpeg(image, path, quality, progress);
                            });
}

bool SharedServices::SaveBitmap(const ui::PictureBox& box, const std::string& path) {
    const Twips t = ScreenTwips();
    QImage image(std::max(1, t.X(box.width)), std::max(1, t.Y(box.height)), QImage::Format_RGB888);
    {
        QPainter painter(&image);
        PaintPictureBox(painter, box, QGuiApplication::palette(), &pictures_, t.ScaleX(),
                        t.ScaleY());
    }
    return !SaveImage(image, path, "BMP");
}

std::error_code SharedServices::WritePdf(const std::vector<ui::DrawingList>& pages,
                                         const std::string& path) {
    return WritePdfFile(pages, path, &pictures_);
}

}  // namespace ceph::platform
