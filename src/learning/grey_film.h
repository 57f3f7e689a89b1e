#pragma once
// A film as the landmark learning reads it: 8-bit grey pixels, row after row, whatever
// the picture file held (deep films brought down through their own display window,
// colour ones to their luminance), and the film brought to another scale.

#include <cstdint>
#include <vector>

#include "model/film_positions.h"
#include "pictures/picture.h"

namespace ceph::learning {

struct GreyFilm {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // width x height, rows top to bottom
    std::uint8_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The grey level of a colour pixel: its luminance, rounded.
std::uint8_t Luminance(int red, int green, int blue);

// The picture's pixels in grey: a deep picture through its file's display window, else
// stretched over the levels it uses; a colour one by its luminance.
GreyFilm GreyOf(const pictures::Picture& picture);

// The film as shown turned by `turn` (mirrored first, then quarter turns clockwise), as
// film positions are told.
GreyFilm Turned(const GreyFilm& film, model::FilmTurn turn);

// The film at `factor` times its size: each new pixel the mean of the old ones it covers
// when smaller, the old one under it when larger; at least one pixel each way.
GreyFilm Scaled(const GreyFilm& film, double factor);

}  // namespace ceph::learning
