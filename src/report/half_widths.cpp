#include "report/half_widths.h"

#include <cmath>
#include <optional>

#include "analysis/uncertainty.h"
#include "base/data_folder.h"
#include "base/filesys.h"
#include "base/safe_file.h"
#include "model/measurement.h"
#include "report/report.h"

namespace ceph::report {

namespace {

constexpr float kSize = 7;
constexpr Colour kGrey = Bgr(128, 128, 128);

// The practice's own table when the data folder has one, else the one built in; why the
// practice's could not be used, when it is there but faulty.
analysis::ErrorModel ErrorModelOf(const ui::State& s, std::string* problem) {
    const std::string path = base::ErrorModelFile(s.DataDir);
    const base::Result<analysis::ErrorModel> own = analysis::LoadErrorModel(path);
    if (own) return *own;
    const std::error_code readError = own.why().error;
    std::string why = own.why().detail;
    // Only a table that is not there at all is the usual case; one that is there but
    // cannot be read (a folder, a pipe, no permission) or is faulty is named.
    if (readError == std::errc::no_such_file_or_directory) return analysis::DefaultErrorModel();
    if (readError) why = base::ErrorText(readError);
    if (problem) *problem = "無法使用點誤差表 " + path + "：" + why + "\n改用程式內建的表。";
    return analysis::DefaultErrorModel();
}

// Beside the unit, or after the norm where the row has one; under-and-right of a value
// that stands under its caption.
void PlaceBeside(const model::Measurement& spec, const RowPlace& row, float& x, float& y) {
    x = static_cast<float>(row.x), y = static_cast<float>(row.y) + 50;
    switch (spec.block) {
        case model::Block::Differences:
            x += 220, y += 400;
            return;
        case model::Block::Maxillomandibular:
            x += 3700;
            return;
        default:
            x += 2300;
            return;
    }
}

void Draw(ui::App& app, const analysis::Uncertainty& u) {
    ui::MainWindow& w = app.win;
    ui::DrawingList& list = w.Picture3.screenOnly;
    std::string missing;
    for (int row = 0; row < model::kRows; ++row) {
        std::string text = analysis::HalfWidthText(u.halfWidth[row]);
        if (text.empty()) continue;
        const model::Measurement& spec = model::Row(row);
        if (u.undefinedDraws[row] > 0) {
            text += "*";
            missing += (missing.empty() ? "" : "、") + std::string(spec.caption) + " " +
                       std::to_string(u.undefinedDraws[row]) + " 次";
        }
        float x, y;
        PlaceBeside(spec, PlaceOfRow(w.state, row, false, 0), x, y);
        list.Add<ui::DrawText>(kSize, x, y, std::move(text), kGrey);
    }
    // What the figures mean, between the jaw rows and the small figure; the rows without
    // a value in some draws under the first column.
    list.Add<ui::DrawText>(kSize, 5700.0f, 4120.0f,
                           "±：點選誤差下的 95% 範圍（" + std::to_string(u.draws) + " 次模擬）",
                           kGrey);
    if (!missing.empty())
        list.Add<ui::DrawText>(kSize, 200.0f, 5480.0f, "*：無法計算 " + missing, kGrey);
}

}  // namespace

void ShowHalfWidths(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked || !w.Picture3.visible) return;
    Draw(app, analysis::EstimateUncertainty(ErrorModelOf(w.state, nullptr), w.state.X, w.state.Y));
}

void rangemn_Click(ui::App& app) {
    ui::MainWindow& w = app.win;
    w.rangemn.checked = !w.rangemn.checked;
    w.Picture3.screenOnly.Clear();
    if (!w.rangemn.checked) return;
    // The table is read once here: its problem is told, and the same model is drawn.
    std::string problem;
    const analysis::ErrorModel model = ErrorModelOf(w.state, &problem);
    if (!problem.empty()) app.services.ShowMessage(problem, ui::kExclamationOk);
    if (w.Picture3.visible) Draw(app, analysis::EstimateUncertainty(model, w.state.X, w.state.Y));
}

}  // namespace ceph::report
