// The follow-up page: nine tracings on one A4 page, every mark on the paper, the three
// regional superimpositions and the table with the change from the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <variant>

#include "page/series_page.h"
#include "support/worked_tracing.h"

namespace ceph::page {
namespace {

std::vector<SeriesEntry> NineTracings() {
    std::vector<SeriesEntry> series;
    for (int n = 1; n <= 9; ++n) {
        SeriesEntry e;
        e.number = n;
        const double a = (n - 5) * 2 * 3.14159265358979 / 180;
        for (int i = 1; i <= 19; ++i) {
            const double x = testing::kWorkedPoints[i - 1][0] * (1 + 0.01 * n);
            const double y = testing::kWorkedPoints[i - 1][1] * (1 + 0.01 * n);
            e.tracing.X[static_cast<std::size_t>(i)] =
                static_cast<float>(std::cos(a) * x - std::sin(a) * y + n);
            e.tracing.Y[static_cast<std::size_t>(i)] =
                static_cast<float>(std::sin(a) * x + std::cos(a) * y - n);
        }
        model::MoveSToOrigin(e.tracing.X, e.tracing.Y);
        e.tracing.age = std::to_string(8 + n) + "Y 0M";
        series.push_back(e);
    }
    return series;
}

TEST(FollowUpPage, NineTracingsKeepToTheA4Page) {
    DrawingList page;
    DrawFollowUpPage(page, {"Chen", "10234", "0650315", "F"}, NineTracings(), 0, "2026-12-10");
    const auto inside = [](float x, float y) {
        return x >= 0 && y >= 0 && x <= kFullPageWidth && y <= kFullPageHeight;
    };
    std::vector<std::string> texts;
    int circles = 0;
    for (const DrawOp& op : page.ops) {
        if (const auto* t = std::get_if<DrawText>(&op)) {
            texts.push_back(t->text);
            EXPECT_TRUE(inside(t->x, t->y) &&
                        inside(t->x + TextWidth(t->size, t->text), t->y + t->size * 20))
                << t->text << " at " << t->x << "," << t->y;
        } else if (const auto* l = std::get_if<DrawLine>(&op)) {
            EXPECT_TRUE(inside(l->x1, l->y1) && inside(l->x2, l->y2));
        } else if (std::holds_alternative<DrawCircle>(op)) {
            ++circles;
        }
    }
    EXPECT_EQ(circles, 3) << "one registration point in each region";
    const auto has = [&](const std::string& s) {
        return std::find(texts.begin(), texts.end(), s) != texts.end();
    };
    for (const char* s :
         {"追蹤報告", "第 9 張", "17Y 0M", "變化 1→9", "每年",
          "SNA:", "顱底 S–N（S 對齊），參考：第 1 張", "下顎 Go–Me（Me 對齊），參考：第 1 張"})
        EXPECT_TRUE(has(s)) << s;
}

TEST(FollowUpPage, OneTracingHasNoChange) {
    DrawingList page;
    std::vector<SeriesEntry> one = NineTracings();
    one.resize(1);
    DrawFollowUpPage(page, {}, one, 0, "2026-12-10");
    for (const DrawOp& op : page.ops) {
        if (const auto* t = std::get_if<DrawText>(&op)) {
            EXPECT_NE(t->text, "每年");
        }
    }
}

}  // namespace
}  // namespace ceph::page
