#include "ui/convert.h"

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

double TextToNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    bool anyDigit = false;
    for (std::size_t k = mantissa; k < i; ++k)
        anyDigit = anyDigit || IsDigit(text[k]);
    if (!anyDigit) return 0.0;
    // An exponent counts only when digits follow it ("2E3"), so "5E" stays 5.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    std::string number(text.substr(start, i - start));
    double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return std::string();
    double scaled = std::fabs(value) * std::pow(10.0, decimals);
    double whole = std::floor(scaled);
    double fraction = scaled - whole;
    // Away from a tie the scaled product decides; only near-ties need the exact digits.
    if (scaled < 1e15 && std::fabs(fraction - 0.5) > 1e-6) {
        long long units = static_cast<long long>(whole) + (fraction > 0.5 ? 1 : 0);
        std::string digits = std::to_string(units);
        if (decimals > 0) {
            if (digits.size() <= static_cast<std::size_t>(decimals))
                digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
            digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
        }
        return (value < 0 && units != 0) ? '-' + digits : digits;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.40f", value);
    return RoundDecimalText(buffer, decimals);
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

}  // namespace ceph
