#pragma once
// The film a stored tracing lies on, for the figure panel, the correction and the full
// report alike: the one its film positions name while they count (taken with the
// tracing's coordinates as its line holds them now, the film there at their size);
// otherwise the tracing's own picture in the picture folder, and no positions.

#include <optional>
#include <string>

#include "model/film_positions.h"
#include "model/tracing.h"
#include "page/services.h"

namespace ceph::page {

struct TracingFilm {
    std::string path;  // the film's file in full; empty when no file can be named
    std::optional<model::FilmPositions> positions;
    // The film, when finding it meant loading it (the positions' film, turned as it was
    // shown when traced); otherwise empty, and the caller loads `path` when it wants the
    // picture.
    PictureRef picture;
};

// The film `positions` name, loaded and turned as it was shown when traced, when it is
// there at their size; empty otherwise.
PictureRef FilmOfPositions(PictureLookup& pictures, const std::string& pictureDir,
                           const model::FilmPositions& positions);

// Which film tracing n of the patient `code` (as read from its record line) lies on, by
// its name alone: the file its positions name while they were taken with the tracing
// and that file is there, else its picture in the picture folder. Nothing is loaded, so
// the film's size is not yet checked.
TracingFilm NameTracingFilm(const std::string& dataDir, const std::string& pictureDir,
                            const std::string& code, int n, const model::Tracing& tracing);

// The film named, loaded and turned as it was shown when traced; a film of another size
// than its positions say is not the one traced, and the tracing's picture is named
// instead (not loaded).
TracingFilm LoadTracingFilm(PictureLookup& pictures, const std::string& pictureDir,
                            const std::string& code, int n, TracingFilm named);

// Both: the film a tracing lies on, loaded when its positions count.
TracingFilm FindTracingFilm(PictureLookup& pictures, const std::string& dataDir,
                            const std::string& pictureDir, const std::string& code, int n,
                            const model::Tracing& tracing);

// Where the film lies under the figure: as the tracing's figure fields have it, or
// from its film positions when it has none (never aligned by hand, say); nothing when
// neither says.
std::optional<model::FigureAlignment> FilmAlignment(const model::Tracing& tracing,
                                                    const TracingFilm& film);

}  // namespace ceph::page
