#include "learning/practice_films.h"

#include <cmath>
#include <optional>
#include <set>

#include "learning/film_reading.h"
#include "store/film_positions.h"
#include "store/practice_positions.h"

namespace ceph::learning {

namespace {

// The film of a stored tracing's positions, marked; nothing, after saying why, when the
// film cannot be had as it was traced on.
std::optional<MarkedFilm> PositionsFilm(const std::string& pictureDir,
                                        const store::CountingPositions& line,
                                        const LearningOptions& options,
                                        const std::function<void(const std::string&)>& tell) {
    const model::FilmPositions& p = line.film;
    const model::Tracing& t = line.tracing;
    const std::string path = store::FilmFile(pictureDir, p);
    const auto read = ReadFilmFile(path);
    if (!read) {
        tell(read.why());
        return std::nullopt;
    }
    const GreyFilm shown = Turned(read->film, p.turn);
    const double pixels = std::hypot(p.at[1].x - p.at[16].x, p.at[1].y - p.at[16].y);
    const double mm = std::hypot(double{t.X[1]} - t.X[16], double{t.Y[1]} - t.Y[16]);
    if (shown.width != p.width || shown.height != p.height || !(pixels > 0) || !(mm > 0)) {
        tell(path + ": not the film as it was traced on");
        return std::nullopt;
    }
    FilmMarks marks;
    for (int k = 1; k <= model::kLandmarkCount; ++k)
        marks[static_cast<std::size_t>(k)] = p.at[static_cast<std::size_t>(k)];
    return ForLearning(shown, mm / pixels, marks, options);
}

}  // namespace

PracticeFilms ReadPracticeFilms(const std::string& dataDir, const std::string& pictureDir,
                                const LearningOptions& options,
                                const std::function<void(const std::string&)>& tell,
                                const std::function<bool()>& going) {
    PracticeFilms out;
    for (int n = 1; n <= 9; ++n) {
        std::vector<store::CountingPositions> counting;
        if (const std::string problem = store::PositionsThatCount(dataDir, n, counting);
            !problem.empty()) {
            tell(problem);
            out.allRead = false;
        }
        std::set<std::string> taken;  // the patient's first line of positions only
        for (const store::CountingPositions& line : counting) {
            if (!taken.insert(line.code).second) continue;
            if (going && !going()) return out;
            if (auto film = PositionsFilm(pictureDir, line, options, tell))
                out.films.push_back(std::move(*film));
            else
                out.allRead = false;
        }
    }
    return out;
}

}  // namespace ceph::learning
