#include "model/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ceph {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Rounds the decimal text of an exact binary value ("-12.3450000...") to `decimals`
// places, halves away from zero. The text carries enough digits that no value other
// than a true tie can look like one.
std::string RoundDecimalText(const std::string& exact, int decimals) {
    bool negative = !exact.empty() && exact[0] == '-';
    std::string digits;  // all digits, integer part first
    std::size_t intLen = 0;
    for (char c : exact) {
        if (IsDigit(c)) digits += c;
        if (c == '.') intLen = digits.size();
    }
    std::size_t keep = intLen + static_cast<std::size_t>(decimals);
    bool up = keep < digits.size() && digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        std::size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                ++intLen;
            }
        }
    }
    std::string out = digits.substr(0, intLen);
    std::size_t first = out.find_first_not_of('0');
    out = first == std::string::npos ? "0" : out.substr(first);
    if (decimals > 0) out += '.' + digits.substr(intLen);
    bool allZero = out.find_first_not_of("0.") == std::string::npos;
    return (negative && !allZero) ? '-' + out : out;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

namespace {

// Whether a decimal number that does not fit a double ("1e400", "1e-400") is too large
// rather than too small: where its first significant digit stands, exponent included.
bool BeyondLargest(const char* first, const char* last) {
    long order = 0;
    bool significant = false, point = false;
    const char* p = first;
    for (; p < last && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            point = true;
        } else if (*p != '0' || significant) {
            if (!significant && point) break;  // first digit after the point: order stays
            significant = true;
            if (!point) ++order;
        } else if (point) {
            --order;  // a zero before the first significant digit, after the point
        }
    }
    while (p < last && *p != 'e' && *p != 'E')
        ++p;
    long exponent = 0;
    if (p < last) {
        ++p;
        const bool negative = p < last && *p == '-';
        if (p < last && (*p == '+' || *p == '-')) ++p;
        for (; p < last && exponent < 1'000'000; ++p)
            exponent = exponent * 10 + (*p - '0');
        if (negative) exponent = -exponent;
    }
    return order + exponent > 0;
}

// TextToNumber's reading; `tooLarge` is set for a number beyond a double's range.
double ReadLeadingNumber(std::string_view text, bool& tooLarge) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    const char* const start = p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) ++p;
    // Digits with an optional decimal point; the mantissa is gathered on the way for
    // the common short numbers.
    std::uint64_t mantissa = 0;
    int digits = 0, fractionDigits = 0;
    bool any = false;
    for (bool point = false; p < end; ++p) {
        if (IsDigit(*p)) {
            any = true;
            if (mantissa < (std::uint64_t{1} << 53) / 10) {
                mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
                fractionDigits += point;
            } else {
                digits = 99;  // too long for the quick way
            }
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any) return 0.0;
    if (fractionDigits > 22) digits = 99;
    // An exponent counts only when digits follow it ("2E3"), so "5E" stays 5.
    bool exponent = false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < end && (*q == '+' || *q == '-')) ++q;
        if (q < end && IsDigit(*q)) {
            while (q < end && IsDigit(*q))
                ++q;
            p = q;
            exponent = true;
        }
    }
    if (!exponent && digits == 0) {
        // Both operands are exact doubles, so the one division rounds exactly as a full
        // decimal conversion would.
        static constexpr double kPowers[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        const double value = static_cast<double>(mantissa) / kPowers[fractionDigits];
        return negative ? -value : value;
    }
    const char* first = *start == '+' ? start + 1 : start;
    double value = 0;
    auto [stop, error] = std::from_chars(first, p, value);
    (void)stop;
    if (error == std::errc::result_out_of_range)
        tooLarge = BeyondLargest(*first == '-' ? first + 1 : first, p);
    return error == std::errc() && std::isfinite(value) ? value : 0.0;
}

}  // namespace

double TextToNumber(std::string_view text) {
    bool tooLarge = false;
    return ReadLeadingNumber(text, tooLarge);
}

bool TextToSingle(std::string_view text, float& value) {
    bool tooLarge = false;
    const double read = ReadLeadingNumber(text, tooLarge);
    if (tooLarge || !(std::fabs(read) <= std::numeric_limits<float>::max())) {
        value = 0;
        return false;
    }
    value = static_cast<float>(read);
    return true;
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return std::string();
    static constexpr double kPowers[] = {1, 10, 100, 1000, 1e4, 1e5, 1e6, 1e7, 1e8};
    const double scaled =
        std::fabs(value) *
        (decimals >= 0 && decimals <= 8 ? kPowers[decimals] : std::pow(10.0, decimals));
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // Away from a tie the scaled product decides; only near-ties need the exact digits.
    if (scaled < 1e15 && decimals >= 0 && decimals <= 8 && std::fabs(fraction - 0.5) > 1e-6) {
        unsigned long long units =
            static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
        const bool zero = units == 0;
        char buffer[32];
        char* end = buffer + sizeof buffer;
        char* p = end;
        for (int d = 0; d < decimals; ++d, units /= 10)
            *--p = static_cast<char>('0' + units % 10);
        if (decimals > 0) *--p = '.';
        do {
            *--p = static_cast<char>('0' + units % 10);
            units /= 10;
        } while (units > 0);
        if (value < 0 && !zero) *--p = '-';
        return std::string(p, end);
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.40f", value);
    return RoundDecimalText(buffer, decimals);
}

std::string Format0(double v) {
    return FormatFixed(v, 0);
}
std::string Format1(double v) {
    return FormatFixed(v, 1);
}
std::string Format3(double v) {
    return FormatFixed(v, 3);
}

namespace {
std::string FormatSignificant(double value, int digits) {
    if (!std::isfinite(value)) return std::string();
    if (value == 0.0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    return buffer;
}
}  // namespace

std::string FormatGeneral(int value) {
    return std::to_string(value);
}

std::string FormatGeneral(double value) {
    return FormatSignificant(value, 15);
}
std::string FormatGeneral(float value) {
    return FormatSignificant(value, 7);
}

std::int16_t RoundToInt16(double value) {
    if (std::isnan(value)) return 0;
    double r = std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
    if (r < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (r > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(r);
}

bool IsDecimalNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    for (bool point = false; i < n; ++i) {
        if (IsDigit(text[i]))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        if (++i < n && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t first = i;
        while (i < n && IsDigit(text[i]))
            ++i;
        if (i == first) return false;
    }
    return i == n;
}

}  // namespace ceph
