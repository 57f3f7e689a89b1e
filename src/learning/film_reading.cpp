#include "learning/film_reading.h"

#include "pictures/format.h"
#include "pictures/orientation.h"
#include "pictures/picture_file.h"

namespace ceph::learning {

base::Result<ReadFilm, std::string> ReadFilmFile(const std::string& path) {
    pictures::FileBytes bytes;
    const auto read = pictures::ReadPictureFile(path, bytes);
    if (!read) return base::Fail("無法讀取圖檔 " + path + ": " + read.why().detail);
    auto picture = pictures::Decode(bytes.View());
    if (!picture) return base::Fail("無法讀取圖檔 " + path + ": " + picture.why().detail);
    auto upright =
        pictures::Upright(std::move(picture->pixels), pictures::JpegExifOrientation(bytes.View()));
    if (!upright) return base::Fail("無法讀取圖檔 " + path + ": " + upright.why().detail);
    picture->pixels = std::move(*upright);
    ReadFilm film;
    film.film = GreyOf(*picture);
    // A turned film keeps square pixels' spacing; only square ones are taken.
    if (picture->spacingX > 0 && picture->spacingX == picture->spacingY)
        film.spacing = picture->spacingX;
    return film;
}

}  // namespace ceph::learning
