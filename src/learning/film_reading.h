#pragma once
// A film read for the landmark learning: any picture the program opens (the formats
// registered), turned upright as the program shows it, in grey, with the millimetres
// per pixel its file tells (a DICOM's pixel spacing; 0 when it tells none).

#include <string>

#include "base/result.h"
#include "learning/grey_film.h"

namespace ceph::learning {

struct ReadFilm {
    GreyFilm film;
    double spacing = 0;
};

// The film at `path`; why not, in a sentence naming the file, when it cannot be read.
base::Result<ReadFilm, std::string> ReadFilmFile(const std::string& path);

}  // namespace ceph::learning
