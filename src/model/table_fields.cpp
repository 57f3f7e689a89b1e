// The fields of an analysis table's lines: what a practice writes in them and the norms
// they give.

#include "model/table_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "model/numbers.h"

namespace ceph::model::table {

namespace {

std::string SexText(char sex) {
    return sex == 'M' ? "男性" : sex == 'F' ? "女性" : "不分性別";
}

// Whole years, both ends included: "9-11 歲", "18 歲以上", "8 歲以下".
std::string BandText(int from, int to) {
    if (from == std::numeric_limits<int>::min()) return std::to_string(to) + " 歲以下";
    if (to == std::numeric_limits<int>::max()) return std::to_string(from) + " 歲以上";
    if (from == to) return std::to_string(from) + " 歲";
    return std::to_string(from) + "-" + std::to_string(to) + " 歲";
}

}  // namespace

std::string Folded(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != ' ' && c != '\t') out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return out;
}

std::optional<double> Number(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string LineText(int number) {
    return "第 " + std::to_string(number) + " 行";
}

base::Result<NormEntry, std::string> ReadNorm(const NormFields& f) {
    using Why = base::Failure<std::string>;
    const auto mean = Number(f.mean);
    const auto sd = Number(f.sd);
    if (!mean) return Why{"常模平均值不是數：「" + std::string(f.mean) + "」"};
    if (!sd || *sd <= 0) return Why{"標準差須為正數：「" + std::string(f.sd) + "」"};
    NormEntry norm;
    norm.set = f.set.empty() ? std::string("常模") : std::string(f.set);
    norm.mean = *mean;
    norm.sd = *sd;
    norm.source = std::string(f.source);
    norm.line = f.line;
    const std::string sex = Folded(f.sex);
    if (sex == "m" || f.sex == "男")
        norm.sex = 'M';
    else if (sex == "f" || f.sex == "女")
        norm.sex = 'F';
    else if (!sex.empty())
        return Why{"性別須為 M、F 或空白：「" + std::string(f.sex) + "」"};
    if (!f.age.empty()) {
        const std::size_t dash = f.age.find('-');
        const std::string_view from = TrimBlanks(f.age.substr(0, dash));
        const std::string_view to =
            dash == std::string_view::npos ? from : TrimBlanks(f.age.substr(dash + 1));
        const auto a = from.empty() ? std::optional<int>(norm.ageFrom) : WholeNumber(from);
        const auto b = to.empty() ? std::optional<int>(norm.ageTo) : WholeNumber(to);
        if (!a || !b || *a > *b || (from.empty() && to.empty()))
            return Why{"年齡須寫成 9-11、18- 或 -8（整歲）：「" + std::string(f.age) + "」"};
        norm.ageFrom = *a;
        norm.ageTo = *b;
    }
    return norm;
}

// The lookup takes a norm for the patient's sex over one for both, then one with an age
// band over one without, and of two alike the earlier line. So norms of the same set and
// sex clash when both have an age band and the bands share a year, or when neither has
// one; a norm for one sex beside one for both never does.
std::optional<std::string> Clash(std::string_view measurement, const NormEntry& norm,
                                 const NormEntry& other) {
    if (other.set != norm.set || other.sex != norm.sex || HasAgeBand(other) != HasAgeBand(norm) ||
        other.ageFrom > norm.ageTo || norm.ageFrom > other.ageTo)
        return std::nullopt;
    const std::string whose = "「" + std::string(measurement) + "」在常模組「" + norm.set + "」" +
                              SexText(norm.sex) + "的";
    if (other.ageFrom == norm.ageFrom && other.ageTo == norm.ageTo)
        return whose +
               (HasAgeBand(norm) ? BandText(norm.ageFrom, norm.ageTo) : std::string("不分年齡")) +
               "常模已在" + LineText(other.line) + "寫過";
    return whose + "常模年齡 " + BandText(norm.ageFrom, norm.ageTo) + "與" + LineText(other.line) +
           "的 " + BandText(other.ageFrom, other.ageTo) + "重疊：" +
           BandText(std::max(norm.ageFrom, other.ageFrom), std::min(norm.ageTo, other.ageTo)) +
           "的病人兩行都適用，會用哪一行就看行的先後";
}

}  // namespace ceph::model::table
