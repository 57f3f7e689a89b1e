#include "tools/learning_commands.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <set>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "learning/film_reading.h"
#include "learning/landmark_list.h"
#include "learning/practice_films.h"
#include "learning/shape_learning.h"
#include "model/numbers.h"
#include "platform/qt_formats.h"
#include "store/film_positions.h"
#include "store/landmark_model_file.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

// Millimetres per pixel within reason: from a microscope's to a thumbnail's.
bool PlausibleSpacing(double mm) {
    return mm >= 0.005 && mm <= 10;
}

// Millimetres in an option's text: a plain number within reason; nothing otherwise.
std::optional<double> Millimetres(std::string_view text) {
    if (!IsDecimalNumber(text)) return std::nullopt;
    const double v = TextToNumber(text);
    if (!PlausibleSpacing(v)) return std::nullopt;
    return v;
}

// The spacing option in force for operand `index`: the last given before it.
std::optional<std::string> SpacingFor(const CommandLine& o, std::size_t index) {
    std::optional<std::string> text;
    for (const GivenOption& g : o.given)
        if (g.name == "--spacing" && g.operandsBefore <= index) text = g.text;
    return text;
}

// A picture named by a list: relative to the list's folder unless it is whole.
std::string InListFolder(const std::string& list, const std::string& picture) {
    const std::filesystem::path p = base::ToPath(picture);
    if (p.is_absolute()) return picture;
    return base::FromPath(base::ToPath(list).parent_path() / p);
}

// The films of one list, brought to `scale`; the films that cannot be read, or whose
// scale is not known, are named on standard error and left out. False when the list
// itself cannot be read.
bool ReadList(const std::string& list, std::optional<double> spacing,
              const learning::LearningOptions& options, std::vector<learning::MarkedFilm>& films) {
    std::string text;
    if (const std::error_code ec = base::ReadRegularFile(list, text, std::uint64_t{64} << 20)) {
        std::cerr << "cephtool: cannot read " << list << ": " << base::ErrorText(ec) << "\n";
        return false;
    }
    const auto listed = learning::ReadLandmarkList(text);
    if (!listed) {
        std::cerr << "cephtool: " << list << ": " << listed.why() << "\n";
        return false;
    }
    for (const learning::ListedFilm& entry : *listed) {
        const std::string path = InListFolder(list, entry.picture);
        const auto read = learning::ReadFilmFile(path);
        if (!read) {
            std::cerr << "cephtool: skipped: " << read.why() << "\n";
            continue;
        }
        const double mm = spacing ? *spacing : read->spacing;
        if (!(mm > 0)) {
            std::cerr << "cephtool: skipped: " << path
                      << ": its scale is not known (give the list's --spacing)\n";
            continue;
        }
        films.push_back(learning::ForLearning(read->film, mm, entry.marks, options));
    }
    return true;
}

// The films of every stored tracing of a data folder whose film positions still count.
bool ReadDataFolder(const std::string& data, const learning::LearningOptions& options,
                    std::vector<learning::MarkedFilm>& films) {
    const std::string dataDir = base::WithTrailingSeparator(data);
    learning::PracticeFilms read = learning::ReadPracticeFilms(
        dataDir, PictureFolder(dataDir), options,
        [](const std::string& why) { std::cerr << "cephtool: skipped: " << why << "\n"; });
    for (learning::MarkedFilm& film : read.films)
        films.push_back(std::move(film));
    return read.allRead;
}

learning::LearningOptions TrainingOptions(const CommandLine& o) {
    learning::LearningOptions options;
    if (o.Has("--scale")) options.scale = *Millimetres(o.Text("--scale"));
    // The closer looks at twice the first look's detail.
    options.localScale = options.scale / 2;
    options.treesPerCascade = o.Number("--trees", options.treesPerCascade);
    // The closer looks see less, and need fewer.
    options.localTrees = std::max(1, options.treesPerCascade / 5);
    options.folds = o.Number("--folds", options.folds);
    // One thread unless asked: the library's threads cost more than they give on the
    // films measured here.
    options.threads = o.Number("--threads", 1);
    options.progress = [](const std::string& what) {
        std::cerr << "cephtool: " << what << "\n";
        return true;
    };
    return options;
}

