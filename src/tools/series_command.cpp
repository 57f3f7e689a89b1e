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
#include "tools/named_analysis.h"
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
    {.name = "--analysis"},
    {.name = "--norm-set"},
    {.name = "--out"},
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

// Each tracing's 37 values, or the named analysis's values, norms and flags, as
// `analyse` prints them.
std::string SeriesValues(const std::vector<StoredTracing>& series,
                         const std::optional<NamedChoice>& named) {
    std::string out =
        "tracing,age" + (named ? NamedHeader(*named->analysis) : ValueColumns()) + "\r\n";
    for (const StoredTracing& t : series) {
        out += std::to_string(t.number) + ",";
        AppendCsvField(out, t.tracing.age);
        const bool male = model::IsMale(t.patient.sex);
        if (named) {
            out += NamedFields(*named, t.tracing, male);
        } else {
            for (const std::string& value : AnalyseTracing(t.tracing, male).values)
                AppendCsvField(out += ',', value);
        }
        out += "\r\n";
    }
    return out;
}

// The options that do not go together; the status to end with when some are given.
std::optional<int> SeriesOptionsFault(const CommandLine& o) {
    if (o.Has("--out")) {
        const std::string out = o.Text("--out");
        if (!EndsWithNoCase(out, ".pdf") && !EndsWithNoCase(out, ".png"))
            return UsageFault(kSeriesRules, "--out " + out + ": not a .pdf or .png file",
                              std::cerr);
        // The page shows the three regions and the 37 rows, whatever else is asked.
        for (const char* notOnPage : {"--values", "--registration", "--analysis", "--norm-set"})
            if (o.Has(notOnPage))
                return UsageFault(kSeriesRules, std::string(notOnPage) + ": not with --out",
                                  std::cerr);
    }
    if (o.Has("--analysis") && !o.Has("--values"))
        return UsageFault(kSeriesRules, "--analysis: only with --values", std::cerr);
    return std::nullopt;
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
        "                [--values [--analysis NAME [--norm-set SET]]]\n"
        "       cephtool series --data DIR --handoff FILE [--tracings N,N,...]\n"
        "                --out FILE.pdf|FILE.png\n",
    .details =
        "  the hand-off's patient's tracings (those named, else all stored), the\n"
        "  lowest-numbered one the reference: as CSV, every landmark of each in\n"
        "  millimetres laid over the reference by the registration (default\n"
        "  cranial-s: S-N at S; cranial-n: S-N at N; maxilla: ANS-PNS at ANS;\n"
        "  mandible: Go-Me at Me); with --values, each tracing's 37 values as\n"
        "  `analyse` prints them (with --analysis, that analysis's values, norms and\n"
        "  flags, as `analyse --analysis` prints them)\n"
        "  --out: the follow-up page instead: the three regional superimpositions\n"
        "  and the values with their change from the reference to the last\n",
    .options = kOptions,
};

int RunSeries(int argc, char** argv, SeriesPageWriter writePage) {
    CommandLine o;
    if (auto status = ReadCommandLine(kSeriesRules, argc, argv, o, std::cout, std::cerr))
        return *status;
    if (auto status = SeriesOptionsFault(o)) return *status;
    int status = 0;
    const std::optional<NamedChoice> named = ReadNamedChoice(kSeriesRules, o, status);
    if (!named && status != 0) return status;  // --norm-set alone, or no such analysis
    const auto series = ReadSeries(o, status);
    if (!series) return status;
    if (series->empty()) {
        std::cerr << "cephtool: the patient has no stored tracing\n";
        return 1;
    }
    if (o.Has("--out")) {
        if (writePage) return writePage(*series, o.Text("--out"));
        std::cerr << "cephtool: this build writes no pages\n";
        return 2;
    }
    const auto r =
        model::RegistrationOfKey(o.Has("--registration") ? o.Text("--registration") : "cranial-s");
    std::cout << (o.Has("--values") ? SeriesValues(*series, named) : SeriesPoints(*series, *r));
    return std::cout.flush() ? status : 1;
}

}  // namespace ceph::tools
