#pragma once
// What drawing a page asks of the program around it, the window's or cephtool's: the
// date the page is printed on, and the pictures it shows, looked up by their files.

#include <string>

#include "base/result.h"
#include "model/film_positions.h"
#include "page/drawing.h"

namespace ceph::page {

struct YearMonth {
    int year = 2000;
    int month = 1;
    int day = 1;  // for the date a page is printed on
};

// Pictures: decoded and kept by the platform, referred to by handle on the page.
class PictureLookup {
  public:
    virtual ~PictureLookup() = default;
    // A file loaded into the picture store, or why it cannot be read, in words for the
    // user.
    virtual base::Result<PictureRef> LoadPicture(const std::string& path) = 0;
    // A new picture: `picture` mirrored and turned as `turn` says, pixel for pixel, with
    // its windows and (across and down exchanged as needed) its spacing; an empty
    // reference for a picture not held.
    virtual PictureRef TurnedPicture(const PictureRef& picture, model::FilmTurn turn) = 0;
};

}  // namespace ceph::page