// Each landmark the model knows with its expected error, on standard error.
void TellModel(const model::LandmarkModel& m) {
    for (const model::Landmark l : learning::ListOrder()) {
        const auto k = model::Slot(l);
        if (!m.known[k]) continue;
        std::cerr << "cephtool:   " << model::Landmarks()[k - 1].abbreviation << ": "
                  << (m.expectedError[k] > 0 ? FormatFixed(m.expectedError[k], 2) + " mm"
                                             : std::string("expected error not measured"))
                  << "\n";
    }
}

}  // namespace

int RunTrain(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kTrainRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    if (o.operands.empty() && !o.Has("--data"))
        return UsageFault(kTrainRules, "no list or data folder given", std::cerr);
    for (const GivenOption& g : o.given)
        if ((g.name == "--spacing" || g.name == "--scale") && !Millimetres(g.text))
            return UsageFault(kTrainRules,
                              std::string(g.name) + " " + g.text + ": millimetres per pixel",
                              std::cerr);
    // The closer looks take half the scale, which a model may hold down to 0.01 mm.
    if (o.Has("--scale") && *Millimetres(o.Text("--scale")) < 0.02)
        return UsageFault(kTrainRules, "--scale " + o.Text("--scale") + ": 0.02 at least",
                          std::cerr);
    const learning::LearningOptions options = TrainingOptions(o);
    platform::RegisterPictureFormats();
    std::vector<learning::MarkedFilm> films;
    bool allRead = true;
    for (const GivenOption& g : o.given)
        if (g.name == "--data") allRead &= ReadDataFolder(g.text, options, films);
    for (std::size_t i = 0; i < o.operands.size(); ++i) {
        const auto spacing = SpacingFor(o, i);
        allRead &=
            ReadList(o.operands[i], spacing ? Millimetres(*spacing) : std::nullopt, options, films);
    }
    std::cerr << "cephtool: " << films.size() << " films to learn from\n";
    const auto learnt = learning::Learn(films, options);
    if (!learnt) {
        std::cerr << "cephtool: " << learnt.why() << "\n";
        return 1;
    }
    TellModel(*learnt);
    const std::string out = o.Text("--out");
    // Only a model the program will read is written.
    const auto bytes = store::CheckedLandmarkModelBytes(*learnt);
    if (!bytes) {
        std::cerr << "cephtool: the model learnt cannot be kept: " << bytes.why() << "\n";
        return 1;
    }
    if (const std::error_code ec = base::WriteFileAtomically(out, *bytes)) {
        std::cerr << "cephtool: cannot write " << out << ": " << base::ErrorText(ec) << "\n";
        return 1;
    }
    return allRead ? 0 : 1;
}

int RunSuggest(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kSuggestRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    if (o.operands.empty()) return UsageFault(kSuggestRules, "no picture given", std::cerr);
    if (o.Has("--spacing") && !Millimetres(o.Text("--spacing")))
        return UsageFault(kSuggestRules,
                          "--spacing " + o.Text("--spacing") + ": millimetres per pixel",
                          std::cerr);
    const auto model = store::LoadLandmarkModel(o.Text("--model"));
    if (!model) {
        std::cerr << "cephtool: " << model.why() << "\n";
        return 1;
    }
    platform::RegisterPictureFormats();
    const learning::Suggester suggester(*model);
    std::cout << learning::ListHeader();
    int status = 0;
    for (const std::string& picture : o.operands) {
        const auto read = learning::ReadFilmFile(picture);
        if (!read) {
            std::cerr << "cephtool: " << read.why() << "\n";
            status = 1;
            continue;
        }
        const double spacing = o.Has("--spacing")  ? *Millimetres(o.Text("--spacing"))
                               : read->spacing > 0 ? read->spacing
                                                   : model->filmWidth / read->film.width;
        // A film of one pixel, or one whose scale is beyond reason, gets no suggestion.
        if (read->film.width < 2 || read->film.height < 2 || !PlausibleSpacing(spacing)) {
            std::cerr << "cephtool: " << picture << ": too small, or of a scale beyond reason\n";
            status = 1;
            continue;
        }
        const learning::FilmMarks marks = suggester.Suggest(read->film, spacing);
        std::cout << learning::ListRow(picture, marks);
    }
    return FlushedStatus(status);
}

}  // namespace ceph::tools
