#include "tools/export_command.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <unordered_map>

#include "base/filesys.h"
#include "base/result.h"
#include "base/safe_file.h"
#include "base/text_codec.h"
#include "model/measurement.h"
#include "model/numbers.h"
#include "store/handoff.h"
#include "store/record_file.h"
#include "store/record_line.h"
#include "tools/analyse.h"
#include "tools/named_analysis.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--sex", .kind = OptionRule::Choice, .choices = "M|F"},
    {.name = "--handoff-dir"},
    {.name = "--out"},
    {.name = "--analysis"},
    {.name = "--norm-set"},
};

// A caption as a column name: "Ar-Gn: " is "Ar-Gn".
std::string_view Bare(std::string_view caption) {
    while (!caption.empty() && (caption.back() == ':' || caption.back() == ' '))
        caption.remove_suffix(1);
    return caption;
}

std::string HeaderRow(const std::optional<NamedChoice>& named) {
    if (named) return "code,tracing,age" + NamedHeader(*named->analysis) + "\r\n";
    std::string row = "code,tracing,age";
    std::string norms;
    for (int i = 0; i < model::kRows; ++i) {
        const model::Measurement& spec = model::Row(i);
        std::string name(Bare(spec.caption));
        if (spec.unit != model::Unit::None)
            name += " (" + std::string(model::UnitText(spec.unit)) + ")";
        AppendCsvField(row += ',', name);
        // The norms stand beside the A-Ar-Gn rows, one for each.
        if (spec.block == model::Block::Maxillomandibular)
            AppendCsvField(norms += ',', std::string(Bare(spec.caption)) + " norm");
    }
    return row + norms + ",scale,left,top\r\n";
}

// Where the output goes: the atomic writer for --out, else standard output. Rows are
// gathered into large blocks before either sees them.
class Sink {
  public:
    explicit Sink(const std::string& path) : path_(path) {
        if (!path.empty()) file_.emplace(path);
    }
    std::string& Buffer() { return buffer_; }
    void Drain(std::size_t above = 1 << 16) {
        if (buffer_.size() <= above) return;
        if (file_)
            file_->Write(buffer_);
        else
            std::cout.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    // Done, or why the output could not be written: the system's reason for the file,
    // words for standard output.
    base::Result<void> Finish() {
        Drain(0);
        if (file_) {
            if (!file_->Commit()) return base::Fail(path_, file_->Error());
        } else if (!std::cout.flush()) {
            return base::Fail({}, {}, "standard output failed");
        }
        return {};
    }

  private:
    std::string path_;
    std::optional<base::AtomicFile> file_;
    std::string buffer_;
};

// The norms' sex for each patient: the fourth line of the patient's hand-off
// "DIR/CODE.tmp" when there is one, else the sex given for all. Each hand-off is read
// once however many tracings the patient has.
class SexBook {
  public:
    SexBook(std::string dir, bool fallback) : dir_(std::move(dir)), fallback_(fallback) {}

    bool Male(std::string_view code, int& status) {
        if (dir_.empty()) return fallback_;
        auto [it, fresh] = known_.try_emplace(std::string(code), fallback_);
        if (fresh) it->second = Read(it->first, status);
        return it->second;
    }

