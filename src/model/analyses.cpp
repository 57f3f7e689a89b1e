// Computing the named analyses of a tracing, choosing each row's norm for the patient
// and flagging what lies outside it.

#include "model/analyses.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <iterator>
#include <numbers>
#include <utility>

#include "model/norms.h"
#include "model/numbers.h"

namespace ceph::model {

std::string_view ClassicAnalysesText();  // the built-in table, compiled in

namespace {

using enum MeasureKind;

// Angles of the classic kinds agree to the last digit with the program's own rows of the
// same name (SNA in Steiner is SNA of the report); where that formula has no value
// because the lines are parallel, the true angle (0 or 180) is given instead.
double AngleBetween(Points p, Landmark a, Landmark b, Landmark c, Landmark d) {
    const double legacy = LineAngle(p, b, a, d, c);
    if (IsDefined(legacy)) return legacy;
    const double ux = double(p.x(b)) - p.x(a), uy = double(p.y(b)) - p.y(a);
    const double wx = double(p.x(d)) - p.x(c), wy = double(p.y(d)) - p.y(c);
    if ((ux == 0 && uy == 0) || (wx == 0 && wy == 0)) return kNoValue;
    return std::abs(std::atan2(ux * wy - uy * wx, ux * wx + uy * wy)) * 180 / std::numbers::pi;
}

// Clockwise on the film (y down) from a->b to c->d, -180..180.
double TurnBetween(Points p, Landmark a, Landmark b, Landmark c, Landmark d) {
    const double ux = double(p.x(b)) - p.x(a), uy = double(p.y(b)) - p.y(a);
    const double wx = double(p.x(d)) - p.x(c), wy = double(p.y(d)) - p.y(c);
    if ((ux == 0 && uy == 0) || (wx == 0 && wy == 0)) return kNoValue;
    return std::atan2(ux * wy - uy * wx, ux * wx + uy * wy) * 180 / std::numbers::pi;
}

// Distance of q from the line a-b, positive on the side SideValue calls positive: in
// front of a line that runs downwards.
double SignedDistance(Points p, Landmark q, Landmark a, Landmark b) {
    const double dx = double(p.x(b)) - p.x(a), dy = double(p.y(b)) - p.y(a);
    const double length = std::hypot(dx, dy);
    if (length == 0) return kNoValue;
    return (dy * (double(p.x(q)) - p.x(a)) - dx * (double(p.y(q)) - p.y(a))) / length;
}

double AlongLine(Points p, Landmark a, Landmark b, Landmark c, Landmark d) {
    const double dx = double(p.x(d)) - p.x(c), dy = double(p.y(d)) - p.y(c);
    const double length = std::hypot(dx, dy);
    if (length == 0) return kNoValue;
    return ((double(p.x(b)) - p.x(a)) * dx + (double(p.y(b)) - p.y(a)) * dy) / length;
}

double Value(const ClassicMeasurement& m, Points p, const std::vector<double>& above,
             const RowValues& own) {
    const auto& l = m.landmarks;
    switch (m.kind) {
        case Angle:
            return AngleBetween(p, l[0], l[1], l[2], l[3]) + m.constant;
        case Vertex:
            return AngleBetween(p, l[1], l[0], l[1], l[2]) + m.constant;
        case Turn:
            return TurnBetween(p, l[0], l[1], l[2], l[3]) + m.constant;
        case Distance:
            return PointDistance(p, l[0], l[1]);
        case Signed:
            return SignedDistance(p, l[0], l[1], l[2]);
        case Projected:
            return AlongLine(p, l[0], l[1], l[2], l[3]);
        case Ratio: {
            const double whole = above[std::size_t(m.terms[1].measurement)];
            return whole == 0 ? kNoValue : 100 * above[std::size_t(m.terms[0].measurement)] / whole;
        }
        case Sum: {
            double sum = 0;
            for (const Term& t : m.terms)
                sum += t.measurement < 0 ? t.factor : t.factor * above[std::size_t(t.measurement)];
            return sum;
        }
        case Own: {
            const int row = RowIndex(m.key);
            return row < 0 ? kNoValue : own[std::size_t(row)];
        }
    }
    return kNoValue;
}

// The sex a norm is chosen by: 'M', 'F', or 0 when the text says neither.
char SexOf(std::string_view sex) {
    if (IsMale(sex)) return 'M';
    const std::string_view bare = TrimBlanks(sex);
    return !bare.empty() && (bare.front() == 'F' || bare.front() == 'f') ? 'F' : 0;
}

// The most specific norm that fits: one for the sex over one for both, then one with an
// age band over one without. The table refuses two of the same rank that both fit, so the
// order of its lines never decides.
const NormEntry* ChooseNorm(const ClassicMeasurement& m, std::string_view set, char sex,
                            std::optional<int> age) {
    const NormEntry* best = nullptr;
    int bestScore = -1;
    for (const NormEntry& n : m.norms) {
        if (n.set != set) continue;
        if (n.sex != 0 && n.sex != sex) continue;
        const bool banded = HasAgeBand(n);
        if (banded && (!age || *age < n.ageFrom || *age > n.ageTo)) continue;
        const int score = (n.sex != 0 ? 2 : 0) + (banded ? 1 : 0);
        if (score > bestScore) best = &n, bestScore = score;
    }
    return best;
}

// Where the program's own rows' norms come from, as the analysis window and the full
// report name it.
constexpr const char* kOwnNormSource = "本程式 A-Ar-Gn 常模（依性別與年齡組）";

// The age in whole years an age text starts with ("12Y 3M"); none without a number.
std::optional<int> AgeYears(std::string_view age) {
    const std::string_view bare = TrimBlanks(age);
    if (bare.empty() || bare.front() < '0' || bare.front() > '9') return std::nullopt;
    return static_cast<int>(std::floor(TextToNumber(bare)));
}

// A shown value in thousandths, exactly: comparing texts' digits, not binary fractions,
// keeps a value shown exactly one SD away from being flagged.
std::optional<long long> Thousandths(double value, int decimals) {
    if (!IsDefined(value) || !std::isfinite(value)) return std::nullopt;
    std::string text = FormatFixed(value, decimals);
    const std::size_t point = text.find('.');
    int shown = 0;
    if (point != std::string::npos) {
        shown = int(text.size() - point - 1);
        text.erase(point, 1);
    }
    long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || shown > 3) return std::nullopt;
    // No measurement comes near; the limit keeps the scaling, sums and differences exact.
    constexpr long long kMost = 1'000'000'000'000;
    for (int i = shown; i < 3; ++i) {
        if (n > kMost || n < -kMost) return std::nullopt;
        n *= 10;
    }
    if (n > kMost || n < -kMost) return std::nullopt;
    return n;
}

NamedAnalysis MakeStandard() {
    NamedAnalysis a;
    a.name = "標準分析";
    a.standard = true;
    a.normSets = {"原著"};
    const Analysis& rows = StandardAnalysis();
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        ClassicMeasurement m;
        m.name = rows.rows[i].key;
        m.kind = Own;
        m.key = rows.rows[i].key;
        m.unit = rows.rows[i].unit;
        m.decimals = rows.rows[i].decimals;
        a.rows.push_back(std::move(m));
    }
    return a;
}

