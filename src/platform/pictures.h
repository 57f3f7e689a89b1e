#pragma once
// The pixels behind the model's picture handles: every picture the program loads or
// makes is kept here, and the model refers to it by number.

#include <QImage>
#include <string>
#include <unordered_map>

#include "ui/controls.h"

namespace ceph::platform {

class PictureStore {
  public:
    // Reads a picture file; an empty reference when it cannot be read.
    ui::PictureRef Load(const std::string& path);
    ui::PictureRef Add(QImage image);
    // The picture of a reference; a null image for none.
    const QImage& Get(const ui::PictureRef& ref) const;

  private:
    std::unordered_map<std::uint32_t, QImage> images_;
    std::uint32_t next_ = 1;
    QImage none_;
};

}  // namespace ceph::platform
