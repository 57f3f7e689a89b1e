#include "model/norms.h"

#include <algorithm>

#include "model/measurement.h"
#include "model/numbers.h"

namespace ceph::model {

bool IsMale(std::string_view sex) {
    const std::string_view bare = TrimBlanks(sex);
    return !bare.empty() && (bare.front() == 'M' || bare.front() == 'm');
}

int NormGroup(std::string_view sex, std::string_view age) {
    const double v = TextToNumber(age);
    const int male = IsMale(sex) ? 1 : 0;
    // Each later test overrides the earlier ones, so the order matters: 8.5 lands in
    // band 2 and a negative age in band 1.
    int group = 0;
    if (v < 9) group = 10 + male;
    if (v == 0) group = 0;
    if (v > 8) group = 20 + male;
    if (v > 11) group = 30 + male;
    if (v > 14) group = 40 + male;
    return group;
}

namespace {

constexpr std::size_t kNormTableRows = std::size(standard_rows::kNormTable);

// The norm row and age band of a group; null for group 0 or an unknown group.
const NormRow* GroupRow(std::string_view key, int group, std::size_t& band) {
    const int tens = group / 10, male = group % 10;
    if (tens < 1 || tens > kAgeBands || male > 1) return nullptr;
    band = static_cast<std::size_t>(tens - 1);
    return NormsOf(key, male ? 'M' : 'F');
}

// Every norm text, by norm row and age band, each padded to the widest of its
// measurement's: made once, as the report asks for them with every tracing.
using PrintedNorms = std::array<std::array<std::string, kAgeBands>, kNormTableRows>;

PrintedNorms MakePrintedNorms() {
    PrintedNorms printed;
    for (std::size_t r = 0; r < kNormTableRows; ++r) {
        const NormRow& row = standard_rows::kNormTable[r];
        const int decimals = Row(RowIndex(row.key)).decimals;
        std::size_t width = 0;
        for (const NormRow& other : standard_rows::kNormTable)
            if (std::string_view(other.key) == row.key)
                for (const MeanSd& norm : other.byBand)
                    width = std::max(width, NormText(norm, decimals, 0).size());
        for (std::size_t band = 0; band < kAgeBands; ++band)
            printed[r][band] = NormText(row.byBand[band], decimals, width);
    }
    return printed;
}

const char* PrintedNorm(std::string_view key, int group) {
    static const PrintedNorms printed = MakePrintedNorms();
    std::size_t band = 0;
    const NormRow* row = GroupRow(key, group, band);
    if (!row) return "";
    return printed[static_cast<std::size_t>(row - standard_rows::kNormTable)][band].c_str();
}

}  // namespace

std::optional<MeanSd> GroupNorm(std::string_view key, int group) {
    std::size_t band = 0;
    const NormRow* row = GroupRow(key, group, band);
    if (!row) return std::nullopt;
    return row->byBand[band];
}

std::string NormText(const MeanSd& norm, int decimals, std::size_t width) {
    const std::string text =
        "(" + FormatFixed(norm.mean, decimals) + "±" + FormatFixed(norm.sd, decimals) + ")";
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::array<const char*, kNormRows> NormTexts(int group) {
    return NormTexts(StandardAnalysis(), group);
}

std::array<const char*, kNormRows> NormTexts(const Analysis& analysis, int group) {
    std::array<const char*, kNormRows> texts{};
    std::size_t k = 0;
    for (const Measurement& m : analysis.rows)
        if (HasNorms(m.key) && k < texts.size()) texts[k++] = PrintedNorm(m.key, group);
    return texts;
}

}  // namespace ceph::model