std::vector<NamedAnalysis> MakeBuiltIn() {
    std::vector<NamedAnalysis> all{MakeStandard()};
    auto classic = ReadAnalysisTable(ClassicAnalysesText(), false);
    // The table is the program's own; the tests read it, so a fault never ships.
    assert(classic.ok());
    if (classic)
        for (NamedAnalysis& a : *classic)
            all.push_back(std::move(a));
    return all;
}

// One code point of UTF-8 text from `i` on, moving `i` past it; a byte that starts none
// is taken for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto c = static_cast<unsigned char>(text[i++]);
    const std::size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra > text.size()) return c;
    char32_t code = c & (0x3Fu >> extra);
    for (std::size_t k = 0; k < extra; ++k)
        code = code << 6 | (static_cast<unsigned char>(text[i++]) & 0x3Fu);
    return code;
}

// Blanks, punctuation and signs, which a typed name may leave out or write otherwise:
// Latin-1's, the general punctuation (dashes, quotes), the Chinese ones (、。「」),
// the full-width ones.
constexpr std::pair<char32_t, char32_t> kSigns[] = {
    {0x80, 0xBF},     {0xD7, 0xD7},     {0xF7, 0xF7},     {0x2000, 0x206F},
    {0x2E00, 0x2E7F}, {0x3000, 0x3004}, {0x3008, 0x3020}, {0x3030, 0x3030},
    {0xFE30, 0xFE6F}, {0xFEFF, 0xFEFF}, {0xFF00, 0xFF00}, {0xFF5F, 0xFF65},
};

// A name's letters and digits of any script, lower case, Latin-1's accented letters as
// their base letter and full-width ones as ASCII: what two names are compared by.
std::u32string Plain(std::string_view name) {
    // À..ÿ by their base letter, '*' where it has none (Æ, Þ, ß).
    constexpr std::string_view kLatin1 = "aaaaaa*ceeeeiiiidnooooo-ouuuuy**";
    std::u32string out;
    for (std::size_t i = 0; i < name.size();) {
        char32_t c = NextCodePoint(name, i);
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
        if (std::any_of(std::begin(kSigns), std::end(kSigns),
                        [c](const auto& r) { return c >= r.first && c <= r.second; }))
            continue;
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) out += c;
        } else if (c >= 0xC0 && c <= 0xFF) {
            const char base = c == 0xFF ? 'y' : kLatin1[(c - 0xC0) & 0x1F];
            out += base != '*' ? char32_t(base) : char32_t(c < 0xDF ? c + 0x20 : c);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

const std::vector<NamedAnalysis>& BuiltInAnalyses() {
    static const std::vector<NamedAnalysis> all = MakeBuiltIn();
    return all;
}

const NamedAnalysis* FindAnalysis(const std::vector<NamedAnalysis>& analyses,
                                  std::string_view name) {
    for (const NamedAnalysis& a : analyses)
        if (a.name == name) return &a;
    const std::u32string plain = Plain(name);
    if (plain.empty()) return nullptr;
    for (const NamedAnalysis& a : analyses)
        if (Plain(a.name) == plain || (a.standard && plain == U"standard")) return &a;
    return nullptr;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a == b) return true;
    const std::u32string plain = Plain(a);
    return !plain.empty() && plain == Plain(b);
}

