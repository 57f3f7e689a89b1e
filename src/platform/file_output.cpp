#include "platform/file_output.h"

#include <QBuffer>

#include "base/safe_file.h"

namespace ceph::platform {

std::error_code WriteBytes(const QByteArray& bytes, const std::string& path) {
    return base::WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::error_code SaveImage(const QImage& image, const std::string& path, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, format))
        return std::make_error_code(std::errc::io_error);
    return WriteBytes(bytes, path);
}

}  // namespace ceph::platform
