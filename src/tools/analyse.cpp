#include "tools/analyse.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <optional>

#include "base/safe_file.h"
#include "model/measurement.h"
#include "model/numbers.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "tools/export_command.h"

namespace ceph::tools {

namespace {

// Each row's half-width with two decimals, empty when no draw gave the row a value;
// draws without a value are counted in the field.
void AppendHalfWidths(std::string& csv, const model::Tracing& r, const AnalyseOptions& o) {
    const uncertainty::Uncertainty u =
        uncertainty::EstimateUncertainty(*o.errorModel, r.X, r.Y, o.draws, o.seed);
    for (int row = 0; row < model::kRows; ++row) {
        csv += ',';
        if (std::isnan(u.halfWidth[row])) continue;
        csv += FormatFixed(u.halfWidth[row], 2);
        if (u.undefinedDraws[row] > 0)
            csv += " (" + std::to_string(u.undefinedDraws[row]) + " undefined)";
    }
}

std::string Csv(std::string_view line, const model::Tracing& r, const AnalyseOptions& o) {
    if (o.named) {
        std::string csv;
        AppendCsvField(csv, store::FirstField(line));
        return csv + NamedFields(*o.named, r, o.male);
    }
    const model::AnalysisTexts texts = AnalyseTracing(r, o.male);
    std::string csv;
    AppendCsvField(csv, store::FirstField(line));
    for (const std::string& v : texts.values)
        (csv += ',') += v;
    for (const char* n : texts.norms)
        (csv += ',') += n;
    if (o.errorModel) AppendHalfWidths(csv, r, o);
    return csv;
}

// A caption as a column name: as the report shows it, without the blanks after it.
std::string Caption(int row) {
    std::string_view c = model::Row(row).caption;
    while (c.ends_with(' '))
        c.remove_suffix(1);
    return std::string(c);
}

constexpr OptionRule kOptions[] = {
    {.name = "--sex", .kind = OptionRule::Choice, .choices = "M|F"},
    {.name = "--header", .kind = OptionRule::Switch},
    {.name = "--uncertainty", .kind = OptionRule::Switch},
    {.name = "--error-model"},
    {.name = "--draws", .kind = OptionRule::Number, .min = 100, .max = 1000000},
    {.name = "--seed", .kind = OptionRule::Number, .min = 0, .max = INT_MAX},
    {.name = "--analysis"},
    {.name = "--norm-set"},
    {.name = "--data"},
};

constexpr std::string_view kStandardInput = "standard input";

// The options for each line, with the error model it points to; nothing, after saying
// why, when the model cannot be read (the exit status in `status`).
std::optional<AnalyseOptions> ReadOptions(const CommandLine& cl, uncertainty::ErrorModel& model,
                                          int& status) {
    AnalyseOptions o;
    o.male = cl.Text("--sex") == "M";
    if (cl.Has("--data") && !cl.Has("--analysis")) {
        status = UsageFault(kAnalyseRules, "--data: only with --analysis", std::cerr);
        return std::nullopt;
    }
    if (cl.Has("--uncertainty") && cl.Has("--analysis")) {
        status = UsageFault(kAnalyseRules, "--uncertainty: not with --analysis", std::cerr);
        return std::nullopt;
    }
    if (!cl.Has("--uncertainty")) {
        for (const char* name : {"--error-model", "--draws", "--seed"}) {
            if (cl.Has(name)) {
                status = UsageFault(kAnalyseRules, std::string(name) + ": only with --uncertainty",
                                    std::cerr);
                return std::nullopt;
            }
        }
        return o;
    }
    model = uncertainty::DefaultErrorModel();
    if (const GivenOption* file = cl.Find("--error-model")) {
        base::Result<uncertainty::ErrorModel> loaded = uncertainty::LoadErrorModel(file->text);
        if (!loaded) {
            std::cerr << "cephtool: cannot read " << file->text << ": " << loaded.why().detail
                      << "\n";
            status = 1;
            return std::nullopt;
        }
        model = *loaded;
    }
    o.errorModel = &model;
    o.draws = cl.Number("--draws", uncertainty::kDefaultDraws);
    if (cl.Has("--seed")) o.seed = static_cast<std::uint64_t>(cl.Number("--seed"));
    return o;
}

}  // namespace

std::string AnalyseRecordLine(std::string_view line, bool male) {
    return AnalyseRecordLine(line, AnalyseOptions{.male = male});
}

std::string AnalyseRecordLine(std::string_view line, const AnalyseOptions& options) {
    // Analysed whatever the line holds: a line that is no tracing gives what its fields give.
    return Csv(line, store::TracingOf(store::ParseRecordFields(line)), options);
}

std::string AnalyseHeader(const AnalyseOptions& options) {
    if (options.named) return "code" + NamedHeader(*options.named->analysis) + "\n";
    return AnalyseHeader(options.errorModel != nullptr);
}

std::string AnalyseHeader(bool uncertainty) {
    std::string header = "code", norms, widths;
    for (int row = 0; row < model::kRows; ++row) {
        AppendCsvField(header += ',', Caption(row));
        // The norms stand beside the A-Ar-Gn rows, one for each.
        if (model::Row(row).block == model::Block::Maxillomandibular)
            AppendCsvField(norms += ',', Caption(row) + " norm");
        AppendCsvField(widths += ',', "±" + Caption(row));
    }
    return header + norms + (uncertainty ? widths : std::string()) + "\n";
}

model::AnalysisTexts AnalyseTracing(const model::Tracing& r, bool male) {
    model::AnalysisTexts texts =
        model::ToTexts(model::ComputeValues(r.X, r.Y), model::NormGroup(male ? "M" : "", r.age));
    for (std::string& value : texts.values)
        value = model::ShownValue(value);
    return texts;
}

std::string NotATracingText(store::LineFault fault) {
    if (fault == store::LineFault::TooFar) {
        return "landmarks more than " +
               std::to_string(static_cast<int>(model::kMaxMillimetresFromS)) + " mm from S";
    }
    return "coordinates that are not finite numbers";
}

int ForEachTracing(store::RecordReader& reader, std::string_view name, std::ostream& err,
                   const TracingSink& tracing) {
    int skipped = 0;
    long number = 0;
    std::string_view line;
    while (reader.Next(line)) {
        ++number;
        if (reader.Overlong()) {
            err << name << ':' << number << ": longer than " << (store::kMaxRecordLine >> 20)
                << " MB, not a record line, skipped\n";
            ++skipped;
            continue;
        }
        if (line.find(',') == std::string::npos) {
            err << name << ':' << number << ": not a record line, skipped\n";
            ++skipped;
            continue;
        }
        const auto read = store::ReadTracingLine(line);
        if (!read) {
            err << name << ':' << number << ": " << NotATracingText(read.why()) << ", skipped\n";
            ++skipped;
            continue;
        }
        tracing(line, *read);
    }
    return skipped;
}

int AnalyseRecords(store::RecordReader& reader, std::string_view name, std::ostream& out,
                   std::ostream& err, const AnalyseOptions& options) {
    std::string buffer;
    const int skipped =
        ForEachTracing(reader, name, err, [&](std::string_view line, const model::Tracing& fields) {
            buffer += Csv(line, fields, options);
            buffer += '\n';
            if (buffer.size() > (1 << 16)) {
                out << buffer;
                buffer.clear();
            }
        });
    out << buffer;
    return skipped;
}

int AnalyseStream(std::istream& in, std::string_view name, std::ostream& out, std::ostream& err,
                  bool male) {
    // The same line ends as the program's own reading of record files.
    store::RecordReader reader(in);
    return AnalyseRecords(reader, name, out, err, AnalyseOptions{.male = male});
}

const CommandRules kAnalyseRules{
    .command = "analyse",
    .synopsis =
        "cephtool analyse [--sex M|F] [--header] [--uncertainty [--error-model FILE]\n"
        "                 [--draws N] [--seed N]] [FILE|-]...\n"
        "       cephtool analyse --analysis NAME [--norm-set SET] [--data DIR] [--sex M|F]\n"
        "                 [--header] [FILE|-]...\n",
    .details =
        "  one CSV line per record line of each FILE in turn (standard input for -\n"
        "  or no FILE): the code, the 37 measurements and the 7 norms of the age;\n"
        "  --header: a first line naming the columns\n"
        "  --uncertainty: then each measurement's 95 % half-width, from 2000 draws of\n"
        "  the landmark error model (the built-in one, or the table FILE), with the\n"
        "  number of draws that gave no value as \"(N undefined)\"\n"
        "  --analysis NAME: instead, each measurement of that analysis (cephtool analyses\n"
        "  lists them; --data adds the practice's own) with its norm for the line's age\n"
        "  and the sex given, and its flag: ↑ or ↓ beyond one SD, ↑↑ or ↓↓ beyond two\n",
    .options = kOptions,
    .maxOperands = SIZE_MAX,
};

int RunAnalyse(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    CommandLine cl;
    if (auto status = ReadCommandLine(kAnalyseRules, argc, argv, cl, std::cout, std::cerr))
        return *status;
    std::vector<std::string>& files = cl.operands;
    if (std::count(files.begin(), files.end(), "-") > 1)
        return UsageFault(kAnalyseRules, "- (standard input) named more than once", std::cerr);
    if (files.empty()) files.push_back("-");
    int status = 0;
    uncertainty::ErrorModel model;
    std::optional<AnalyseOptions> options = ReadOptions(cl, model, status);
    if (!options) return status;
    const std::optional<NamedChoice> named = ReadNamedChoice(kAnalyseRules, cl, status);
    if (status == 2) return status;
    options->named = named ? &*named : nullptr;
    if (cl.Has("--header")) std::cout << AnalyseHeader(*options);

    for (const std::string& file : files) {
        const bool standardInput = file == "-";
        base::SourceFile source;
        // Only regular files are opened: a folder, a device or a pipe named by mistake is
        // told at once and never waited on.
        if (std::error_code ec = standardInput ? std::error_code() : source.Open(file)) {
            std::cerr << "cephtool: cannot read " << file << ": " << ec.message() << "\n";
            status = 1;
            continue;
        }
        store::RecordReader reader =
            standardInput ? store::RecordReader(std::cin) : store::RecordReader(std::move(source));
        const std::string_view name = standardInput ? kStandardInput : std::string_view(file);
        if (AnalyseRecords(reader, name, std::cout, std::cerr, *options) != 0) status = 1;
        if (reader.Failed()) {
            std::cerr << "cephtool: cannot read " << name << ": " << reader.Error().message()
                      << "\n";
            status = 1;
        }
    }
    return FlushedStatus(status);
}

}  // namespace ceph::tools
