// Reading stored tracings back: the forgiving field rules, the S origin, the age and
// figure fields.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "model/measurement.h"
#include "store/record_line.h"
#include "support/counting_line.h"
#include "support/temp_dir.h"

namespace ceph::store {
namespace {

// 19 landmarks with x = i and y = -i, S (16) at the origin.
const auto Line = testing::CountingLine;

// The figure boxes' texts for a line's figure fields.
std::array<std::string, 3> Boxes(const RecordFields& r) {
    const model::FigureAlignment shown = model::ShownAlignment(r.figure);
    return {shown.scale.text, shown.left.text, shown.top.text};
}

TEST(RecordFields, FullLineWithAndWithoutFigureFields) {
    RecordFields r = ParseRecordFields(Line("00101", "45Y 3M"));
    EXPECT_EQ(r.x[1], 1.0f);
    EXPECT_EQ(r.y[19], -19.0f);
    EXPECT_EQ(r.x[16], 0.0f);
    EXPECT_EQ(r.age, "45Y 3M");
    EXPECT_FALSE(r.figure) << "never aligned";
    EXPECT_EQ(Boxes(r), (std::array<std::string, 3>{"1", "0", "0"}));

    r = ParseRecordFields(Line("00101", "45Y 3M,1.5,-20,35"));
    EXPECT_EQ(r.age, "45Y 3M");
    EXPECT_EQ(Boxes(r), (std::array<std::string, 3>{"1.5", "-20", "35"}));
}

TEST(RecordFields, FigureScaleThatIsNoNumberReadsAsOne) {
    for (const char* tail : {"9Y 1M,0,5,6", "9Y 1M,abc,5,6", "9Y 1M,,5,6"}) {
        EXPECT_EQ(Boxes(ParseRecordFields(Line("7", tail))),
                  (std::array<std::string, 3>{"1", "5", "6"}))
            << tail;
    }
    // The top offset is shown as a number.
    EXPECT_EQ(Boxes(ParseRecordFields(Line("7", "9Y 1M,2,5,35.50")))[2], "35.5");
}

TEST(RecordFields, FigureFieldsAreWrittenBackAsTheyWereRead) {
    struct Case {
        const char* fields;           // after the age text and its comma
        std::array<double, 3> value;  // scale, left, top as the figure panel uses them
    };
    const Case cases[] = {
        {"0.250,12,-3", {0.25, 12, -3}},
        {"1e0, 2,-0", {1, 2, 0}},
        {"+1.50,007,35.50", {1.5, 7, 35.5}},
        {"0,abc,", {1, 0, 0}},
        // Lines edited elsewhere: the top offset takes the rest of the line, and fields
        // missing before it read as their defaults.
        {"2,5,6,7", {2, 5, 6}},
        {"2,6", {2, 0, 6}},
        {" 6 ", {1, 0, 6}},
    };
    for (const Case& c : cases) {
        const std::string line = Line("00101", std::string("9Y 1M,") + c.fields);
        const RecordFields r = ParseRecordFields(line);
        ASSERT_TRUE(r.figure) << c.fields;
        const model::FigureAlignment shown = model::ShownAlignment(r.figure);
        EXPECT_EQ(shown.scale.Value(), c.value[0]) << c.fields;
        EXPECT_EQ(shown.left.Value(), c.value[1]) << c.fields;
        EXPECT_EQ(shown.top.Value(), c.value[2]) << c.fields;
        // Read as a tracing and written as one, the line comes back byte for byte.
        EXPECT_EQ(FormatRecordLine("00101", TracingOf(r)), line) << c.fields;
        EXPECT_EQ(WithFigureFields(line, *r.figure), line) << c.fields;
    }
}

TEST(RecordFields, ShortLineRepeatsTheLastField) {
    RecordFields r = ParseRecordFields("00101,1.5,2.5,3.5");
    // Once no comma is left, every further coordinate keeps the field last cut off
    // (2.5), S among them; moving S to the origin then leaves only N elsewhere.
    EXPECT_EQ(r.x[1], -1.0f);
    EXPECT_EQ(r.y[1], 0.0f);
    for (int i = 2; i <= 19; ++i) {
        EXPECT_EQ(r.x[i], 0.0f) << i;
        EXPECT_EQ(r.y[i], 0.0f) << i;
    }
    EXPECT_EQ(r.age, "3.5");
}

TEST(RecordFields, CoordinatesThatAreNoNumbersOrLieFarFromSAreNoTracing) {
    auto withXofN = [](const std::string& text) {
        std::string line = Line("5", "1Y 0M");
        return line.replace(line.find(",1.0,") + 1, 3, text);
    };
    struct Case {
        const char* field;
        LineFault fault;
    };
    const Case cases[] = {
        // Read by their leading number these were 0, 4.5 or 1: plausible results for a
        // line that holds no tracing.
        {"nan", LineFault::NotANumber},
        {"inf", LineFault::NotANumber},
        {"-infinity", LineFault::NotANumber},
        {"abc", LineFault::NotANumber},
        {"", LineFault::NotANumber},
        {"4.5mm", LineFault::NotANumber},
        {"1e", LineFault::NotANumber},
        {"0x1A", LineFault::NotANumber},
        {"1.2.3", LineFault::NotANumber},
        // Beyond single precision: 0 or infinity.
        {"1e400", LineFault::NotANumber},
        {"-1e400", LineFault::NotANumber},
        {"1e39", LineFault::NotANumber},
        {"3.5e38", LineFault::NotANumber},
        {"1e99999999999", LineFault::NotANumber},
        // Numbers, but no head is that large: the figure would be drawn off every panel.
        {"3.4e38", LineFault::TooFar},
        {"1000.1", LineFault::TooFar},
        {"-2e3", LineFault::TooFar},
        // Numbers as a clinician's tracing holds them.
        {"999.9", LineFault::None},
        {" 12.5 ", LineFault::None},
        {"+.5", LineFault::None},
        {"-5.", LineFault::None},
        {"1E2", LineFault::None},
        {"1e-400", LineFault::None},
    };
    for (const Case& c : cases) {
        const RecordFields r = ParseRecordFields(withXofN(c.field));
        EXPECT_EQ(r.fault, c.fault) << '"' << c.field << '"';
        EXPECT_TRUE(std::isfinite(r.x[1])) << c.field;
    }
}

TEST(RecordFields, TracingIsMovedToHaveSAtTheOrigin) {
    std::string line = "9";
    for (int i = 1; i <= 19; ++i)
        line += i == 16 ? ",10,20" : ",11,22";
    RecordFields r = ParseRecordFields(line + ",0,1Y 0M");
    EXPECT_EQ(r.x[16], 0.0f);
    EXPECT_EQ(r.y[16], 0.0f);
    EXPECT_EQ(r.x[1], 1.0f);
    EXPECT_EQ(r.y[1], 2.0f);
    // Only x of S decides: S at (0, 5) stays where it is.
    std::string line2 = "9";
    for (int i = 1; i <= 19; ++i)
        line2 += i == 16 ? ",0,5" : ",1,1";
    EXPECT_EQ(ParseRecordFields(line2 + ",0,1Y 0M").y[16], 5.0f);
}

TEST(RecordFields, ATracingMovedToSAtTheOriginMustStayWithinReach) {
    // Each coordinate fits, but moving S to the origin leaves the range.
    std::string line = "9";
    for (int i = 1; i <= 19; ++i)
        line += i == 16 ? ",-3e38,0" : ",3e38,0";
    EXPECT_EQ(ParseRecordFields(line + ",0,1Y 0M").fault, LineFault::TooFar);
    // Far from the origin but near S: an older line, moved.
    line = "9";
    for (int i = 1; i <= 19; ++i)
        line += i == 16 ? ",5000,5000" : ",5010,4990";
    const RecordFields r = ParseRecordFields(line + ",0,1Y 0M");
    EXPECT_TRUE(r.IsTracing());
    EXPECT_EQ(r.x[1], 10.0f);
}

}  // namespace
}  // namespace ceph::store
