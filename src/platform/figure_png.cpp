#include "platform/figure_png.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/file_output.h"
#include "platform/painting.h"

namespace ceph::platform {

base::Result<void> WriteFigurePng(const model::Figure& figure, const std::string& path) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "cephtool";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);

    const QImage image = RenderFigure(figure, 150);
    return base::FromSystem(path, SaveImage(image, path, "PNG"));
}

}  // namespace ceph::platform
