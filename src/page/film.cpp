#include "page/film.h"

#include "base/filesys.h"
#include "base/patient_files.h"
#include "store/film_positions.h"

namespace ceph::page {

PictureRef FilmOfPositions(PictureLookup& pictures, const std::string& pictureDir,
                           const model::FilmPositions& positions) {
    const std::string path = store::FilmFile(pictureDir, positions);
    if (!base::FileExists(path)) return {};
    const base::Result<PictureRef> loaded = pictures.LoadPicture(path);
    if (!loaded) return {};
    // Another film under the same name (a new scan, say) is not the one traced.
    int width = loaded->widthPx, height = loaded->heightPx;
    model::TurnedSize(width, height, positions.turn);
    if (width != positions.width || height != positions.height) return {};
    // The film as it was shown when traced: the positions are in its pixels.
    if (positions.turn == model::FilmTurn{}) return *loaded;
    return pictures.TurnedPicture(*loaded, positions.turn);
}

TracingFilm NameTracingFilm(const std::string& dataDir, const std::string& pictureDir,
                            const std::string& code, int n, const model::Tracing& tracing) {
    TracingFilm film;
    if (auto positions = store::PositionsOfTracing(dataDir, n, code, tracing.X, tracing.Y)) {
        film.path = store::FilmFile(pictureDir, *positions);
        if (base::FileExists(film.path)) {
            film.positions = std::move(positions);
            return film;
        }
    }
    film.path = base::TracingPictureFile(pictureDir, code, n);
    return film;
}

TracingFilm LoadTracingFilm(PictureLookup& pictures, const std::string& pictureDir,
                            const std::string& code, int n, TracingFilm named) {
    if (!named.positions) return named;
    named.picture = FilmOfPositions(pictures, pictureDir, *named.positions);
    if (!named.picture.empty()) return named;
    named.positions.reset();
    named.path = base::TracingPictureFile(pictureDir, code, n);
    return named;
}

TracingFilm FindTracingFilm(PictureLookup& pictures, const std::string& dataDir,
                            const std::string& pictureDir, const std::string& code, int n,
                            const model::Tracing& tracing) {
    return LoadTracingFilm(pictures, pictureDir, code, n,
                           NameTracingFilm(dataDir, pictureDir, code, n, tracing));
}

std::optional<model::FigureAlignment> FilmAlignment(const model::Tracing& tracing,
                                                    const TracingFilm& film) {
    if (tracing.figure) return tracing.figure;
    if (film.positions) return model::AlignmentFromPositions(*film.positions, tracing.X, tracing.Y);
    return std::nullopt;
}

}  // namespace ceph::page
