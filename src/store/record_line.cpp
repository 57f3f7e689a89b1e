#include "store/record_line.h"

#include "model/numbers.h"
#include "store/record_file.h"

namespace ceph::store {

namespace {

// Text after the first comma; the whole text when there is none.
std::string_view AfterComma(std::string_view s) {
    std::size_t c = s.find(',');
    return c == std::string_view::npos ? s : s.substr(c + 1);
}

}  // namespace

bool ReadNumberField(std::string_view field, float& value) {
    value = 0;
    return IsDecimalNumber(field) && TextToSingle(TrimBlanks(field), value);
}

RecordFields ParseRecordFields(std::string_view line) {
    RecordFields r;
    std::string_view rest = AfterComma(line);
    std::string_view field;
    bool numbers = true;
    for (int i = 1; i <= 19; ++i) {
        for (float* target : {&r.x[i], &r.y[i]}) {
            std::size_t c = rest.find(',');
            if (c != std::string_view::npos) field = rest.substr(0, c);
            rest = AfterComma(rest);
            if (!ReadNumberField(field, *target)) numbers = false;
        }
    }
    // Only the x of S is tested: lines written by this program have S at the origin.
    if (r.x[16] != 0) model::MoveSToOrigin(r.x, r.y);
    if (!numbers)
        r.fault = LineFault::NotANumber;
    else if (!model::WithinReachOfS(r.x, r.y))
        r.fault = LineFault::TooFar;
    rest = AfterComma(rest);
    r.age = std::string(rest.substr(0, rest.find(',')));
    rest = r.age.size() + 1 <= rest.size() ? rest.substr(r.age.size() + 1) : std::string_view();
    r.figure = ReadFigureFields(rest);
    return r;
}

model::Tracing TracingOf(const RecordFields& fields) {
    model::Tracing t;
    for (std::size_t i = 1; i <= model::kLandmarkCount; ++i)
        t.X[i] = fields.x[i], t.Y[i] = fields.y[i];
    t.age = fields.age;
    t.figure = fields.figure;
    return t;
}

base::Result<model::Tracing, LineFault> ReadTracingLine(std::string_view line) {
    const RecordFields fields = ParseRecordFields(line);
    if (!fields.IsTracing()) return base::Fail(fields.fault);
    return TracingOf(fields);
}

std::optional<model::FigureAlignment> ReadFigureFields(std::string_view rest) {
    if (rest.empty()) return std::nullopt;
    model::FigureAlignment figure;
    // A field missing before the top offset keeps its default, as the boxes have always
    // read such a line.
    std::size_t c = rest.find(',');
    if (c == std::string_view::npos) {
        figure.fields = 1;
        figure.top = model::TypedNumber(std::string(rest));
        return figure;
    }
    figure.scale = model::TypedNumber(std::string(rest.substr(0, c)));
    rest.remove_prefix(c + 1);
    c = rest.find(',');
    if (c == std::string_view::npos) {
        figure.fields = 2;
        figure.top = model::TypedNumber(std::string(rest));
        return figure;
    }
    figure.left = model::TypedNumber(std::string(rest.substr(0, c)));
    figure.top = model::TypedNumber(std::string(rest.substr(c + 1)));
    return figure;
}

std::string FigureFieldsText(const model::FigureAlignment& figure) {
    if (figure.fields == 1) return figure.top.text;
    if (figure.fields == 2) return figure.scale.text + "," + figure.top.text;
    return figure.scale.text + "," + figure.left.text + "," + figure.top.text;
}

base::Result<std::optional<std::string>, TracingProblem> PatientLine(const std::string& dataDir,
                                                                     std::string_view code,
                                                                     int index) {
    const std::string path = RecordFilePath(dataDir, index + 1);
    base::Result<RecordReader> file = OpenRecordFile(path);
    if (!file) return base::Fail(TracingProblem{path, file.why().error});
    std::string_view line;
    while (file->Next(line))
        if (LineBelongsTo(line, code)) return std::optional<std::string>(line);
    // A file that stops reading part way may hold the line after the failure.
    if (file->Failed()) return base::Fail(TracingProblem{path, file->Error()});
    return std::optional<std::string>();
}

namespace {

std::string ProblemText(const TracingProblem& problem, int index) {
    if (problem.error) return CannotReadText(problem.path, problem.error);
    if (problem.fault == LineFault::TooFar) {
        return "第 " + std::to_string(index + 1) + " 張描圖（" + problem.path +
               "）有標記點離 S 超過 " +
               std::to_string(static_cast<int>(model::kMaxMillimetresFromS)) +
               " mm，不是有效的描圖，無法顯示。";
    }
    return "第 " + std::to_string(index + 1) + " 張描圖（" + problem.path +
           "）的座標不是有效的數字，無法顯示。";
}

}  // namespace

TracingLookup FindTracing(const std::string& dataDir, std::string_view code, int index) {
    const auto told = [index](TracingProblem problem) {
        problem.message = ProblemText(problem, index);
        return base::Fail(std::move(problem));
    };
    const auto line = PatientLine(dataDir, code, index);
    if (!line) return told(line.why());
    if (!*line) return std::optional<FoundTracing>();
    const RecordFields fields = ParseRecordFields(**line);
    if (!fields.IsTracing())
        return told(TracingProblem{RecordFilePath(dataDir, index + 1), {}, fields.fault});
    return std::optional<FoundTracing>(FoundTracing{TracingOf(fields), std::move(**line)});
}

std::string FormatRecordLine(std::string_view code, const PointRow& x, const PointRow& y,
                             std::string_view age) {
    std::string line(code);
    line += ',';
    for (int i = 1; i <= 19; ++i) {
        line += Format1(x[i]);
        line += ',';
        line += Format1(y[i]);
        line += ',';
    }
    line += "0,";
    line += age;
    return line;
}

std::string FormatRecordLine(std::string_view code, const model::Tracing& tracing) {
    std::string line = FormatRecordLine(code, tracing.X, tracing.Y, tracing.age);
    if (tracing.figure) (line += ',') += FigureFieldsText(*tracing.figure);
    return line;
}

std::string WithFigureFields(std::string_view line, const model::FigureAlignment& figure) {
    // Keep everything up to and including the 41st comma (the one after the age text);
    // a line without one is kept whole and gets its comma.
    std::size_t keep = line.size();
    std::size_t from = 0;
    for (int commas = 1; commas <= 41; ++commas) {
        const std::size_t at = line.find(',', from);
        if (at == std::string_view::npos) {
            keep = line.size();
            break;
        }
        keep = at + 1;
        from = at + 1;
    }
    std::string out(TrimBlanks(line.substr(0, keep)));
    if (out.empty() || out.back() != ',') out += ',';
    out += FigureFieldsText(figure);
    return out;
}

}  // namespace ceph::store
