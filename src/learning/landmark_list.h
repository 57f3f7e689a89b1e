#pragma once
// Lists of films with their landmarks, as CSV tables (UTF-8, a header row): `picture`,
// then `NAME x` and `NAME y` for landmarks by the program's abbreviations ("S", "U1
// Edge" …), in any order; a missing column or an empty field is a landmark not marked
// on that film. The picture's path is relative to the list's folder; coordinates are
// pixels of the picture as the program shows it (x right, y down from the top-left
// corner). The same columns are what cephtool's suggestions are printed in.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "learning/shape_learning.h"

namespace ceph::learning {

struct ListedFilm {
    std::string picture;  // as the list names it
    FilmMarks marks;
    int line = 0;  // the line of the list it is on, for messages
};

// The films of a list; the first fault, with its line, when the list cannot be read
// (no `picture` column, a column naming no landmark, a coordinate that is no number, a
// landmark with x but no y).
base::Result<std::vector<ListedFilm>, std::string> ReadLandmarkList(std::string_view text);

// The landmarks in the columns' order: S, N, Or, Po, ANS, PNS, A, B, Pog, Gn, Me, Go, Ar,
// U1 Edge, U1 Apex, L1 Edge, L1 Apex, Upper Molar, Lower Molar.
const std::array<model::Landmark, model::kLandmarkCount>& ListOrder();

// The header of such a table, and one film's row, coordinates to one decimal (a
// landmark not marked leaves its two fields empty); each ends with CR LF.
std::string ListHeader();
std::string ListRow(std::string_view picture, const FilmMarks& marks);

}  // namespace ceph::learning
