#include "platform/pictures.h"

#include <QImageReader>

namespace ceph::platform {

ui::PictureRef PictureStore::Load(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull()) return {};
    return Add(std::move(image));
}

ui::PictureRef PictureStore::Add(QImage image) {
    ui::PictureRef ref{next_++, image.width(), image.height()};
    images_.emplace(ref.handle, std::move(image));
    return ref;
}

const QImage& PictureStore::Get(const ui::PictureRef& ref) const {
    auto it = images_.find(ref.handle);
    return it == images_.end() ? none_ : it->second;
}

}  // namespace ceph::platform
