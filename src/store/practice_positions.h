#pragma once
// The film positions of a data folder that still count, with the tracings they belong
// to: what the landmark learning learns the practice's own films from, and what
// cephtool lists.

#include <string>
#include <vector>

#include "model/film_positions.h"
#include "model/tracing.h"

namespace ceph::store {

// The picture folder the data folder's settings name (PersonPicDir), whole and ending
// with the separator; relative to the data folder when the settings give it so.
std::string PictureFolder(const std::string& dataDir);

// The film positions of record file n that still count: each taken with the coordinates
// its patient's record line holds now (the patient's first line, as the window shows
// it), in the positions file's order, with that tracing.
struct CountingPositions {
    std::string code;
    model::Tracing tracing;
    model::FilmPositions film;
};
// Empty when the record file was read (or there is none); otherwise why it could not be,
// naming it, and the positions of the lines read before the fault.
std::string PositionsThatCount(const std::string& dataDir, int n,
                               std::vector<CountingPositions>& out);

}  // namespace ceph::store
