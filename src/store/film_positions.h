#pragma once
// Film positions files "film-1.txt" … "film-9.txt" in the data folder: for tracing n of
// each patient, where its landmarks lie on the film it was traced on. One line per
// patient, fields separated by commas, CR LF at the end:
//   code, picture, width, height, turn, digest, then x and y of landmarks 1..19
// in film pixels with two decimals. The picture is relative to the picture folder when
// it lies there; a comma, a line end or a "%" in it is written as "%2C", "%0D", "%0A",
// "%25". The turn is model::TurnText's; the digest is CoordinatesDigest of the record
// line the positions belong to. They are written with that line, under the same hold of
// its record file's lock, and count only while the digest matches the line.

#include <optional>
#include <string>
#include <string_view>

#include "model/film_positions.h"
#include "model/geometry.h"
#include "store/record_store.h"

namespace ceph::store {

std::string FilmPositionsName(int n);
std::string FilmPositionsPath(std::string_view dataDir, int n);

// A digest of landmarks 1..19 as a record line stores them (one decimal): 16 hex digits.
std::string CoordinatesDigest(const model::PointTable& X, const model::PointTable& Y);

// The line of a patient's positions, without its line end, and back; a line that is not
// one reads as nothing.
std::string FilmPositionsLine(std::string_view code, const model::FilmPositions& film);
struct PositionsLine {
    std::string code;
    model::FilmPositions film;
};
std::optional<PositionsLine> ReadFilmPositionsLine(std::string_view line);

// Every line of file n that reads as positions, in the file's order; none when there is
// no such file or it cannot be read (positions are a help, never the tracing).
std::vector<PositionsLine> ReadFilmPositionsFile(std::string_view dataDir, int n);

// The patient's positions of tracing n that were taken with the coordinates X, Y (the
// tracing as its record line holds it now); nothing otherwise.
std::optional<model::FilmPositions> PositionsOfTracing(std::string_view dataDir, int n,
                                                       std::string_view code,
                                                       const model::PointTable& X,
                                                       const model::PointTable& Y);

// The film's file in full, and the name positions keep for a file: relative to the
// picture folder `pictureDir` (ending with the separator) when it lies there.
std::string FilmFile(const std::string& pictureDir, const model::FilmPositions& film);
std::string FilmName(const std::string& pictureDir, const std::string& file);

// The rewrite of file n that stores the patient's positions (their old line dropped,
// `film` added) or, with none, drops them; for storing with the record line.
FollowingFile StoreFilmPositions(int n, const std::string& code,
                                 const std::optional<model::FilmPositions>& film);

}  // namespace ceph::store
