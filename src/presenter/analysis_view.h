#pragma once
// The analysis window filled from the results of a named analysis: the lists of the
// analyses and norm sets, which tracing is read, the table and the analysis's notes.

#include <optional>
#include <string>
#include <vector>

#include "model/analyses.h"
#include "ui/analysis_window.h"

namespace ceph::presenter {

// One tracing's results under its caption ("P.1") and age text.
struct ReadTracing {
    model::AnalysisResult result;
    std::string caption;
    std::string age;
};

struct AnalysisReading {
    const model::NamedAnalysis* analysis = nullptr;  // one of the window's analyses
    std::string normSet;                             // the set the norms come from
    ReadTracing shown;
    std::optional<ReadTracing> compared;             // while a tracing is compared
    std::optional<model::AnalysisResult> simulated;  // once the figure's structures moved
};

// The table's columns: the measurement, its value, the norm (mean ± SD), the value less
// the mean, the flag; then the compared tracing's value and the difference of the two;
// then the simulated value, shown only where it differs from the unmoved one.
void ShowAnalysis(ui::AnalysisWindow& window, const AnalysisReading& reading);

// A value shown with its flag: the arrow after it, orange beyond one SD, red and bold
// beyond two, as the analysis table shows the columns that have no flag of their own.
ui::TableCell FlaggedValue(std::string text, model::Flag flag);

// A difference as shown beside its values: signed, "" for none.
std::string SignedText(double difference, int decimals);

}  // namespace ceph::presenter
