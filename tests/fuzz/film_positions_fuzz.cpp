// A film positions line from the shared data folder, written by any program or damaged:
// whatever the bytes, a line that reads as positions writes back as the same line, and
// reads back the same, so a store never turns one patient's positions into another's.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "store/film_positions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto read = ceph::store::ReadFilmPositionsLine(line);
    if (!read) return 0;
    FUZZ_CHECK(read->film.width > 0 && read->film.height > 0);
    const std::string written = ceph::store::FilmPositionsLine(read->code, read->film);
    FUZZ_CHECK(written.find_first_of("\r\n") == std::string::npos);
    const auto again = ceph::store::ReadFilmPositionsLine(written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->code == read->code);
    FUZZ_CHECK(again->film.picture == read->film.picture);
    FUZZ_CHECK(again->film.turn == read->film.turn);
    FUZZ_CHECK(ceph::store::FilmPositionsLine(again->code, again->film) == written);
    return 0;
}
