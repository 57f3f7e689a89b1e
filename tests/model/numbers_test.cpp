// Numbers read from and written to control texts: these rules decide every value the
// report shows, so the cases sit on the edges where rounding or parsing differ.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "model/numbers.h"

namespace ceph {
namespace {

TEST(TextToNumber, TakesTheLeadingNumberOrZero) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"", 0},       {"abc", 0},   {" 12.5xyz", 12.5}, {"-.5", -0.5},      {"8Y 11M", 8},
        {"1e3", 1000}, {"5E", 5},    {"2E-2", 0.02},     {"5e+", 5},         {"+3", 3},
        {".", 0},      {"-", 0},     {"1.2.3", 1.2},     {"\t7", 7},         {"12,5", 12},
        {"0x10", 0},   {"1e999", 0}, {"-0", 0},          {"  .25 mm", 0.25},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(FormatFixed, RoundsTheBinaryValueHalfAwayFromZero) {
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {0.25, 1, "0.3"},
        {-0.25, 1, "-0.3"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {0.5, 0, "1"},
        {92.86, 1, "92.9"},
        {-2.00004, 1, "-2.0"},
        {0.0005, 3, "0.001"},  // just above the tie in binary
        {1.0005, 3, "1.000"},  // just below the tie in binary
        {0.15, 1, "0.1"},      // likewise
        {99.95, 1, "100.0"},   // carried into a new digit through the exact digits
        {-9.96, 1, "-10.0"},
        {1234.5678, 3, "1234.568"},
        {7, 3, "7.000"},
        {1e16, 1, "10000000000000000.0"},
        {123456789.5, 0, "123456790"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value << " / " << c.decimals;
}

TEST(FormatFixed, ZeroIsNeverSigned) {
    EXPECT_EQ(Format1(-0.04), "0.0");
    EXPECT_EQ(Format1(-0.0), "0.0");
    EXPECT_EQ(Format0(-0.4), "0");
    EXPECT_EQ(Format3(-0.0004), "0.000");
    EXPECT_EQ(Format1(-0.05), "-0.1");  // -0.05 lies just beyond the tie
}

TEST(FormatFixed, NonFiniteValuesGiveNoText) {
    EXPECT_EQ(Format1(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(Format0(std::numeric_limits<double>::infinity()), "");
}

TEST(FormatGeneral, ShortestTextWithScientificOutsideTheDigitRange) {
    EXPECT_EQ(FormatGeneral(1234.5f), "1234.5");
    EXPECT_EQ(FormatGeneral(0.1f), "0.1");  // not the float's 0.100000001
    EXPECT_EQ(FormatGeneral(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(FormatGeneral(1234567.0f), "1234567");
    EXPECT_EQ(FormatGeneral(1e7f), "1E+07");
    EXPECT_EQ(FormatGeneral(1e20), "1E+20");
    EXPECT_EQ(FormatGeneral(0.00001), "1E-05");
    EXPECT_EQ(FormatGeneral(1.5e-7), "1.5E-07");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneral(100.0), "100");
    EXPECT_EQ(FormatGeneral(-2.5), "-2.5");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatGeneral(1e15), "1E+15");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
}

TEST(TextToNumber, ReadsEveryDecimalAsTheFullConversionDoes) {
    // The short numbers of record files take a quick path; it must agree bit for bit
    // with a full decimal conversion, also for long fractions and many zeros.
    std::mt19937_64 random(42);
    for (int n = 0; n < 200000; ++n) {
        std::string text = (random() % 4 == 0) ? "-" : "";
        text += std::to_string(random() % (n % 3 == 0 ? 1000 : 100000000000ULL));
        if (random() % 5 != 0) {
            text += '.';
            const int zeros = static_cast<int>(random() % (n % 50 == 0 ? 30 : 3));
            text += std::string(static_cast<std::size_t>(zeros), '0');
            text += std::to_string(random() % 10000000000ULL);
        }
        ASSERT_EQ(TextToNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    }
    EXPECT_EQ(TextToNumber("0." + std::string(30, '0') + "1"), 1e-31);
}

TEST(RoundToInt16, HalvesToEvenAndSaturates) {
    struct Case {
        double value;
        int expected;
    };
    const Case cases[] = {
        {2.5, 2},         {3.5, 4},         {-2.5, -2},         {-3.5, -4},        {0.5, 0},
        {1.5, 2},         {2.4999, 2},      {-0.6, -1},         {40000, 32767},    {-40000, -32768},
        {32767.4, 32767}, {32767.5, 32767}, {-32768.5, -32768}, {std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToInt16(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace ceph
