#include "digitising/suggestions.h"

#include <exception>
#include <filesystem>

#include "base/filesys.h"
#include "base/safe_file.h"
#include "digitising/digitise.h"
#include "learning/shape_learning.h"
#include "presenter/digitising_view.h"
#include "store/landmark_model_file.h"

namespace ceph::digitising {

namespace {

// What tells whether the model read before is still the file there: its size, its time
// and its first bytes, which hold the checksum of all the rest (two models learnt with
// the same options have the same size, and a file system's clock may not tell two
// writes within a moment apart).
std::string Stamp(const std::string& path) {
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(base::ToPath(path), ec);
    std::string stamp = std::to_string(ec ? 0 : time.time_since_epoch().count());
    base::SourceFile file;
    if (file.Open(path)) return stamp;
    char head[64];
    std::size_t got = 0;
    if (file.ReadAt(0, head, sizeof head, got)) got = 0;
    return stamp + "/" + std::to_string(file.Size()) + "/" + std::string(head, got);
}

// A film's millimetres per pixel: its file's spacing when it gives one, else the width
// of the films the model learnt from.
double FilmSpacing(const ui::PictureRef& picture, const ui::LandmarkHelp& help, int width) {
    const double spacing = picture.spacingX;
    if (spacing >= presenter::kFinestSpacing && spacing <= presenter::kCoarsestSpacing)
        return spacing;
    return width > 0 ? help.filmWidth / width : 0;
}

// Reads the model at `path` into `help`; why not when it cannot be used.
std::string ReadModel(const std::string& path, ui::LandmarkHelp& help) {
    const auto model = store::LoadLandmarkModel(path);
    if (!model) return model.why();
    try {
        help.suggester = std::make_shared<const learning::Suggester>(*model);
    } catch (const std::exception& e) {
        return path + ": " + e.what();
    }
    help.expectedError = model->expectedError;
    help.filmWidth = model->filmWidth;
    return {};
}

// Places the landmark asked where it is suggested, as a click there; false when nothing
// is suggested for it on the film shown.
bool AcceptOne(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::DigitisingState& flow = w.state.Digitising;
    if (!presenter::SuggestionAsked(w) || flow.film.width <= 0 || flow.film.height <= 0)
        return false;
    const auto& at = flow.suggested.at[model::Slot(flow.asked)];
    // The click goes where the suggestion lies at this zoom; the pointer stays where the
    // mouse is, for the next click.
    const float pointerX = flow.pointerX, pointerY = flow.pointerY;
    flow.pointerX = static_cast<float>(at->x * w.Image1.width / flow.film.width);
    flow.pointerY = static_cast<float>(at->y * w.Image1.height / flow.film.height);
    Image1_Click(app);
    flow.pointerX = pointerX, flow.pointerY = pointerY;
    return true;
}

// Finds the suggestions on `picture`, the film shown, when a model is in force.
void Suggest(ui::App& app, const ui::PictureRef& picture, ui::DigitisingState& flow) {
    FindLandmarkModel(app);
    const ui::LandmarkHelp& help = app.landmarkHelp;
    if (!help.suggester) return;
    const learning::GreyFilm grey = app.services.GreyPixels(picture);
    // Suggestions are told in the film's pixels as the film positions keep them.
    if (grey.width != flow.film.width || grey.height != flow.film.height) return;
    const double spacing = FilmSpacing(picture, help, grey.width);
    if (!(spacing > 0)) return;
    const learning::FilmMarks marks = help.suggester->Suggest(grey, spacing);
    for (std::size_t k = 1; k < marks.size(); ++k) {
        flow.suggested.at[k] = marks[k];
        flow.suggested.error[k] = help.expectedError[k];
        flow.suggested.reach[k] = help.expectedError[k] / spacing;
    }
}

}  // namespace

std::string LandmarkModelPath(const ui::App& app) {
    const std::string here = app.win.state.DataDir + store::kLandmarkModelName;
    if (base::FileExists(here)) return here;
    const std::string folder = app.services.InstalledFolder();
    if (folder.empty()) return {};
    const std::string installed = base::WithTrailingSeparator(folder) + store::kLandmarkModelName;
    return base::FileExists(installed) ? installed : std::string();
}

std::string UnusableModelText(const std::string& why) {
    return "描點建議模型無法使用，這次不提供建議：\n" + why;
}

void FindLandmarkModel(ui::App& app) {
    ui::LandmarkHelp& help = app.landmarkHelp;
    // A build without the learning could not use a model: input stays as it was.
    if (!learning::CanSuggest()) return;
    const std::string path = LandmarkModelPath(app);
    const std::string stamp = path.empty() ? std::string() : Stamp(path);
    if (path == help.path && stamp == help.stamp) return;
    help = {};
    help.path = path, help.stamp = stamp;
    if (path.empty()) return;
    // Read once for each version of the file, so a file that cannot be used is named once.
    if (const std::string why = ReadModel(path, help); !why.empty()) {
        help.suggester.reset();
        app.services.ShowMessage(UnusableModelText(why), ui::kExclamationOk);
    }
}

void SuggestOnShownFilm(ui::App& app) {
    ui::MainWindow& w = app.win;
    ui::DigitisingState& flow = w.state.Digitising;
    if (flow.step == ui::DigitisingState::Step::NotInputting || w.state.Correction.On()) return;
    const ui::PictureRef& picture = w.Image1.picture;
    if (picture.handle == flow.suggested.picture) return;
    flow.suggested = {};
    flow.suggested.picture = picture.handle;
    if (!picture.empty()) Suggest(app, picture, flow);
    presenter::ShowAsked(w);
}

void AcceptSuggestion(ui::App& app) {
    AcceptOne(app);
}

void AcceptAllSuggestions(ui::App& app) {
    // Each step places one landmark, so the input ends within the landmarks' count;
    // a picked-up landmark put back counts as one more.
    for (int step = 0; step <= 2 * model::kLandmarkCount && AcceptOne(app); ++step) {
    }
    // The keys stay with the film (Enter, the zoom), not with the box Qt would pass the
    // focus to when the button goes.
    app.win.Picture4.takeFocus = true;
}

}  // namespace ceph::digitising
