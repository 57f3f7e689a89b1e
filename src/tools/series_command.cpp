#include "tools/series_command.h"

#include <iostream>
#include <string>
#include <vector>

#include "model/landmark.h"
#include "model/norms.h"
#include "model/numbers.h"
#include "model/series.h"
#include "tools/analyse.h"
#include "tools/export_command.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--handoff", .required = true},
    {.name = "--tracings"},
    {.name = "--registration",
     .kind = OptionRule::Choice,
     .choices = "cranial-s|cranial-n|maxilla|mandible"},
    {.name = "--values", .kind = OptionRule::Switch},
};

// "1,3,5" as tracing numbers, in order and each once; nothing for anything else.
std::optional<std::vector<int>> ReadTracingList(std::string_view text) {
    std::vector<int> numbers;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view field = TrimBlanks(text.substr(start, comma - start));
        if (field.size() != 1 || field[0] < '1' || field[0] > '9') return std::nullopt;
        const int n = field[0] - '0';
        for (const int m : numbers)
            if (m == n) return std::nullopt;
        numbers.push_back(n);
        start = comma + 1;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The tracings asked for (all the patient has when none are named); a tracing named
// that cannot be read is told, and then there is nothing.
std::optional<std::vector<StoredTracing>> ReadSeries(const CommandLine& o, int& status) {
    std::vector<int> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9};
    const bool named = o.Has("--tracings");
    if (named) {
        const auto list = ReadTracingList(o.Text("--tracings"));
        if (!list) {
            status = UsageFault(kSeriesRules,
                                "--tracings " + o.Text("--tracings") +
                                    ": tracing numbers 1 to 9, each once, separated by commas",
                                std::cerr);
            return std::nullopt;
        }
        numbers = *list;
    }
    std::vector<StoredTracing> series;
    for (const int n : numbers) {
        base::Result<StoredTracing> stored =
            ReadStoredTracing({o.Text("--data"), o.Text("--handoff"), n});
        if (stored) {
            series.push_back(std::move(*stored));
        } else if (named || stored.why().error) {
            std::cerr << "cephtool: " << stored.why().detail << "\n";
            status = 1;
            return std::nullopt;
        }
    }
    return series;
}

// The 37 captions as `analyse --header` names them.
std::string ValueColumns() {
    const std::string header = AnalyseHeader(false);
    std::string out;
    std::size_t at = header.find(',');
    for (int i = 0; i < model::kRows && at != std::string::npos; ++i) {
        const std::size_t next = header.find(',', at + 1);
        out += header.substr(at, next - at);
        at = next;
    }
    return out;
}

std::string SeriesValues(const std::vector<StoredTracing>& series) {
    std::string out = "tracing,age" + ValueColumns() + "\r\n";
    for (const StoredTracing& t : series) {
        out += std::to_string(t.number) + ",";
        AppendCsvField(out, t.tracing.age);
        const model::AnalysisTexts texts = AnalyseTracing(t.tracing, model::IsMale(t.patient.sex));
        for (const std::string& value : texts.values)
            AppendCsvField(out += ',', value);
        out += "\r\n";
    }
    return out;
}

std::string SeriesPoints(const std::vector<StoredTracing>& series, model::Registration r) {
    std::string out = "tracing,age,landmark,x,y\r\n";
    const model::Tracing& reference = series.front().tracing;
    for (const StoredTracing& t : series) {
        model::Tracing laid = t.tracing;
        if (&t != &series.front()) model::Register(laid.X, laid.Y, reference.X, reference.Y, r);
        for (const model::LandmarkInfo& info : model::Landmarks()) {
            const std::size_t i = model::Slot(info.landmark);
            out += std::to_string(t.number) + ",";
            AppendCsvField(out, t.tracing.age);
            out += ",";
            AppendCsvField(out, info.abbreviation);
            out += "," + FormatFixed(laid.X[i], 2) + "," + FormatFixed(laid.Y[i], 2) + "\r\n";
        }
    }
    return out;
}

}  // namespace

const CommandRules kSeriesRules{
    .command = "series",
    .synopsis =
        "cephtool series --data DIR --handoff FILE [--tracings N,N,...]\n"
        "                [--registration cranial-s|cranial-n|maxilla|mandible]\n"
        "                [--values]\n",
    .details =
        "  the hand-off's patient's tracings (those named, else all stored), the\n"
        "  lowest-numbered one the reference: as CSV, every landmark of each in\n"
        "  millimetres laid over the reference by the registration (default\n"
        "  cranial-s: S-N at S; cranial-n: S-N at N; maxilla: ANS-PNS at ANS;\n"
        "  mandible: Go-Me at Me); with --values, each tracing's 37 values as\n"
        "  `analyse` prints them\n",
    .options = kOptions,
};

int RunSeries(int argc, char** argv) {
    CommandLine o;
    if (auto status = ReadCommandLine(kSeriesRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    int status = 0;
    const auto series = ReadSeries(o, status);
    if (!series) return status;
    if (series->empty()) {
        std::cerr << "cephtool: the patient has no stored tracing\n";
        return 1;
    }
    const auto r =
        model::RegistrationOfKey(o.Has("--registration") ? o.Text("--registration") : "cranial-s");
    std::cout << (o.Has("--values") ? SeriesValues(*series) : SeriesPoints(*series, *r));
    return std::cout.flush() ? 0 : 1;
}

}  // namespace ceph::tools
