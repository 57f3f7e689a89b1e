#pragma once
// Films with known landmarks, made from the tree's generated radiograph (the demo's
// 10234_3.jpg with its landmarks.txt): each a copy turned, scaled and shifted by its own
// known amount, with grain, at a reduced size, its landmarks moved with it. What the
// landmark learning is tested on.

#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "learning/grey_film.h"
#include "learning/shape_learning.h"
#include "pictures/format.h"
#include "pictures/own_formats.h"
#include "pictures/picture_file.h"

namespace ceph::testing {

struct GeneratedFilm {
    learning::GreyFilm film;
    learning::FilmMarks marks;
};

// The generated radiograph at `scale` of its size, and its landmarks there.
inline GeneratedFilm DemoFilm(const std::string& demoDir, double scale) {
    pictures::RegisterOwnFormats();
    pictures::FileBytes bytes;
    GeneratedFilm g;
    if (!pictures::ReadPictureFile(demoDir + "/pictures/10234_3.jpg", bytes)) return g;
    const auto picture = pictures::Decode(bytes.View());
    if (!picture) return g;
    g.film = learning::Scaled(learning::GreyOf(*picture), scale);
    std::ifstream marks(demoDir + "/../radiograph/landmarks.txt");
    std::string line;
    for (int n = 1; n <= model::kLandmarkCount && std::getline(marks, line); ++n) {
        // The name may hold a space and a digit ("U1 Apex"): the numbers are the last
        // two fields.
        const std::size_t yAt = line.find_last_of(' '), xAt = line.find_last_of(' ', yAt - 1);
        const double x = std::stod(line.substr(xAt + 1)), y = std::stod(line.substr(yAt + 1));
        g.marks[static_cast<std::size_t>(n)] = model::FilmPoint{x * scale, y * scale};
    }
    return g;
}

// `count` copies of `base`, each turned up to 5° about its middle, scaled by up to 8 %,
// shifted by up to 6 % of its size and grained; the same for the same seed.
inline std::vector<GeneratedFilm> GeneratedFilms(const GeneratedFilm& base, int count,
                                                 unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::normal_distribution<double> grain(0, 4);
    std::vector<GeneratedFilm> films;
    const int w = base.film.width, h = base.film.height;
    for (int i = 0; i < count; ++i) {
        const double turn = unit(random) * 5 * std::numbers::pi / 180,
                     scale = 1 + unit(random) * 0.08;
        const double dx = unit(random) * 0.06 * w, dy = unit(random) * 0.06 * h;
        const double c = std::cos(turn) * scale, s = std::sin(turn) * scale;
        const double mx = w / 2.0, my = h / 2.0;
        GeneratedFilm g;
        g.film.width = w, g.film.height = h;
        g.film.pixels.resize(base.film.pixels.size());
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // Where the new pixel's middle came from: the inverse move.
                const double u = x + 0.5 - mx - dx, v = y + 0.5 - my - dy;
                const double sx = (c * u + s * v) / (scale * scale) + mx - 0.5,
                             sy = (-s * u + c * v) / (scale * scale) + my - 0.5;
                double value = 0;
                if (sx >= 0 && sy >= 0 && sx < w - 1 && sy < h - 1) {
                    const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
                    const double fx = sx - x0, fy = sy - y0;
                    value = (1 - fy) *
                                ((1 - fx) * base.film.At(x0, y0) + fx * base.film.At(x0 + 1, y0)) +
                            fy * ((1 - fx) * base.film.At(x0, y0 + 1) +
                                  fx * base.film.At(x0 + 1, y0 + 1));
                }
                value += grain(random);
                g.film.pixels[static_cast<std::size_t>(y * w + x)] =
                    static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
            }
        }
        for (int n = 1; n <= model::kLandmarkCount; ++n) {
            const auto& at = base.marks[static_cast<std::size_t>(n)];
            if (!at) continue;
            const double u = at->x - mx, v = at->y - my;
            g.marks[static_cast<std::size_t>(n)] =
                model::FilmPoint{c * u - s * v + mx + dx, s * u + c * v + my + dy};
        }
        films.push_back(std::move(g));
    }
    return films;
}

}  // namespace ceph::testing
