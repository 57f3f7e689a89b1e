#pragma once
// The number rules of the program: reading a number from a text (a record field, a
// caption, a text box) and writing one back, and the legacy roundings (halves to even
// into 16 bits, single precision, the seven-digit general format). Every place that
// converts goes through these helpers so each rule exists exactly once.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace ceph {

// A text without the blanks around it (spaces, tabs, and the CR a line end can leave).
std::string_view TrimBlanks(std::string_view text);

// Leading numeric part of a text: blanks skipped, optional sign, digits with an
// optional decimal point and exponent; reading stops at the first other character.
// A text without a leading number reads as 0.
double TextToNumber(std::string_view text);

// Whether the whole text, without the blanks around it, is one decimal number:
// optional sign, digits with at most one decimal point, optional exponent ("12",
// "-3.25", "+.5", "1e2"); not "nan", "inf", "4.5mm", "7,5" or an empty text. A text
// that becomes part of a tracing is read whole, never by its leading number.
bool IsDecimalNumber(std::string_view text);

// The same leading number as a single-precision value; false (and 0) when the text's
// number lies beyond single precision's range ("1e39", "1e400"), which TextToNumber
// would read as infinity or 0.
bool TextToSingle(std::string_view text, float& value);

// Fixed-decimal patterns "0", "0.0", "0.000": the nearest value of the exact binary
// number, halves away from zero. A value that rounds to zero is written without sign.
std::string FormatFixed(double value, int decimals);
std::string Format0(double v);
std::string Format1(double v);
std::string Format3(double v);

// General number format: shortest text up to 15 significant digits for doubles and 7
// for single-precision values, scientific ("1E+20", "1E-05") outside that range.
std::string FormatGeneral(double value);
std::string FormatGeneral(float value);
std::string FormatGeneral(int value);

// A length or a scale the program can compute with: above 0 and finite (NaN is not).
inline bool IsPositiveNumber(double value) {
    return value > 0 && value < std::numeric_limits<double>::infinity();
}

// Float to 16-bit integer, halves to even; values beyond the range saturate.
std::int16_t RoundToInt16(double value);

}  // namespace ceph
