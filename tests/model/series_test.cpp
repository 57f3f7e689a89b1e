// A patient's tracings laid over a reference by each registration: the registration
// point coincides and the line runs along the reference's, to the rounding of stored
// coordinates; a mandible moved on its own is found again on the cranial base; ages are
// read from the age texts the program writes, and only from those.
#include <gtest/gtest.h>

#include <cmath>

#include "model/series.h"
#include "store/record_line.h"
#include "support/worked_tracing.h"

namespace ceph::model {
namespace {

constexpr double kPi = 3.14159265358979323846;

Tracing Worked() {
    Tracing t;
    for (int n = 1; n <= 19; ++n) {
        t.X[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][0];
        t.Y[static_cast<std::size_t>(n)] = testing::kWorkedPoints[n - 1][1];
    }
    return t;
}

// The tracing as another film gives it: turned by `degrees` about (40, 60), moved by
// (dx, dy), then stored (tenths of a millimetre, S moved to the origin) and read back.
Tracing OnAnotherFilm(Tracing t, double degrees, double dx, double dy) {
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    for (int n = 1; n <= 19; ++n) {
        const auto i = static_cast<std::size_t>(n);
        const double x = t.X[i] - 40, y = t.Y[i] - 60;
        t.X[i] = static_cast<float>(40 + c * x - s * y + dx);
        t.Y[i] = static_cast<float>(60 + s * x + c * y + dy);
    }
    MoveSToOrigin(t.X, t.Y);
    return *store::ReadTracingLine(store::FormatRecordLine("1", t));
}

double Direction(const PointTable& X, const PointTable& Y, Landmark a, Landmark b) {
    return std::atan2(Y[Slot(b)] - Y[Slot(a)], X[Slot(b)] - X[Slot(a)]) * 180 / kPi;
}

TEST(Series, EachRegistrationLaysThePointAndTheLineOnTheReference) {
    const Tracing reference = Worked();
    const Tracing other = OnAnotherFilm(Worked(), 7, 5, -3);
    for (const Registration r : kRegistrations) {
        SCOPED_TRACE(Info(r).key);
        Tracing moved = other;
        Register(moved.X, moved.Y, reference.X, reference.Y, r);
        const std::size_t at = Slot(Info(r).at);
        EXPECT_NEAR(moved.X[at], reference.X[at], 1e-4);
        EXPECT_NEAR(moved.Y[at], reference.Y[at], 1e-4);
        const double turn =
            std::remainder(Direction(moved.X, moved.Y, Info(r).at, Info(r).toward) -
                               Direction(reference.X, reference.Y, Info(r).at, Info(r).toward),
                           360.0);
        EXPECT_NEAR(turn, 0, 0.3);
        // The same tracing: every landmark back where it was, to the stored rounding.
        for (int n = 1; n <= 19; ++n) {
            EXPECT_NEAR(moved.X[n], reference.X[n], 0.15 + 0.002 * 120) << n;
            EXPECT_NEAR(moved.Y[n], reference.Y[n], 0.15 + 0.002 * 120) << n;
        }
    }
    EXPECT_EQ(RegistrationOfKey("maxilla"), Registration::MaxillaAtAns);
    EXPECT_FALSE(RegistrationOfKey("Maxilla"));
}

TEST(Series, AMandibleMovedAloneIsFoundOnTheCranialBase) {
    const Tracing reference = Worked();
    Tracing grown = Worked();
    // The mandible and the lower teeth 2 mm forward and 3 mm down.
    for (Landmark l : {Landmark::L1Edge, Landmark::L1Apex, Landmark::B, Landmark::Pog, Landmark::Gn,
                       Landmark::Me, Landmark::Go, Landmark::LowerMolar}) {
        grown.X[Slot(l)] += 2;
        grown.Y[Slot(l)] += 3;
    }
    Tracing moved = OnAnotherFilm(grown, -9, -4, 6);
    Register(moved.X, moved.Y, reference.X, reference.Y, Registration::CranialAtS);
    for (Landmark l : {Landmark::Pog, Landmark::Me, Landmark::Go}) {
        EXPECT_NEAR(moved.X[Slot(l)] - reference.X[Slot(l)], 2, 0.15) << Info(l).abbreviation;
        EXPECT_NEAR(moved.Y[Slot(l)] - reference.Y[Slot(l)], 3, 0.15) << Info(l).abbreviation;
    }
    EXPECT_NEAR(moved.X[Slot(Landmark::Or)], reference.X[Slot(Landmark::Or)], 0.15);
}

TEST(Series, ChangesInAllAndPerYear) {
    const Change c = ChangeBetween(80.0, 83.5, 10.0, 12.5);
    EXPECT_EQ(c.total, 3.5);
    EXPECT_EQ(c.perYear, 1.4);
    EXPECT_FALSE(ChangeBetween(80, 83, 10.0, 10.0).perYear) << "no time between them";
    EXPECT_FALSE(ChangeBetween(80, 83, std::nullopt, 12.0).perYear);
    EXPECT_FALSE(ChangeBetween(std::nan(""), 83, 10.0, 12.0).total);
    EXPECT_EQ(ChangeText(1.25, 1), "+1.3");
    EXPECT_EQ(ChangeText(-0.36, 1), "-0.4");
    EXPECT_EQ(ChangeText(0.04, 1), "0.0");
    EXPECT_EQ(ChangeText(-0.04, 1), "0.0");
}

TEST(Series, AgesFromTheAgeTextsTheProgramWrites) {
    EXPECT_EQ(AgeInYears("12Y 3M"), 12.25);
    EXPECT_EQ(AgeInYears(" 9Y 0M "), 9.0);
    EXPECT_EQ(AgeInYears("0Y 11M"), 11.0 / 12);
    EXPECT_EQ(AgeInYears("12 Y 6 M"), 12.5);
    for (const char* none : {"", "12", "12Y", "12Y 12M", "12Y -1M", "-3Y 2M", "abc", "12Y 3M 4D",
                             "12.5Y 3M", "約 12 歲"})
        EXPECT_FALSE(AgeInYears(none)) << '"' << none << '"';
}

}  // namespace
}  // namespace ceph::model
