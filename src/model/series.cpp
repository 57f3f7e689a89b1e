#include "model/series.h"

#include <charconv>
#include <cmath>

#include "model/measurement.h"
#include "model/numbers.h"

namespace ceph::model {

namespace {

constexpr RegistrationInfo kInfo[] = {
    {"顱底 S–N（S 對齊）", "cranial-s", Landmark::S, Landmark::N},
    {"顱底 S–N（N 對齊）", "cranial-n", Landmark::N, Landmark::S},
    {"上顎 ANS–PNS（ANS 對齊）", "maxilla", Landmark::ANS, Landmark::PNS},
    {"下顎 Go–Me（Me 對齊）", "mandible", Landmark::Me, Landmark::Go},
};
static_assert(std::size(kInfo) == std::size(kRegistrations));

// A whole number at the front of `text`, which moves past it.
std::optional<int> LeadingWhole(std::string_view& text) {
    text = TrimBlanks(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

const RegistrationInfo& Info(Registration r) {
    return kInfo[static_cast<std::size_t>(r)];
}

std::optional<Registration> RegistrationOfKey(std::string_view key) {
    for (const Registration r : kRegistrations)
        if (key == Info(r).key) return r;
    return std::nullopt;
}

void Register(PointTable& X, PointTable& Y, const PointTable& refX, const PointTable& refY,
              Registration r) {
    SuperimposeOnLine(X, Y, refX, refY, Info(r).at, Info(r).toward);
}

std::optional<double> AgeInYears(std::string_view text) {
    const auto years = LeadingWhole(text);
    text = TrimBlanks(text);
    if (!years || *years < 0 || text.empty() || (text.front() != 'Y' && text.front() != 'y'))
        return std::nullopt;
    text.remove_prefix(1);
    const auto months = LeadingWhole(text);
    text = TrimBlanks(text);
    if (!months || *months < 0 || *months > 11 || (text != "M" && text != "m")) return std::nullopt;
    return *years + *months / 12.0;
}

Change ChangeBetween(double from, double to, std::optional<double> fromAge,
                     std::optional<double> toAge) {
    Change c;
    if (!std::isfinite(from) || !std::isfinite(to)) return c;
    c.total = to - from;
    if (fromAge && toAge && *toAge != *fromAge) c.perYear = *c.total / (*toAge - *fromAge);
    return c;
}

std::string ChangeText(double change, int decimals) {
    std::string text = FormatFixed(change, decimals);
    // A change that rounds to nothing is no rise: FormatFixed writes it without a sign.
    if (change > 0 && text.find_first_not_of("0.") != std::string::npos) text = "+" + text;
    return text;
}

ChangeTexts ChangeTextsBetween(double from, double to, int decimals, std::optional<double> fromAge,
                               std::optional<double> toAge) {
    ChangeTexts texts;
    const Change c = ChangeBetween(from, to, fromAge, toAge);
    if (c.total) texts.total = ChangeText(*c.total, decimals);
    if (c.perYear) texts.perYear = ChangeText(*c.perYear, decimals + 1);
    return texts;
}

std::array<ChangeTexts, kRows> RowChanges(const Tracing& from, const Tracing& to) {
    std::array<ChangeTexts, kRows> texts;
    const AnalysisValues a = ComputeValues(from.X, from.Y);
    const AnalysisValues b = ComputeValues(to.X, to.Y);
    for (int row = 0; row < kRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        texts[r] = ChangeTextsBetween(a.rows[r], b.rows[r], Row(row).decimals, AgeInYears(from.age),
                                      AgeInYears(to.age));
    }
    return texts;
}

}  // namespace ceph::model
