// Reading an analysis table: the built-in classic analyses and a practice's own share
// this one reader, so a practice's file is held to exactly the rules the program's own
// table keeps. Every fault names its line and says what is wrong in words a practice's
// staff can act on.

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "model/analyses.h"
#include "model/numbers.h"
#include "model/table_fields.h"

namespace ceph::model {

namespace {

using namespace table;
using Fault = base::Failure<TableFault>;

constexpr int kColumns = 12;
// A practice's analysis is read by people; a table beyond these is a mistake.
constexpr std::size_t kMaxRowsPerAnalysis = 200;
constexpr std::size_t kMaxAnalyses = 100;
// Norms by sex and age band in a few sets are some dozens; each new one is checked
// against those before it, so without a limit a large file takes minutes to read.
constexpr std::size_t kMaxNormsPerMeasurement = 200;
constexpr std::size_t kMaxNormSets = 50;

// The parts of a text between separators, each without the blanks around it unless
// `keep` (lines: their tabs are the columns).
std::vector<std::string_view> Split(std::string_view text, char separator, bool keep = false) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        const std::string_view part = text.substr(start, end - start);
        parts.push_back(keep ? part : TrimBlanks(part));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string LandmarkNamesText() {
    std::string names;
    for (const LandmarkInfo& info : Landmarks())
        names += std::string(info.abbreviation) + ", ";
    return names + "Molar Point, Incisor Point";
}

std::optional<Landmark> LandmarkByName(std::string_view name) {
    const std::string folded = Folded(name);
    for (const LandmarkInfo& info : Landmarks())
        if (Folded(info.abbreviation) == folded) return info.landmark;
    if (folded == "molarpoint") return Landmark::MolarPoint;
    if (folded == "incisorpoint") return Landmark::IncisorPoint;
    return std::nullopt;
}

struct KindInfo {
    const char* word;
    MeasureKind kind;
    int landmarks;  // how many landmarks; 0 for measurements or numbers
    bool takesConstant;
};
constexpr KindInfo kKinds[] = {
    {"angle", MeasureKind::Angle, 4, true},    {"vertex", MeasureKind::Vertex, 3, true},
    {"turn", MeasureKind::Turn, 4, true},      {"distance", MeasureKind::Distance, 2, false},
    {"signed", MeasureKind::Signed, 3, false}, {"projected", MeasureKind::Projected, 4, false},
    {"ratio", MeasureKind::Ratio, 0, false},   {"sum", MeasureKind::Sum, 0, false},
    {"standard", MeasureKind::Own, 0, false},
};

const KindInfo* KindByWord(std::string_view word) {
    const std::string folded = Folded(word);
    for (const KindInfo& k : kKinds)
        if (folded == k.word) return &k;
    return nullptr;
}

std::optional<Unit> UnitByText(std::string_view text) {
    if (text == "°" || Folded(text) == "deg") return Unit::Degree;
    if (Folded(text) == "mm") return Unit::Millimetre;
    if (text == "%") return Unit::Percent;
    if (text.empty()) return Unit::None;
    return std::nullopt;
}

// One line of the table, its columns named.
struct Line {
    int number;
    std::string_view analysis, measurement, kind, landmarks, unit, decimals, set, sex, age, mean,
        sd, source;
};

class TableReader {
  public:
    TableReader(bool practice, const std::vector<NamedAnalysis>& extendable)
        : practice_(practice), extendable_(extendable) {}

    base::Result<void, TableFault> Read(const Line& line);
    std::vector<NamedAnalysis> Take() { return std::move(analyses_); }

  private:
    base::Result<void, TableFault> Define(const Line& line, NamedAnalysis& analysis,
                                          ClassicMeasurement& m);
    base::Result<void, TableFault> ReadArguments(const Line& line, const KindInfo& kind,
                                                 const NamedAnalysis& analysis,
                                                 ClassicMeasurement& m);
    base::Result<void, TableFault> AddNorm(const Line& line, NamedAnalysis& analysis,
                                           ClassicMeasurement& m);
    base::Result<NamedAnalysis*, TableFault> AnalysisOf(const Line& line);
    base::Result<void, TableFault> Extend(const Line& line, NamedAnalysis& analysis);

