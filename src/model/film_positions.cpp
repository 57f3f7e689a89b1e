#include "model/film_positions.h"

#include <cmath>

#include "model/numbers.h"

namespace ceph::model {

namespace {

constexpr std::string_view kMirror = "mirror";

// Where S lies under the figure, and twips per millimetre of the figure.
constexpr double kFigureSX = 800, kFigureSY = 600, kFigureTwipsPerMm = 30;

}  // namespace

std::string TurnText(FilmTurn turn) {
    const std::string degrees = std::to_string(turn.quarterTurns * 90);
    if (!turn.mirrored) return degrees;
    return turn.quarterTurns == 0 ? std::string(kMirror) : std::string(kMirror) + "+" + degrees;
}

std::optional<FilmTurn> ReadTurn(std::string_view text) {
    FilmTurn turn;
    if (text.substr(0, kMirror.size()) == kMirror) {
        turn.mirrored = true;
        text.remove_prefix(kMirror.size());
        if (text.empty()) return turn;
        // "mirror+0" is written "mirror": one text for each turn.
        if (text.front() != '+' || text == "+0") return std::nullopt;
        text.remove_prefix(1);
    }
    for (int q = 0; q < 4; ++q)
        if (text == std::to_string(q * 90)) {
            turn.quarterTurns = q;
            return turn;
        }
    return std::nullopt;
}

FilmTurn TurnedRight(FilmTurn turn) {
    turn.quarterTurns = (turn.quarterTurns + 1) % 4;
    return turn;
}

FilmTurn TurnedLeft(FilmTurn turn) {
    turn.quarterTurns = (turn.quarterTurns + 3) % 4;
    return turn;
}

FilmTurn Mirrored(FilmTurn turn) {
    // A mirror after a clockwise turn is the same mirror before the turn the other way.
    return {(4 - turn.quarterTurns) % 4, !turn.mirrored};
}

FilmPoint TurnPoint(FilmPoint p, int width, int height, FilmTurn turn) {
    const double w = width, h = height;
    if (turn.mirrored) p.x = w - p.x;
    switch (turn.quarterTurns) {
        case 1:
            return {h - p.y, p.x};
        case 2:
            return {w - p.x, h - p.y};
        case 3:
            return {p.y, w - p.x};
        default:
            return p;
    }
}

void TurnedSize(int& width, int& height, FilmTurn turn) {
    if (turn.quarterTurns % 2 == 1) std::swap(width, height);
}

std::optional<FigureAlignment> AlignmentFromPositions(const FilmPositions& film,
                                                      const PointTable& X, const PointTable& Y) {
    const FilmPoint& s = film.at[16];
    const FilmPoint& n = film.at[1];
    const double pixels = std::hypot(n.x - s.x, n.y - s.y);
    const double mm = std::hypot(double(X[1]) - X[16], double(Y[1]) - Y[16]);
    if (!(pixels > 0) || !(mm > 0) || !std::isfinite(mm / pixels)) return std::nullopt;
    FigureAlignment a;
    a.scale = TypedNumber(Format3(kFigureTwipsPerMm * mm / pixels / kTwipsPerFilmPixel));
    // The offsets from the scale as written, so S lands where the panel will paint it.
    const double twipsPerPixel = a.scale.Value() * kTwipsPerFilmPixel;
    if (!(twipsPerPixel > 0)) return std::nullopt;
    // Where S lies: the figure's S is at its panel's (800, 600) and X(16) = 0 by
    // definition, but a tracing read from a line may have S elsewhere.
    const double sx = kFigureSX + kFigureTwipsPerMm * X[16];
    const double sy = kFigureSY + kFigureTwipsPerMm * Y[16];
    a.left = TypedNumber(FormatGeneral(std::round(sx - s.x * twipsPerPixel) + 0.0));
    a.top = TypedNumber(FormatGeneral(std::round(sy - s.y * twipsPerPixel) + 0.0));
    return a;
}

}  // namespace ceph::model
