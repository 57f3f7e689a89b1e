// A landmark model file that reads, however it was made, handed to the learning library
// and used: it never crashes, and what it suggests is on or near the film or nothing.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "learning/shape_learning.h"
#include "store/landmark_model_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto model = ceph::store::ReadLandmarkModel(bytes);
    if (!model) return 0;
    // A small film with something on it: a bright square on dark.
    ceph::learning::GreyFilm film;
    film.width = film.height = 64;
    film.pixels.assign(64 * 64, 20);
    for (int y = 20; y < 44; ++y)
        for (int x = 20; x < 44; ++x)
            film.pixels[static_cast<std::size_t>(y * 64 + x)] = 220;
    const ceph::learning::Suggester suggester(*model);
    for (const double spacing : {model->millimetresPerPixel, 1.0}) {
        const ceph::learning::FilmMarks marks = suggester.Suggest(film, spacing);
        for (const auto& at : marks)
            if (at) FUZZ_CHECK(at->x >= -64 && at->x <= 128 && at->y >= -64 && at->y <= 128);
    }
    return 0;
}
