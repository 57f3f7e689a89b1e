#include "model/norms.h"

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

// The A-Ar-Gn norms by sex and age band; groups as NormGroup numbers them.
struct NormRow {
    const char* key;
    const char* byGroup[8];  // 10, 11, 20, 21, 30, 31, 40, 41
};
constexpr NormRow kNorms[] = {
    {"Ar-A",
     {"(77.3±3.2)", "(79.2±3.1)", "(81.1±3.6)", "(82.6±3.4)", "(85.4±4.2)", "(88.0±4.6)",
      "(87.0±4.4)", "(93.1±4.5)"}},
    {"Ar-Gn",
     {" (93.9±3.8)", " (95.7±4.4)", "(100.4±4.6)", "(101.6±3.9)", "(108.2±5.5)", "(109.9±6.3)",
      "(111.9±5.3)", "(119.0±5.8)"}},
    {"A-Gn",
     {"(52.8±3.3)", "(53.2±3.2)", "(55.1±3.5)", "(55.6±3.7)", "(58.3±4.0)", "(60.2±4.0)",
      "(58.7±4.0)", "(63.9±5.1)"}},
    {"A/Ar/Gn",
     {"(34.1±2.0)", "(33.8±2.3)", "(33.2±2.1)", "(33.1±2.3)", "(32.4±2.3)", "(33.1±2.4)",
      "(31.2±2.0)", "(32.2±2.6)"}},
    {"Ar/A/Gn",
     {"(90.5±3.2)", "(90.4±3.6)", "(93.0±3.8)", "(92.6±3.8)", "(95.9±4.1)", "(93.8±4.3)",
      "(98.5±4.6)", "(96.9±4.1)"}},
    {"A/Gn/Ar",
     {"(55.3±2.9)", "(55.9±2.6)", "(53.8±3.1)", "(54.2±3.0)", "(51.7±3.3)", "(53.1±3.3)",
      "(50.3±4.2)", "(51.0±3.3)"}},
    {"Max./Mand.",
     {"(82.3±2.9)", "(82.8±2.4)", "(80.9±2.9)", "(81.3±2.9)", "(79.0±3.1)", "(80.2±3.2)",
      "(77.8±3.9)", "(78.3±3.0)"}},
};

// The column of a group in the norm rows; -1 for group 0 or an unknown group.
int GroupColumn(int group) {
    const int band = group / 10, male = group % 10;
    if (band < 1 || band > 4 || male > 1) return -1;
    return (band - 1) * 2 + male;
}

}  // namespace

const char* NormText(std::string_view key, int group) {
    for (const NormRow& row : kNorms) {
        if (key != row.key) continue;
        const int column = GroupColumn(group);
        return column < 0 ? "" : row.byGroup[column];
    }
    return nullptr;
}

std::array<const char*, kNormRows> NormTexts(int group) {
    return NormTexts(StandardAnalysis(), group);
}

std::array<const char*, kNormRows> NormTexts(const Analysis& analysis, int group) {
    std::array<const char*, kNormRows> texts{};
    std::size_t k = 0;
    for (const Measurement& m : analysis.rows)
        if (const char* text = NormText(m.key, group); text && k < texts.size()) texts[k++] = text;
    return texts;
}

}  // namespace ceph::model