  private:
    bool Read(const std::string& code, int& status) const {
        // The code is only ever one name in the folder: one that would lead elsewhere
        // cannot name a hand-off there.
        if (code.empty() || code.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
            return fallback_;
        const std::string path = base::WithTrailingSeparator(dir_) + code + ".tmp";
        const auto lines = store::ReadHandoff(path);
        if (lines) return lines->size() >= 4 && model::IsMale((*lines)[3]);
        const std::error_code why = lines.why().error;
        if (why != std::errc::no_such_file_or_directory && why != std::errc::filename_too_long) {
            std::cerr << "cephtool: cannot read the hand-off file " << path << ": " << why.message()
                      << "\n";
            status = 1;
        }
        return fallback_;
    }

    std::string dir_;
    bool fallback_;
    std::unordered_map<std::string, bool> known_;
};

void AppendRow(std::string& out, std::string_view code, int tracing, const model::Tracing& fields,
               bool male, const std::optional<NamedChoice>& named) {
    AppendCsvField(out, code);
    out += ',';
    out += static_cast<char>('0' + tracing);
    AppendCsvField(out += ',', fields.age);
    if (named) {
        (out += NamedFields(*named, fields, male)) += "\r\n";
        return;
    }
    const model::AnalysisTexts texts = AnalyseTracing(fields, male);
    for (const std::string& v : texts.values)
        AppendCsvField(out += ',', v);
    for (const char* n : texts.norms)
        AppendCsvField(out += ',', n);
    // A line stored before the figure was aligned has no figure fields.
    if (!fields.figure) {
        out += ",,,\r\n";
        return;
    }
    const model::FigureAlignment shown = model::ShownAlignment(fields.figure);
    for (const model::TypedNumber* box : {&shown.scale, &shown.left, &shown.top})
        AppendCsvField(out += ',', box->text);
    out += "\r\n";
}

// Whether `dir` can be read as a folder, or the system's reason why not.
base::Result<void> CheckFolder(const std::string& dir) {
    std::error_code ec;
    const auto status = std::filesystem::status(base::ToPath(dir), ec);
    if (ec) return base::Fail(dir, ec);
    if (!std::filesystem::is_directory(status))
        return base::Fail(dir, std::make_error_code(std::errc::not_a_directory));
    return {};
}

bool LooksLikeFormula(std::string_view field) {
    if (field.empty() || std::string_view("=+-@\t\r").find(field[0]) == std::string_view::npos)
        return false;
    // A signed number is a number to the spreadsheet too, and stays one.
    return !((field[0] == '+' || field[0] == '-') && IsDecimalNumber(field));
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
    if (!base::IsValidUtf8(field)) {
        AppendCsvField(out, base::Big5ToUtf8(field));
        return;
    }
    // A quote in front makes the spreadsheet show the text instead of running it.
    const bool formula = LooksLikeFormula(field);
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        if (formula) out += '\'';
        out += field;
        return;
    }
    out += '"';
    if (formula) out += '\'';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

const CommandRules kExportRules{
    .command = "export",
    .synopsis =
        "cephtool export --data DIR [--sex M|F] [--handoff-dir DIR] [--out FILE.csv]\n"
        "                [--analysis NAME [--norm-set SET]]\n",
    .details =
        "  every tracing stored in ceph-1 ... ceph-9 of the data folder as one CSV table:\n"
        "  code, tracing, age, the 37 measurements, the 7 norms, the figure fields;\n"
        "  the norms' sex is that of the patient's hand-off CODE.tmp in the hand-off\n"
        "  folder, else --sex (female norms when not given);\n"
        "  --analysis NAME: that analysis's measurements in place of the 37 and their\n"
        "  norms, each with its norm and its flag (the practice's own analyses too)\n",
    .options = kOptions,
};

int RunExport(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    CommandLine cl;
    if (auto status = ReadCommandLine(kExportRules, argc, argv, cl, std::cout, std::cerr))
        return *status;
    const std::string out = cl.Text("--out"), data = cl.Text("--data");
    const std::string handoffs = cl.Text("--handoff-dir");
    if (cl.Find("--out") && !EndsWithNoCase(out, ".csv"))
        return UsageFault(kExportRules, "--out " + out + ": not a .csv file", std::cerr);
    for (const auto& [what, dir] : {std::pair{"data", data}, std::pair{"hand-off", handoffs}}) {
        if (dir.empty()) continue;
        if (const base::Result<void> folder = CheckFolder(dir); !folder) {
            std::cerr << "cephtool: cannot read the " << what << " folder " << dir << ": "
                      << folder.why().error.message() << "\n";
            return 1;
        }
    }

    int status = 0;
    const std::optional<NamedChoice> named = ReadNamedChoice(kExportRules, cl, status);
    if (status == 2) return status;
    Sink sink(out);
    sink.Buffer() = HeaderRow(named);
    SexBook sexes(handoffs, cl.Text("--sex") == "M");
    const std::string dataDir = base::WithTrailingSeparator(data);
    for (int n = 1; n <= 9; ++n) {
        const std::string path = store::RecordFilePath(dataDir, n);
        base::SourceFile source;
        // Only read: a tracing number nobody has used yet has no file.
        if (std::error_code ec = source.Open(path)) {
            if (ec == std::errc::no_such_file_or_directory) continue;
            std::cerr << "cephtool: cannot read " << path << ": " << ec.message() << "\n";
            status = 1;
            continue;
        }
        store::RecordReader reader(std::move(source));
        const int skipped = ForEachTracing(
            reader, path, std::cerr, [&](std::string_view line, const model::Tracing& fields) {
                const std::string_view code = store::FirstField(line);
                AppendRow(sink.Buffer(), code, n, fields, sexes.Male(code, status), named);
                sink.Drain();
            });
        if (skipped != 0) status = 1;
        if (reader.Failed()) {
            std::cerr << "cephtool: cannot read " << path << ": " << reader.Error().message()
                      << "\n";
            status = 1;
        }
    }
    if (const base::Result<void> written = sink.Finish(); !written) {
        const base::Problem& why = written.why();
        std::cerr << "cephtool: cannot write " << (out.empty() ? "the output" : out) << ": "
                  << (why.error ? why.error.message() : why.detail) << "\n";
        return 1;
    }
    return status;
}

}  // namespace ceph::tools
