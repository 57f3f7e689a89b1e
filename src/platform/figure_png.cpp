#include "platform/figure_png.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/file_output.h"
#include "platform/painting.h"
#include "platform/pictures.h"

namespace ceph::platform {

base::Result<void> WriteFigurePng(const model::Figure& figure, const model::FigureRadiograph* under,
                                  const std::string& path) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "cephtool";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);

    // Every format the window reads: the store decodes it as it does for the window.
    PictureStore pictures;
    page::DrawingList radiograph;
    if (under) {
        const base::Result<page::PictureRef> picture = pictures.Load(under->path);
        if (!picture) return base::Fail(picture.why());
        constexpr float kTwipsPerPixel = 15;
        radiograph.Add<page::DrawPicture>(
            *picture, under->left, under->top, picture->widthPx * kTwipsPerPixel * under->scale,
            picture->heightPx * kTwipsPerPixel * under->scale, std::uint32_t{0x8800C6});
    }
    const QImage image = RenderFigure(figure, 150, radiograph, &pictures);
    return base::FromSystem(path, SaveImage(image, path, "PNG"));
}

}  // namespace ceph::platform
