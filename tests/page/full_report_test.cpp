// The full report page: that it keeps to the paper with and without the simulated
// values, and where the practice's name comes from.
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

#include <cmath>

#include "model/figure.h"
#include "model/label_placement.h"
#include "page/full_page.h"
#include "page/full_report.h"
#include "support/temp_dir.h"
#include "support/worked_tracing.h"

namespace ceph::page {
namespace {

std::vector<std::string> TextsOf(const DrawingList& page) {
    std::vector<std::string> texts;
    for (const DrawOp& op : page.ops)
        if (auto* t = std::get_if<DrawText>(&op)) texts.push_back(t->text);
    return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Every mark of the page lies on the printable area of A4, the tables' widest texts
// included, whether or not a simulation adds its column and the ranges theirs.
TEST(FullReportTest, PageStaysInsideThePrintableArea) {
    model::Tracing tracing;
    for (int n = 1; n <= 19; ++n) {
        tracing.X[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][0];
        tracing.Y[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][1];
    }
    tracing.age = "12Y 3M";
    FullReportInputs in;
    // Names longer than the page is wide are cut short on it.
    in.clinicName = "快樂牙醫診所附設齒顎矯正中心暨兒童牙科與口腔顎面外科聯合門診台北總院";
    in.patient = {"Maximiliana Alexandrina Montgomery-Featherstonehaugh", "A0012345", "0990101",
                  "F"};
    in.tracing = model::ReportOf(tracing, in.patient, 9);
    in.printedOn = "2026-12-31";
    // A radiograph of 2000 x 2400 pixels at a tenth of its size, S near its middle.
    in.radiograph.picture = PictureRef(7, 2000, 2400);
    in.radiograph.scale = 0.1f, in.radiograph.left = -700, in.radiograph.top = -1200;
    in.standard = StandardAnalysisOf(model::BuiltInAnalyses());
    in.chosen = model::FindAnalysis(model::BuiltInAnalyses(), "McNamara");
    ASSERT_NE(in.standard, nullptr);
    ASSERT_NE(in.chosen, nullptr);
    in.halfWidths = uncertainty::Uncertainty{};
    in.halfWidths->halfWidth.fill(12.3);
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "simulated" : "as traced");
        in.figure = model::FigureOf(tracing);
        in.figure.simulation.moved = moved;
        in.figure.simulation.X = in.tracing.X, in.figure.simulation.Y = in.tracing.Y;
        in.figure.simulation.X[7] += 4, in.figure.simulation.X[10] -= 3;  // L1 Edge, Pog
        if (moved) {  // every structure moved as far as the bars go: the longest lines
            in.figure.simulation.turn.fill(-13);
            in.figure.simulation.shiftX.fill(-20), in.figure.simulation.shiftY.fill(-20);
        }
        DrawingList page;
        DrawFullReport(page, in);
        EXPECT_EQ(Has(TextsOf(page), "Mandibular bone -13° ←20.0 ↑20.0 mm"), moved);
        int pictures = 0;
        const auto inside = [](float x, float y) {
            return x >= 0 && y >= 0 && x <= kFullPageWidth && y <= kFullPageHeight;
        };
        for (const DrawOp& op : page.ops) {
            if (const auto* t = std::get_if<DrawText>(&op)) {
                EXPECT_TRUE(inside(t->x, t->y) &&
                            inside(t->x + TextWidth(t->size, t->text), t->y + t->size * 20))
                    << t->text << " at " << t->x << "," << t->y;
            } else if (const auto* l = std::get_if<DrawLine>(&op)) {
                EXPECT_TRUE(inside(l->x1, l->y1) && inside(l->x2, l->y2));
            } else if (const auto* p = std::get_if<DrawPicture>(&op)) {
                ++pictures;
                EXPECT_TRUE(inside(p->x, p->y) && inside(p->x + p->width, p->y + p->height));
                EXPECT_GT(p->sourceWidth, 0);
                EXPECT_LE(p->sourceX + p->sourceWidth, 2000);
                EXPECT_LE(p->sourceY + p->sourceHeight, 2400);
            }
        }
        EXPECT_EQ(pictures, 1);
        // The simulated values only where something moved, and only those that changed.
        const std::vector<std::string> texts = TextsOf(page);
        EXPECT_EQ(Has(texts, "模擬"), moved);
    }
}

TEST(FullReportTest, ClinicNameFromTheProgramsSettings) {
    testing::TempDir dir;
    const std::string data = dir.path().string() + "/";
    EXPECT_EQ(ReadClinicName(data), "") << "no file: no name, and no trouble";
    dir.Write(kReportSettingsFile, "[other]\r\nClinicName=Wrong\r\n");
    EXPECT_EQ(ReadClinicName(data), "");
    dir.Write(kReportSettingsFile, "[other]\r\nx=1\r\n[ReadCeph]\r\nclinicname = 陽光牙醫\r\n");
    EXPECT_EQ(ReadClinicName(data), "陽光牙醫");
    dir.Write(kReportSettingsFile,
              "ClinicName=\"Smile Dental\"\r\n[other]\r\nClinicName=Wrong\r\n");
    EXPECT_EQ(ReadClinicName(data), "Smile Dental");
}

}  // namespace
}  // namespace ceph::page

namespace ceph::page {
namespace {

// The landmarks' names on the radiograph can all be read: no name over another or over
// a landmark's cross, with the incisors edge to edge and the molars on one another too.
TEST(FullReportTest, LandmarkNamesOnTheRadiographDoNotOverlap) {
    float points[19][2];
    std::copy(&testing::kWorkedPoints[0][0], &testing::kWorkedPoints[0][0] + 38, &points[0][0]);
    for (const bool edgeToEdge : {false, true}) {
        SCOPED_TRACE(edgeToEdge ? "edge to edge" : "worked tracing");
        if (edgeToEdge) {
            points[6][0] = points[5][0], points[6][1] = points[5][1];
            points[18][0] = points[17][0], points[18][1] = points[17][1] + 0.5f;
        }
        model::Tracing tracing;
        for (int n = 1; n <= 19; ++n) {
            tracing.X[static_cast<std::size_t>(n)] = points[n - 1][0];
            tracing.Y[static_cast<std::size_t>(n)] = points[n - 1][1];
        }
        FullReportInputs in;
        in.tracing = model::ReportOf(tracing, in.patient, 1);
        DrawingList page;
        const PageBox box{0, 0, 5000, 6000};
        DrawRadiographBox(page, in, box);
        std::vector<model::LabelRect> names, crosses;
        for (const DrawOp& op : page.ops) {
            if (const auto* t = std::get_if<DrawText>(&op); t && t->size == 6)
                names.push_back({t->x, t->y, TextWidth(t->size, t->text), t->size * 20});
            if (const auto* l = std::get_if<DrawLine>(&op);
                l && l->width == 2 && l->y1 == l->y2 && std::abs(l->x2 - l->x1 - 100) < 0.1f)
                crosses.push_back({l->x1, l->y1 - 50, 100, 100});
        }
        ASSERT_EQ(names.size(), 19u);
        ASSERT_EQ(crosses.size(), 19u);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_TRUE(names[i].left >= box.x && names[i].right() <= box.x + box.width);
            for (std::size_t j = 0; j < names.size(); ++j) {
                if (i != j) {
                    EXPECT_FALSE(names[i].Overlaps(names[j])) << i << " and " << j;
                }
                EXPECT_FALSE(names[i].Overlaps(crosses[j])) << "name " << i << ", cross " << j;
            }
        }
    }
}

}  // namespace
}  // namespace ceph::page
