#include "learning/grey_film.h"

#include <algorithm>
#include <cmath>

namespace ceph::learning {

namespace {

std::uint8_t Level(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// The window a deep picture is shown through: its file's, else the levels it uses.
pictures::Window DeepWindow(const pictures::Picture& picture) {
    if (!picture.fileWindow.empty()) return picture.fileWindow;
    const pictures::Pixels& p = picture.pixels;
    std::uint16_t low = 65535, high = 0;
    for (int y = 0; y < p.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint16_t*>(p.Row(y));
        for (int x = 0; x < p.width; ++x)
            low = std::min(low, row[x]), high = std::max(high, row[x]);
    }
    return {(low + high) / 2.0, std::max(1.0, static_cast<double>(high) - low)};
}

}  // namespace

std::uint8_t Luminance(int red, int green, int blue) {
    return Level(0.299 * red + 0.587 * green + 0.114 * blue);
}

GreyFilm GreyOf(const pictures::Picture& picture) {
    const pictures::Pixels& p = picture.pixels;
    GreyFilm g;
    if (p.null()) return g;
    g.width = p.width, g.height = p.height;
    g.pixels.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    const pictures::Window window =
        p.format == pictures::PixelFormat::Grey16 ? DeepWindow(picture) : pictures::Window{};
    auto* out = g.pixels.data();
    for (int y = 0; y < p.height; ++y) {
        const unsigned char* row = p.Row(y);
        for (int x = 0; x < p.width; ++x) {
            switch (p.format) {
                case pictures::PixelFormat::Grey8:
                    *out++ = row[x];
                    break;
                case pictures::PixelFormat::Grey16: {
                    const double v = reinterpret_cast<const std::uint16_t*>(row)[x];
                    *out++ = Level((v - window.level) / window.width * 255 + 127.5);
                    break;
                }
                case pictures::PixelFormat::Rgb32:
                case pictures::PixelFormat::Argb32Premultiplied: {
                    const std::uint32_t c = reinterpret_cast<const std::uint32_t*>(row)[x];
                    *out++ =
                        Luminance(static_cast<int>((c >> 16) & 0xFF),
                                  static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF));
                    break;
                }
            }
        }
    }
    return g;
}

GreyFilm Turned(const GreyFilm& film, model::FilmTurn turn) {
    if (turn == model::FilmTurn{}) return film;
    GreyFilm t;
    t.width = film.width, t.height = film.height;
    model::TurnedSize(t.width, t.height, turn);
    t.pixels.resize(film.pixels.size());
    for (int y = 0; y < film.height; ++y) {
        for (int x = 0; x < film.width; ++x) {
            // Pixel middles land on pixel middles: a turn is exact.
            const model::FilmPoint at =
                model::TurnPoint({x + 0.5, y + 0.5}, film.width, film.height, turn);
            t.pixels[static_cast<std::size_t>(static_cast<int>(at.y) * t.width +
                                              static_cast<int>(at.x))] = film.At(x, y);
        }
    }
    return t;
}

GreyFilm Scaled(const GreyFilm& film, double factor) {
    GreyFilm s;
    if (film.width == 0 || film.height == 0) return s;
    s.width = std::max(1, static_cast<int>(std::lround(film.width * factor)));
    s.height = std::max(1, static_cast<int>(std::lround(film.height * factor)));
    s.pixels.resize(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
    const double kx = static_cast<double>(film.width) / s.width,
                 ky = static_cast<double>(film.height) / s.height;
    auto* out = s.pixels.data();
    for (int y = 0; y < s.height; ++y) {
        // The old pixels a new one covers; enlarging, the one under its middle.
        const int y0 =
                      std::min(film.height - 1, static_cast<int>(ky < 1 ? (y + 0.5) * ky : y * ky)),
                  y1 = std::max(y0 + 1, std::min(film.height, static_cast<int>((y + 1) * ky)));
        for (int x = 0; x < s.width; ++x) {
            const int x0 = std::min(film.width - 1,
                                    static_cast<int>(kx < 1 ? (x + 0.5) * kx : x * kx)),
                      x1 = std::max(x0 + 1, std::min(film.width, static_cast<int>((x + 1) * kx)));
            std::uint32_t sum = 0;
            for (int v = y0; v < y1; ++v)
                for (int u = x0; u < x1; ++u)
                    sum += film.At(u, v);
            *out++ = static_cast<std::uint8_t>(
                (sum + static_cast<std::uint32_t>((y1 - y0) * (x1 - x0)) / 2) /
                static_cast<std::uint32_t>((y1 - y0) * (x1 - x0)));
        }
    }
    return s;
}

}  // namespace ceph::learning
