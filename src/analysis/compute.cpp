#include "analysis/compute.h"

#include "analysis/rows.h"
#include "model/numbers.h"

namespace ceph::analysis {

AnalysisTexts ToTexts(const AnalysisValues& values, int normGroup) {
    AnalysisTexts t;
    for (int i = 0; i < kRows; ++i)
        t.values[i] = FormatFixed(values.rows[i], Row(i).decimals);
    t.norms = NormTexts(normGroup);
    return t;
}

void ComputeAnalysis(ui::MainWindow& win) {
    ui::State& s = win.state;
    const AnalysisValues values = ComputeValues(s.X, s.Y);
    s.X[29] = values.x29, s.Y[29] = values.y29;
    s.X[30] = values.x30, s.Y[30] = values.y30;
    AnalysisTexts texts = ToTexts(values, NormGroup(win.Label15.caption, win.Label13.caption));
    for (int i = 0; i < kRows; ++i)
        win.Text3[i].text = std::move(texts.values[i]);
    for (int j = 0; j < kNormRows; ++j)
        win.Label12[j].caption = texts.norms[j];
}

}  // namespace ceph::analysis
