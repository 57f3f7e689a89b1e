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
    const int male = IsMale(sex) ? 1 : 0;
    const double v = TextToNumber(age);
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

using standard_rows::kNormTable;
constexpr std::size_t kNormTableRows = std::size(kNormTable);

// The age band and sex (0 female, 1 male) of a group; false for group 0 or an unknown
// group.
bool BandAndSex(int group, std::size_t& band, std::size_t& male) {
    const int tens = group / 10, units = group % 10;
    if (tens < 1 || tens > kAgeBands || units > 1) return false;
    band = static_cast<std::size_t>(tens - 1), male = static_cast<std::size_t>(units);
    return true;
}

// Where the norm table has the female and the male norms of each row with norms, in the
// order of the rows.
constexpr auto kNormPlaces = [] {
    std::array<std::array<std::size_t, 2>, kNormRows> places{};
    std::size_t k = 0;
    for (const Measurement& m : kStandardRows) {
        if (!HasNorms(m.key)) continue;
        places[k][0] = static_cast<std::size_t>(NormIndex(m.key, 'F'));
        places[k][1] = static_cast<std::size_t>(NormIndex(m.key, 'M'));
        ++k;
    }
    return places;
}();

// Every norm text, by norm row and age band, each padded to the widest of its
// measurement's: made once, as the report asks for them with every tracing.
using PrintedNorms = std::array<std::array<std::string, kAgeBands>, kNormTableRows>;

PrintedNorms MakePrintedNorms() {
    PrintedNorms printed;
    for (std::size_t r = 0; r < kNormTableRows; ++r) {
        const NormRow& row = kNormTable[r];
        const int decimals = Row(RowIndex(row.key)).decimals;
        std::size_t width = 0;
        for (const NormRow& other : kNormTable)
            if (std::string_view(other.key) == row.key)
                for (const MeanSd& norm : other.byBand)
                    width = std::max(width, NormText(norm, decimals, 0).size());
        for (std::size_t band = 0; band < kAgeBands; ++band)
            printed[r][band] = NormText(row.byBand[band], decimals, width);
    }
    return printed;
}

}  // namespace

std::optional<MeanSd> GroupNorm(std::string_view key, int group) {
    std::size_t band = 0, male = 0;
    if (!BandAndSex(group, band, male)) return std::nullopt;
    const NormRow* row = NormsOf(key, male ? 'M' : 'F');
    if (!row) return std::nullopt;
    return row->byBand[band];
}

std::string NormText(const MeanSd& norm, int decimals, std::size_t width) {
    const std::string text =
        "(" + FormatFixed(norm.mean, decimals) + "±" + FormatFixed(norm.sd, decimals) + ")";
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::array<const char*, kNormRows> NormTexts(int group) {
    static const PrintedNorms printed = MakePrintedNorms();
    std::array<const char*, kNormRows> texts;
    texts.fill("");
    std::size_t band = 0, male = 0;
    if (!BandAndSex(group, band, male)) return texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = printed[kNormPlaces[k][male]][band].c_str();
    return texts;
}

}  // namespace ceph::model
