#pragma once
// Where each landmark of a tracing lies on the film it was traced on. The record line
// stays the tracing (millimetres, S at the origin); these say where it lay: pixels of the
// film as it was shown (its EXIF orientation applied, then the clinician's turn; x to
// the right, y down, from the top-left corner), with the film's file, its size as shown
// and the turn. They count only while the record line holds the coordinates they were
// taken with, which the digest of those coordinates tells.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/figure_alignment.h"
#include "model/geometry.h"

namespace ceph::model {

// How a film is turned for showing: mirrored left to right first (a film scanned face
// up), then turned clockwise by quarter turns.
struct FilmTurn {
    int quarterTurns = 0;  // 0..3, clockwise
    bool mirrored = false;
    bool operator==(const FilmTurn&) const = default;
};

// "0", "90", "180", "270"; "mirror", "mirror+90", … when mirrored.
std::string TurnText(FilmTurn turn);
std::optional<FilmTurn> ReadTurn(std::string_view text);

// Turned a quarter clockwise or anticlockwise, or mirrored left to right, as shown now.
FilmTurn TurnedRight(FilmTurn turn);
FilmTurn TurnedLeft(FilmTurn turn);
FilmTurn Mirrored(FilmTurn turn);

// A point of a film `width` x `height` pixels as it lies on the film shown with `turn`
// (each pixel a unit square, so a point at the far edge maps to the near one).
struct FilmPoint {
    double x = 0, y = 0;
};
FilmPoint TurnPoint(FilmPoint p, int width, int height, FilmTurn turn);
// The size of that film as shown.
void TurnedSize(int& width, int& height, FilmTurn turn);

struct FilmPositions {
    // The film's file: relative to the picture folder when it lies there, else in full.
    std::string picture;
    int width = 0, height = 0;  // the film as shown, in pixels
    FilmTurn turn;
    std::string digest;  // of the record line's 38 coordinates, as stored with them
    // Landmarks 1..19 by number; slot 0 is unused.
    std::array<FilmPoint, 20> at{};
};

// Twips a film pixel is drawn with under the figure when it is aligned from positions:
// a pixel of a screen at 96 dots per inch.
inline constexpr double kTwipsPerFilmPixel = 15;

// The figure alignment that puts the film under the figure exactly: scale twice the
// millimetres per film pixel (the figure draws 30 twips a millimetre, a film pixel at
// scale 1 is kTwipsPerFilmPixel), the offsets putting the film's S under the figure's S
// at (800, 600). Nothing when the tracing's or the film's S and N coincide.
std::optional<FigureAlignment> AlignmentFromPositions(const FilmPositions& film,
                                                      const PointTable& X, const PointTable& Y);

}  // namespace ceph::model