    bool practice_;
    const std::vector<NamedAnalysis>& extendable_;
    std::vector<NamedAnalysis> analyses_;
    // How many norm sets each extended analysis had of its own: those stay as they are.
    std::map<std::string, std::size_t> ownSets_;
};

Fault At(const Line& line, std::string reason) {
    return Fault{TableFault{line.number, std::move(reason)}};
}

// The analysis a line adds to: the one already read by that name, the built-in one it
// names (by the rule of FindAnalysis, as the command line does), or a new one. A new
// name that is another's written otherwise is refused: the command line and the window
// would take whichever comes first.
base::Result<NamedAnalysis*, TableFault> TableReader::AnalysisOf(const Line& line) {
    const std::string name(line.analysis);
    const NamedAnalysis* extended = FindAnalysis(extendable_, name);
    for (NamedAnalysis& a : analyses_)
        if (a.name == name || (extended && a.name == extended->name)) return &a;
    if (analyses_.size() >= kMaxAnalyses)
        return At(line, "分析超過 " + std::to_string(kMaxAnalyses) + " 個");
    if (extended) {
        ownSets_[extended->name] = extended->normSets.size();
        return &analyses_.emplace_back(*extended);
    }
    for (const NamedAnalysis& a : analyses_)
        if (SameName(a.name, name))
            return At(line, "分析「" + name + "」與" + LineText(a.line) + "的「" + a.name +
                                "」只差大小寫、重音、空白或標點，會被當成同一個名稱；"
                                "請寫成一樣或另取名稱");
    NamedAnalysis& a = analyses_.emplace_back();
    a.name = name;
    a.practice = practice_;
    a.line = line.number;
    return &a;
}

base::Result<void, TableFault> TableReader::Read(const Line& line) {
    if (line.analysis.empty()) return At(line, "缺分析名稱（第 1 欄）");
    if (line.measurement.empty()) return At(line, "缺量測名稱（第 2 欄）");
    auto named = AnalysisOf(line);
    if (!named) return Fault{named.why()};
    NamedAnalysis& analysis = **named;
    if (Folded(line.kind) == "note") {
        analysis.notes.emplace_back(line.measurement);
        return {};
    }
    if (ownSets_.count(analysis.name)) return Extend(line, analysis);
    auto same =
        std::find_if(analysis.rows.begin(), analysis.rows.end(),
                     [&](const ClassicMeasurement& m) { return m.name == line.measurement; });
    if (same == analysis.rows.end()) {
        if (analysis.rows.size() >= kMaxRowsPerAnalysis)
            return At(line, "分析「" + analysis.name + "」超過 " +
                                std::to_string(kMaxRowsPerAnalysis) + " 項量測");
        ClassicMeasurement m;
        m.name = std::string(line.measurement);
        m.line = line.number;
        if (auto defined = Define(line, analysis, m); !defined) return defined;
        analysis.rows.push_back(std::move(m));
        same = analysis.rows.end() - 1;
    } else if (!line.kind.empty() || !line.landmarks.empty() || !line.unit.empty() ||
               !line.decimals.empty()) {
        // Naming the measurement again only adds a norm; a second definition that differs
        // would leave the reader guessing which one the values come from.
        ClassicMeasurement again;
        again.name = same->name;
        if (auto defined = Define(line, analysis, again); !defined) return defined;
        if (again.kind != same->kind || again.landmarks != same->landmarks ||
            again.unit != same->unit || again.decimals != same->decimals ||
            again.constant != same->constant || again.key != same->key ||
            !std::equal(again.terms.begin(), again.terms.end(), same->terms.begin(),
                        same->terms.end(), [](const Term& a, const Term& b) {
                            return a.measurement == b.measurement && a.factor == b.factor;
                        }))
            return At(line,
                      "「" + same->name + "」與第 " + std::to_string(same->line) + " 行的定義不同");
    }
    return AddNorm(line, analysis, *same);
}

// A practice adds its own norms (its population's, its own charts') to an analysis the
// program has; the measurements and the program's own norm sets stay as they are, so a
// printed "Steiner" value always means the same measurement.
base::Result<void, TableFault> TableReader::Extend(const Line& line, NamedAnalysis& analysis) {
    const auto m =
        std::find_if(analysis.rows.begin(), analysis.rows.end(),
                     [&](const ClassicMeasurement& r) { return r.name == line.measurement; });
    if (m == analysis.rows.end())
        return At(line, "「" + std::string(line.measurement) + "」不是「" + analysis.name +
                            "」的量測（內建的分析只能加常模）");
    if (!line.kind.empty() || !line.landmarks.empty() || !line.unit.empty() ||
        !line.decimals.empty())
        return At(line, "內建分析「" + analysis.name + "」的量測不能重新定義，只能加常模");
    const std::size_t own = ownSets_[analysis.name];
    const std::string set = line.set.empty() ? std::string("常模") : std::string(line.set);
    for (std::size_t i = 0; i < own; ++i) {
        const std::string& builtIn = analysis.normSets[i];
        if (builtIn == set) return At(line, "常模組「" + set + "」是程式內建的，請用另一個名稱");
        if (SameName(builtIn, set))
            return At(line, "常模組「" + set + "」與程式內建的「" + builtIn +
                                "」只差大小寫、重音、空白或標點，請用另一個名稱");
    }
    if (line.mean.empty() && line.sd.empty()) return At(line, "常模缺平均值與標準差");
    return AddNorm(line, analysis, *m);
}

base::Result<void, TableFault> TableReader::Define(const Line& line, NamedAnalysis& analysis,
                                                   ClassicMeasurement& m) {
    const KindInfo* kind = KindByWord(line.kind);
    if (!kind)
        return At(line, "不認得的種類「" + std::string(line.kind) +
                            "」（可用：angle, vertex, turn, distance, signed, projected, "
                            "ratio, sum, standard, note）");
    m.kind = kind->kind;
    const auto unit = UnitByText(line.unit);
    if (!unit) return At(line, "不認得的單位「" + std::string(line.unit) + "」（可用：°, mm, %）");
    m.unit = *unit;
    if (!line.decimals.empty()) {
        const auto decimals = WholeNumber(line.decimals);
        if (!decimals || *decimals < 0 || *decimals > 3)
            return At(line, "小數位數須為 0 到 3：「" + std::string(line.decimals) + "」");
        m.decimals = *decimals;
    }
    return ReadArguments(line, *kind, analysis, m);
}

base::Result<void, TableFault> TableReader::ReadArguments(const Line& line, const KindInfo& kind,
                                                          const NamedAnalysis& analysis,
                                                          ClassicMeasurement& m) {
    std::vector<std::string_view> items = Split(line.landmarks, ',');
    if (items.size() == 1 && items[0].empty()) items.clear();
    if (kind.kind == MeasureKind::Own) {
        // Read by its number once, here: from then on the row is known by its key.
        const auto row = items.size() == 1 ? WholeNumber(items[0]) : std::nullopt;
        if (!row || *row < 0 || *row >= kRows)
            return At(line, "standard 須給 0 到 " + std::to_string(kRows - 1) + " 的列號");
        m.key = Row(*row).key;
        return {};
    }
    if (kind.landmarks > 0) {
        if (kind.takesConstant && items.size() == std::size_t(kind.landmarks) + 1) {
            const auto k = Number(items.back());
            if (!k)
                return At(line, "最後一項須為加上的度數：「" + std::string(items.back()) + "」");
            m.constant = *k;
            items.pop_back();
        }
        if (items.size() != std::size_t(kind.landmarks))
            return At(line, std::string(kind.word) + " 須給 " + std::to_string(kind.landmarks) +
                                " 個描點，這裡有 " + std::to_string(items.size()) + " 個");
        for (std::string_view name : items) {
            const auto landmark = LandmarkByName(name);
            if (!landmark)
                return At(line, "「" + std::string(name) + "」不是本程式描的點（可用：" +
                                    LandmarkNamesText() + "）");
            m.landmarks.push_back(*landmark);
        }
        return {};
    }
    // Ratio and sum: earlier measurements of the same analysis, and numbers in a sum.
    for (std::string_view item : items) {
        if (const auto number = Number(item); number && kind.kind == MeasureKind::Sum) {
            m.terms.push_back(Term{-1, *number});
            continue;
        }
        double factor = 1;
        std::string_view name = item;
        if (!name.empty() && (name.front() == '-' || name.front() == '+') &&
            kind.kind == MeasureKind::Sum) {
            factor = name.front() == '-' ? -1 : 1;
            name = TrimBlanks(name.substr(1));
        }
        const auto found =
            std::find_if(analysis.rows.begin(), analysis.rows.end(),
                         [&](const ClassicMeasurement& r) { return r.name == name; });
        if (found == analysis.rows.end())
            return At(line, "「" + std::string(name) + "」不是此分析前面的量測");
        m.terms.push_back(Term{int(found - analysis.rows.begin()), factor});
    }
    if (kind.kind == MeasureKind::Ratio && m.terms.size() != 2)
        return At(line, "ratio 須給兩個量測");
    if (kind.kind == MeasureKind::Sum && m.terms.empty()) return At(line, "sum 須給量測或數");
    return {};
}

// Where the table first names a norm set of the analysis.
int FirstLineOf(const NamedAnalysis& analysis, const std::string& set) {
    int first = 0;
    for (const ClassicMeasurement& m : analysis.rows)
        for (const NormEntry& n : m.norms)
            if (n.set == set && n.line > 0 && (first == 0 || n.line < first)) first = n.line;
    return first;
}

base::Result<void, TableFault> TableReader::AddNorm(const Line& line, NamedAnalysis& analysis,
                                                    ClassicMeasurement& m) {
    if (line.mean.empty() && line.sd.empty()) {
        if (!line.set.empty() || !line.sex.empty() || !line.age.empty())
            return At(line, "常模缺平均值與標準差");
        return {};
    }
    auto read =
        ReadNorm({line.number, line.set, line.sex, line.age, line.mean, line.sd, line.source});
    if (!read) return At(line, read.why());
    NormEntry& norm = *read;
    if (m.norms.size() >= kMaxNormsPerMeasurement)
        return At(line, "「" + m.name + "」的常模超過 " + std::to_string(kMaxNormsPerMeasurement) +
                            " 組");
    const bool newSet = std::find(analysis.normSets.begin(), analysis.normSets.end(), norm.set) ==
                        analysis.normSets.end();
    if (newSet && analysis.normSets.size() >= kMaxNormSets)
        return At(line, "分析「" + analysis.name + "」的常模組超過 " +
                            std::to_string(kMaxNormSets) + " 個");
    if (newSet)
        for (const std::string& set : analysis.normSets)
            if (SameName(set, norm.set))
                return At(line, "常模組「" + norm.set + "」與" +
                                    LineText(FirstLineOf(analysis, set)) + "的「" + set +
                                    "」只差大小寫、重音、空白或標點，會被當成同一個名稱；"
                                    "請寫成一樣或另取名稱");
    for (const NormEntry& other : m.norms)
        if (const auto clash = Clash(m.name, norm, other)) return At(line, *clash);
    if (newSet) analysis.normSets.push_back(norm.set);
    m.norms.push_back(std::move(norm));
    return {};
}

}  // namespace

base::Result<std::vector<NamedAnalysis>, TableFault> ReadAnalysisTable(
    std::string_view text, bool practice, const std::vector<NamedAnalysis>& extendable) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    TableReader reader(practice, extendable);
    int number = 0;
    for (std::string_view raw : Split(text, '\n', true)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (TrimBlanks(raw).empty() || TrimBlanks(raw).front() == '#') continue;
        std::vector<std::string_view> c = Split(raw, '\t');
        if (c.size() > std::size_t(kColumns))
            return Fault{
                TableFault{number, "欄數超過 " + std::to_string(kColumns) + " 欄（以 Tab 分隔）"}};
        c.resize(kColumns);
        const Line line{number, c[0], c[1], c[2], c[3],  c[4], c[5],
                        c[6],   c[7], c[8], c[9], c[10], c[11]};
        if (auto read = reader.Read(line); !read) return Fault{read.why()};
    }
    return reader.Take();
}

}  // namespace ceph::model
