#include "platform/headless_services.h"

#include <QDate>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QScreen>
#include <iostream>

#include "platform/file_output.h"
#include "platform/painting.h"
#include "platform/twips.h"

namespace ceph::platform {

ui::MessageAnswer HeadlessServices::ShowMessage(const std::string& text, ui::MessageStyle style) {
    std::cerr << text << "\n";
    return style.buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No
                                                      : ui::MessageAnswer::Ok;
}

std::error_code HeadlessServices::WritePng(const std::vector<ui::DrawingList>& pages,
                                           const std::string& path, int dpi) {
    const QRectF area = FilePageLayout().paintRect(QPageLayout::Inch);
    const QSize size(static_cast<int>(area.width() * dpi), static_cast<int>(area.height() * dpi));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::string name = path;
        if (i > 0) {
            const std::size_t dot = name.rfind('.');
            name.insert(dot == std::string::npos ? name.size() : dot, "-" + std::to_string(i + 1));
        }
        if (std::error_code ec =
                SaveImage(RenderPage(pages[i], &pictures_, size, dpi), name, "PNG"))
            return ec;
    }
    return {};
}

}  // namespace ceph::platform
