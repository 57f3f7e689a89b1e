#include "analysis/norms.h"

#include "model/numbers.h"

namespace ceph::analysis {

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

const std::array<const char*, kNormRows>& NormTexts(int group) {
    using T = std::array<const char*, kNormRows>;
    static const T kNone{"", "", "", "", "", "", ""};
    static const T k11{"(79.2±3.1)", " (95.7±4.4)", "(53.2±3.2)", "(33.8±2.3)",
                       "(90.4±3.6)", "(55.9±2.6)",  "(82.8±2.4)"};
    static const T k10{"(77.3±3.2)", " (93.9±3.8)", "(52.8±3.3)", "(34.1±2.0)",
                       "(90.5±3.2)", "(55.3±2.9)",  "(82.3±2.9)"};
    static const T k21{"(82.6±3.4)", "(101.6±3.9)", "(55.6±3.7)", "(33.1±2.3)",
                       "(92.6±3.8)", "(54.2±3.0)",  "(81.3±2.9)"};
    static const T k20{"(81.1±3.6)", "(100.4±4.6)", "(55.1±3.5)", "(33.2±2.1)",
                       "(93.0±3.8)", "(53.8±3.1)",  "(80.9±2.9)"};
    static const T k31{"(88.0±4.6)", "(109.9±6.3)", "(60.2±4.0)", "(33.1±2.4)",
                       "(93.8±4.3)", "(53.1±3.3)",  "(80.2±3.2)"};
    static const T k30{"(85.4±4.2)", "(108.2±5.5)", "(58.3±4.0)", "(32.4±2.3)",
                       "(95.9±4.1)", "(51.7±3.3)",  "(79.0±3.1)"};
    static const T k41{"(93.1±4.5)", "(119.0±5.8)", "(63.9±5.1)", "(32.2±2.6)",
                       "(96.9±4.1)", "(51.0±3.3)",  "(78.3±3.0)"};
    static const T k40{"(87.0±4.4)", "(111.9±5.3)", "(58.7±4.0)", "(31.2±2.0)",
                       "(98.5±4.6)", "(50.3±4.2)",  "(77.8±3.9)"};
    switch (group) {
        case 11:
            return k11;
        case 10:
            return k10;
        case 21:
            return k21;
        case 20:
            return k20;
        case 31:
            return k31;
        case 30:
            return k30;
        case 41:
            return k41;
        case 40:
            return k40;
        default:
            return kNone;
    }
}

}  // namespace ceph::analysis
