#include "learning/landmark_list.h"

#include <algorithm>
#include <cmath>

#include "model/numbers.h"

namespace ceph::learning {

namespace {

// The fields of one CSV record from `text` at `at` (quotes doubled inside quoted fields,
// which may hold commas and line ends); `at` moves past the record's line end, and
// `lines` counts the line ends passed.
std::vector<std::string> Record(std::string_view text, std::size_t& at, int& lines) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    while (at < text.size()) {
        const char c = text[at++];
        if (c == '\n') ++lines;
        if (quoted) {
            if (c != '"') {
                fields.back() += c;
            } else if (at < text.size() && text[at] == '"') {
                fields.back() += '"', ++at;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::optional<int> LandmarkNamed(std::string_view name) {
    for (const model::LandmarkInfo& info : model::Landmarks())
        if (name == info.abbreviation) return static_cast<int>(info.landmark);
    return std::nullopt;
}

// What each column holds: -1 the picture, 0 nothing known (ignored), else 2n for
// landmark n's x and 2n+1 for its y.
base::Result<std::vector<int>, std::string> Columns(const std::vector<std::string>& header) {
    std::vector<int> columns;
    bool picture = false;
    for (std::string name : header) {
        name = std::string(TrimBlanks(name));
        if (name.empty()) {  // a spreadsheet's trailing comma
            columns.push_back(0);
            continue;
        }
        if (name == "picture") {
            columns.push_back(-1), picture = true;
            continue;
        }
        const bool x = name.ends_with(" x"), y = name.ends_with(" y");
        const auto landmark =
            (x || y) ? LandmarkNamed(name.substr(0, name.size() - 2)) : std::optional<int>();
        if (!landmark) return base::Fail("第 1 行：欄位「" + name + "」不是描點的 x 或 y");
        const int column = 2 * *landmark + (y ? 1 : 0);
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            return base::Fail("第 1 行：欄位「" + name + "」出現兩次");
        columns.push_back(column);
    }
    if (!picture) return base::Fail(std::string("第 1 行：沒有 picture 欄位"));
    return columns;
}

}  // namespace

const std::array<model::Landmark, model::kLandmarkCount>& ListOrder() {
    using L = model::Landmark;
    static const std::array<L, model::kLandmarkCount> order{
        L::S,      L::N,      L::Or,     L::Po,         L::ANS,       L::PNS, L::A,
        L::B,      L::Pog,    L::Gn,     L::Me,         L::Go,        L::Ar,  L::U1Edge,
        L::U1Apex, L::L1Edge, L::L1Apex, L::UpperMolar, L::LowerMolar};
    return order;
}

base::Result<std::vector<ListedFilm>, std::string> ReadLandmarkList(std::string_view text) {
    std::size_t at = 0;
    if (text.starts_with("\xEF\xBB\xBF")) at = 3;  // a spreadsheet's byte order mark
    int lines = 0;
    const auto columns = Columns(Record(text, at, lines));
    if (!columns) return base::Fail(columns.why());
    std::vector<ListedFilm> films;
    while (at < text.size()) {
        const int line = lines + 1;
        const std::vector<std::string> fields = Record(text, at, lines);
        // A blank line, or one of commas alone as spreadsheets leave them.
        if (std::all_of(fields.begin(), fields.end(),
                        [](const std::string& f) { return TrimBlanks(f).empty(); }))
            continue;
        ListedFilm film;
        film.line = line;
        std::array<std::optional<double>, 2 * (model::kLandmarkCount + 1)> values;
        for (std::size_t i = 0; i < fields.size() && i < columns->size(); ++i) {
            const int column = (*columns)[i];
            const std::string_view field = TrimBlanks(fields[i]);
            if (column == -1) {
                film.picture = std::string(field);
                continue;
            }
            if (field.empty() || column == 0) continue;
            // A pixel of any film: a number, and not one beyond every film's size.
            float single = 0;
            if (!IsDecimalNumber(field) || !TextToSingle(field, single) ||
                !(std::abs(TextToNumber(field)) < 1e6))
                return base::Fail("第 " + std::to_string(line) + " 行：「" + std::string(field) +
                                  "」不是數字");
            values[static_cast<std::size_t>(column)] = TextToNumber(field);
        }
        if (film.picture.empty())
            return base::Fail("第 " + std::to_string(line) + " 行：沒有圖檔名稱");
        for (int n = 1; n <= model::kLandmarkCount; ++n) {
            const auto& x = values[static_cast<std::size_t>(2 * n)];
            const auto& y = values[static_cast<std::size_t>(2 * n + 1)];
            if (x.has_value() != y.has_value())
                return base::Fail("第 " + std::to_string(line) + " 行：" +
                                  model::Landmarks()[static_cast<std::size_t>(n - 1)].abbreviation +
                                  " 只有一個座標");
            if (x) film.marks[static_cast<std::size_t>(n)] = model::FilmPoint{*x, *y};
        }
        films.push_back(std::move(film));
    }
    return films;
}

std::string ListHeader() {
    std::string out = "picture";
    for (const model::Landmark l : ListOrder()) {
        const std::string name = model::Landmarks()[model::Slot(l) - 1].abbreviation;
        out += "," + name + " x," + name + " y";
    }
    return out + "\r\n";
}

std::string ListRow(std::string_view picture, const FilmMarks& marks) {
    std::string out;
    // Quoted as a spreadsheet quotes a field holding a comma, a quote or a line end.
    if (picture.find_first_of(",\"\r\n") == std::string_view::npos) {
        out = std::string(picture);
    } else {
        out = "\"";
        for (const char c : picture)
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += "\"";
    }
    for (const model::Landmark l : ListOrder()) {
        const auto& at = marks[model::Slot(l)];
        out += at ? "," + FormatFixed(at->x, 1) + "," + FormatFixed(at->y, 1) : std::string(",,");
    }
    return out + "\r\n";
}

}  // namespace ceph::learning
