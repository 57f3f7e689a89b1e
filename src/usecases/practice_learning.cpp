#include "usecases/practice_learning.h"

#include <cmath>

#include "digitising/suggestions.h"
#include "learning/background_learning.h"
#include "model/numbers.h"
#include "store/landmark_model_file.h"

namespace ceph::usecases {

namespace {

// The header's strip: shown while learning, with the share done as a bar.
void ShowLearning(ui::MainWindow& w, const learning::BackgroundLearning::Progress* p) {
    const bool on = p != nullptr;
    w.LabelLearning.visible = w.PictureLearning.visible = w.CommandLearnCancel.visible = on;
    w.learnmn.enabled = !on;
    w.PictureLearning.drawing.Clear();
    if (!on) return;
    const int percent = static_cast<int>(std::floor(p->done * 100));
    w.LabelLearning.caption = "學習建議 " + std::to_string(percent) + "%";
    w.LabelLearning.tooltip = p->text;
    const float y = w.PictureLearning.height / 2;
    const float end = static_cast<float>(w.PictureLearning.width * p->done);
    if (end > 0)
        w.PictureLearning.drawing.Add<ui::DrawLine>(0.0f, y, end, y, kBlue,
                                                    static_cast<int>(w.PictureLearning.height));
}

// The model learnt kept for the practice, and the clinician told; the film shown, if
// any, looked at again with it.
void Finish(ui::App& app, const learning::BackgroundLearning& job) {
    const auto outcome = job.Outcome();
    if (!outcome) {
        // Stopped on request: the clinician knows, and nothing changed.
        if (outcome.why() != "已取消")
            app.services.ShowMessage(NotLearntText(outcome.why()), ui::kExclamationOk);
        return;
    }
    if (const std::string why = store::StoreLandmarkModel(app.win.state.DataDir, *outcome);
        !why.empty()) {
        app.services.ShowMessage(NotLearntText(why), ui::kCriticalOk);
        return;
    }
    double sum = 0;
    int known = 0;
    for (int k = 1; k <= model::kLandmarkCount; ++k)
        if (outcome->known[static_cast<std::size_t>(k)] &&
            outcome->expectedError[static_cast<std::size_t>(k)] > 0)
            sum += outcome->expectedError[static_cast<std::size_t>(k)], ++known;
    app.services.ShowMessage(
        LearntText(job.Films(), known ? static_cast<float>(sum / known) : 0, job.LeftOut().size()),
        ui::MessageStyle{ui::MessageButtons::Ok, ui::MessageIcon::Information});
    app.win.state.Digitising.suggested.picture = 0;
    digitising::SuggestOnShownFilm(app);
}

}  // namespace

learning::LearningOptions PracticeLearningOptions() {
    learning::LearningOptions options;
    options.threads = 1;
    return options;
}

void learnmn_Click(ui::App& app) {
    StartPracticeLearning(app, PracticeLearningOptions());
}

void StartPracticeLearning(ui::App& app, const learning::LearningOptions& options) {
    if (app.learning) return;
    const ui::State& s = app.win.state;
    app.learning = std::make_shared<learning::BackgroundLearning>(s.DataDir, s.PictureDir, options);
    const learning::BackgroundLearning::Progress p = app.learning->Now();
    ShowLearning(app.win, &p);
}

void LearningTick(ui::App& app) {
    if (!app.learning) return;
    const learning::BackgroundLearning::Progress p = app.learning->Now();
    if (!p.finished) {
        ShowLearning(app.win, &p);
        return;
    }
    const std::shared_ptr<learning::BackgroundLearning> job = std::move(app.learning);
    ShowLearning(app.win, nullptr);
    Finish(app, *job);
}

void CommandLearnCancel_Click(ui::App& app) {
    if (app.learning) app.learning->Stop();
    // The keys go back to the film, not to the box Qt would pass them to when the
    // button goes.
    if (app.win.Picture2.visible) app.win.Picture4.takeFocus = true;
}

std::string LearntText(std::size_t films, float meanError, std::size_t leftOut) {
    std::string text = "已由本診所 " + std::to_string(films) + " 張描圖學會描點建議";
    if (meanError > 0) text += "，平均預期誤差約 " + Format1(meanError) + " mm";
    text += "。\n輸入描點時，建議會以空心圓標在影像上：按 Enter 採用，或照常點選。";
    if (leftOut > 0)
        text += "\n有 " + std::to_string(leftOut) + " 張描圖的影像找不到或已更改，沒有用來學習。";
    return text;
}

std::string NotLearntText(const std::string& why) {
    return "無法學習描點建議：" + why + "\n原來的描點建議沒有改變。";
}

}  // namespace ceph::usecases
