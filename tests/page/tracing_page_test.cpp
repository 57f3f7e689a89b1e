// The report of one tracing on a target: where each piece of a result row lands, in
// which size, and what an overlay leaves out.
#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "page/tracing_page.h"
#include "support/drawn_texts.h"

namespace ceph::page {
namespace {

using testing::Texts;

TEST(TracingPageTest, ResultRowColumns) {
    model::ReportedTracing tracing;
    tracing.values[0] = "92.9";
    tracing.values[30] = "-100.0";
    tracing.norms[0] = "(79.2±3.1)";
    Printer printer;
    PrinterTarget page(printer);
    PrintResultRow(page, tracing, 12, 200, 700, 0, false);
    PrintResultRow(page, tracing, 10, 5700, 1420, 30, false);
    PrintResultRow(page, tracing, 10, 5700, 2000, 33, true);
    PrintResultRow(page, tracing, 10, 5800, 700, 27, true);
    const auto texts = Texts(printer.CurrentPage());
    ASSERT_EQ(texts.size(), 3u + 4u + 2u + 1u);
    EXPECT_EQ(texts[1].text, " 92.9");
    EXPECT_AT(&texts[1], 1400, 700, 12);
    EXPECT_AT(&texts[2], 2150, 700, 12);
    EXPECT_EQ(texts[4].text, "*****");  // a six-character value does not fit
    EXPECT_AT(&texts[4], 7100, 1420, 10);
    EXPECT_AT(&texts[5], 7800, 1420, 10);
    EXPECT_EQ(texts[5].text, "mm");
    EXPECT_AT(&texts[6], 8300, 1420, 10);
    EXPECT_EQ(texts[7].x, 7100);  // overlay: value and norm only
    EXPECT_EQ(texts[8].x, 8300);
    EXPECT_AT(&texts[9], 5600, 1100, 10);  // a difference row: its value alone
    EXPECT_EQ(model::ValueField("4.6"), "  4.6");
    // Longer than the field: marked, never cut to a plausible number.
    EXPECT_EQ(model::ValueField("-12334903.0"), "*****");
    EXPECT_EQ(model::ValueField("-12.3"), "-12.3");
}

}  // namespace
}  // namespace ceph::page