std::vector<std::string> NormSetsNamed(const NamedAnalysis& analysis, std::string_view name) {
    const std::vector<std::string>& sets = analysis.normSets;
    if (std::find(sets.begin(), sets.end(), name) != sets.end()) return {std::string(name)};
    std::vector<std::string> named;
    for (const std::string& set : sets)
        if (SameName(set, name)) named.push_back(set);
    return named;
}

std::string NormSetOf(const NamedAnalysis& analysis, std::string_view name) {
    const std::vector<std::string> named = NormSetsNamed(analysis, name);
    if (named.size() == 1) return named.front();
    return analysis.normSets.empty() ? std::string() : analysis.normSets.front();
}

Flag FlagOf(double value, int decimals, double mean, double sd) {
    // A norm's own digits count as written (to the thousandth), like the value's shown ones.
    const auto v = Thousandths(value, decimals), m = Thousandths(mean, 3), s = Thousandths(sd, 3);
    if (!v || !m || !s || *s <= 0) return Flag::None;
    const long long off = *v - *m;
    if (off > 2 * *s) return Flag::VeryHigh;
    if (off < -2 * *s) return Flag::VeryLow;
    if (off > *s) return Flag::High;
    if (off < -*s) return Flag::Low;
    return Flag::None;
}

std::string_view FlagText(Flag flag) {
    switch (flag) {
        case Flag::High:
            return "↑";
        case Flag::Low:
            return "↓";
        case Flag::VeryHigh:
            return "↑↑";
        case Flag::VeryLow:
            return "↓↓";
        case Flag::None:
            break;
    }
    return "";
}

AnalysisResult Evaluate(const NamedAnalysis& analysis, PointTable X, PointTable Y,
                        const NormChoice& choice) {
    AnalysisResult result;
    DeriveOcclusalPoints(X, Y);
    const Points p{X, Y};
    RowValues own{};
    if (std::any_of(analysis.rows.begin(), analysis.rows.end(),
                    [](const ClassicMeasurement& m) { return m.kind == Own; }))
        own = ComputeValues(StandardAnalysis(), X, Y).rows;
    // A set this analysis does not have (chosen for another) gives way to its first.
    const auto& sets = analysis.normSets;
    const std::string set = NormSetOf(analysis, choice.set);
    const char sex = SexOf(choice.sex);
    const std::optional<int> age = AgeYears(choice.age);
    const int group = NormGroup(choice.sex, choice.age);
    std::vector<double> values;
    for (const ClassicMeasurement& m : analysis.rows) {
        ResultRow row;
        row.name = m.name;
        row.unit = m.unit;
        row.decimals = m.decimals;
        row.value = Value(m, p, values, own);
        values.push_back(row.value);
        // The program's own rows keep their norms by group in its own set; a practice's
        // set, or a practice's row that names no norm of its own, goes by the table.
        const bool ownSet = analysis.standard ? set == sets.front() : m.norms.empty();
        if (m.kind == Own && ownSet) {
            // By the row's own key: a practice may name the row as it likes.
            if (const auto norm = GroupNorm(m.key, group))
                row.norm = Norm{norm->mean, norm->sd, kOwnNormSource};
        } else if (const NormEntry* n = ChooseNorm(m, set, sex, age)) {
            row.norm = Norm{n->mean, n->sd, n->source};
        }
        if (row.norm) row.flag = FlagOf(row.value, row.decimals, row.norm->mean, row.norm->sd);
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::string ShownNumber(double value, int decimals) {
    return IsDefined(value) ? FormatFixed(value, decimals) : std::string();
}

std::string NameWithUnit(const std::string& name, Unit unit) {
    const std::string text(UnitText(unit));
    if (text.empty() || name.ends_with(" " + text)) return name;
    return name + " (" + text + ")";
}

std::string ShownNorm(const Norm& norm, int decimals) {
    return FormatFixed(norm.mean, decimals) + "±" + FormatFixed(norm.sd, decimals);
}

double ShownDifference(double a, double b, int decimals) {
    const auto ta = Thousandths(a, decimals), tb = Thousandths(b, decimals);
    if (!ta || !tb) return kNoValue;
    return double(*tb - *ta) / 1000;
}

}  // namespace ceph::model
