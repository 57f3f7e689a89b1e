#include "platform/figure_png.h"

#include <QGuiApplication>
#include <cstdlib>

#include "platform/file_output.h"
#include "platform/painting.h"

namespace ceph::platform {

bool WriteFigurePng(const model::Figure& figure, const std::string& path, std::string& error) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "cephtool";
    char* argv[] = {name, nullptr};
    QGuiApplication qt(argc, argv);

    const QImage image = RenderFigure(figure, 150);
    if (std::error_code ec = SaveImage(image, path, "PNG")) {
        error = ec.message();
        return false;
    }
    return true;
}

}  // namespace ceph::platform
