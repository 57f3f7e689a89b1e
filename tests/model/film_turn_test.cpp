// Turning a film for showing: the eight ways a film can lie, written and read back, and
// points carried with the film through each.
#include <gtest/gtest.h>

#include "model/film_positions.h"

namespace ceph::model {
namespace {

std::vector<FilmTurn> AllTurns() {
    std::vector<FilmTurn> all;
    for (bool m : {false, true})
        for (int q = 0; q < 4; ++q)
            all.push_back({q, m});
    return all;
}

TEST(FilmTurn, EveryTurnReadsBackAndNothingElseReads) {
    for (const FilmTurn t : AllTurns()) {
        const auto back = ReadTurn(TurnText(t));
        ASSERT_TRUE(back) << TurnText(t);
        EXPECT_EQ(*back, t) << TurnText(t);
    }
    EXPECT_EQ(TurnText({1, true}), "mirror+90");
    EXPECT_EQ(TurnText({0, true}), "mirror");
    for (const char* bad : {"", "45", "360", "mirror+", "mirror+0", "-90", "90 ", "Mirror"})
        EXPECT_FALSE(ReadTurn(bad)) << '"' << bad << '"';
}

TEST(FilmTurn, PointsFollowTheFilmThroughEveryTurn) {
    // A 300 x 200 film; its top-left pixel's centre and a point near the right edge.
    const FilmPoint corner{0.5, 0.5}, right{290, 100};
    FilmPoint p = TurnPoint(corner, 300, 200, {1, false});
    EXPECT_DOUBLE_EQ(p.x, 199.5);  // a quarter turn right puts the top-left at the top-right
    EXPECT_DOUBLE_EQ(p.y, 0.5);
    p = TurnPoint(right, 300, 200, {0, true});
    EXPECT_DOUBLE_EQ(p.x, 10);
    p = TurnPoint(right, 300, 200, {3, false});
    EXPECT_DOUBLE_EQ(p.x, 100);
    EXPECT_DOUBLE_EQ(p.y, 10);
    int w = 300, h = 200;
    TurnedSize(w, h, {3, true});
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 300);

    // Turning step by step lands where the composed turn does: what the menu's turns add
    // up to is what is stored.
    for (const FilmTurn start : AllTurns()) {
        for (FilmTurn (*step)(FilmTurn) : {&TurnedRight, &TurnedLeft, &Mirrored}) {
            const FilmTurn next = step(start);
            int sw = 300, sh = 200;
            TurnedSize(sw, sh, start);
            const FilmPoint once = TurnPoint(right, 300, 200, start);
            const FilmTurn alone = step(FilmTurn{});
            const FilmPoint twice = TurnPoint(once, sw, sh, alone);
            const FilmPoint direct = TurnPoint(right, 300, 200, next);
            EXPECT_NEAR(twice.x, direct.x, 1e-9) << TurnText(start) << " then " << TurnText(alone);
            EXPECT_NEAR(twice.y, direct.y, 1e-9) << TurnText(start) << " then " << TurnText(alone);
        }
    }
}

TEST(FilmTurn, AlignmentPutsSAndNOfTheFilmUnderTheFigure) {
    FilmPositions film;
    film.at[16] = {100, 200};
    film.at[1] = {700, 120};
    PointTable X{}, Y{};
    // S-N 75 mm over 605.3 pixels.
    const double px = std::hypot(600.0, 80.0), mm = 75;
    X[1] = static_cast<float>(600 * mm / px), Y[1] = static_cast<float>(-80 * mm / px);
    const auto a = AlignmentFromPositions(film, X, Y);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->scale.text, "0.248");  // 2 x 0.1239 mm a pixel
    const double k = a->scale.Value() * kTwipsPerFilmPixel;
    EXPECT_NEAR(a->left.Value() + 100 * k, 800, 0.5);
    EXPECT_NEAR(a->top.Value() + 200 * k, 600, 0.5);
    EXPECT_NEAR(a->left.Value() + 700 * k, 800 + 30 * X[1], 3);
    EXPECT_NEAR(a->top.Value() + 120 * k, 600 + 30 * Y[1], 3);
    // S on N, on the film or in the tracing: nothing to scale by.
    film.at[1] = film.at[16];
    EXPECT_FALSE(AlignmentFromPositions(film, X, Y));
}

}  // namespace
}  // namespace ceph::model
