#pragma once
// Where the placing of the landmarks stands: the landmark asked for next (or all placed,
// or no input under way), a placed landmark picked up to be moved, the current zoom and
// the scale the landmarks are kept in, the pointer's last position over the radiograph
// and the S-N distance measured on it. The handlers change it and the guide, the zoom
// bar, the read-out and the calibration panel show it; nothing is read back from their
// captions.

#include <array>
#include <cstdint>
#include <optional>

#include "model/film_positions.h"
#include "model/landmark.h"

namespace ceph::ui {

// The prompt's number once all landmarks are placed: one past the last.
inline constexpr int kFinishedNumber = model::kLandmarkCount + 1;

// Measuring the S-N length against the ruler on the film, once all landmarks are placed:
// two points clicked on the ruler's scale, then the millimetres between them typed.
// Nothing of it is kept beyond the length it proposes.
struct RulerState {
    enum class Step {
        Off,
        First,     // the first point is asked
        Second,    // the second point is asked
        Distance,  // both placed: their distance in millimetres is asked
    };
    Step step = Step::Off;
    // The points placed, in the image units of the scale, as a landmark is kept.
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool On() const { return step != Step::Off; }
    bool Clicking() const { return step == Step::First || step == Step::Second; }
};

// Where the landmark model suggests the landmarks on the film shown, in its pixels as
// shown (none where it knows no landmark, or there is no model), with each one's
// expected error in those pixels and in millimetres, and the picture they were found on.
struct Suggestions {
    std::array<std::optional<model::FilmPoint>, model::kLandmarkCount + 1> at{};
    std::array<double, model::kLandmarkCount + 1> reach{}, error{};
    std::uint32_t picture = 0;  // the handle of the picture looked at; 0: none
    bool Any() const {
        for (const auto& p : at)
            if (p) return true;
        return false;
    }
};

struct DigitisingState {
    enum class Step {
        NotInputting,  // no input has been started, or the last one ended
        Asking,        // `asked` is the landmark the next click places
        Finished,      // all 19 placed: the calibration panel asks for the S-N length
    };
    Step step = Step::NotInputting;
    model::Landmark asked = model::kFirstClicked;
    // A radiograph loaded, or the film turned, after S was placed sent the clinician back
    // to S; the line under the guide says which until the next landmark is asked.
    enum class Restart { None, PictureReplaced, FilmTurned };
    Restart restarted = Restart::None;
    // A placed landmark was picked up to be moved: `asked` is that landmark, and once it
    // is placed again the input goes on at this number (a landmark, or kFinishedNumber).
    int resumeAt = 0;
    // The zoom of the radiograph now, in percent; the zoom bar VScroll2 shows it.
    int zoomPercent = 100;
    // The zoom, in percent, at which S was placed. All 19 landmarks are kept in image
    // units of that zoom, whatever the zoom of each click, so the stored tracing has one
    // scale and the S-N distance is measured in it. While S is asked in the click order
    // the current zoom is that scale.
    int scalePercent = 100;
    // Over the image, in twips at the current zoom as the pointer reported them, and
    // whether the pointer is over the image now.
    float pointerX = 0, pointerY = 0;
    bool pointerOver = false;
    // S to N in image units, whole as the calibration panel shows it; 0 until measured.
    double snDistance = 0;
    // The ruler calibration under way, if any; any other step of the input ends it.
    RulerState ruler;
    // The film in the view: its file in full (empty for the clipboard's or the test
    // picture, which no file holds), its size and turn as shown, and where each landmark
    // placed on it lies, in its pixels as shown. Its digest stays empty until stored.
    model::FilmPositions film;
    // What the landmark model suggests on that film; shown while landmarks are asked.
    Suggestions suggested;

    bool Asks(model::Landmark l) const { return step == Step::Asking && asked == l; }
    // The prompt's number: the landmark asked, kFinishedNumber at the end, 0 while no
    // input is under way.
    int AskedNumber() const {
        if (step == Step::Asking) return model::Number(asked);
        return step == Step::Finished ? kFinishedNumber : 0;
    }
    bool PickedUp() const { return step == Step::Asking && resumeAt != 0; }
    // Whether landmark n (1..19) has been placed in this input: it comes before the
    // landmark asked in the click order (before the one the input goes on at, while one
    // is picked up), or all are placed.
    bool Placed(int n) const {
        if (n < 1 || n > model::kLandmarkCount || step == Step::NotInputting) return false;
        const int frontier = PickedUp() ? resumeAt : AskedNumber();
        for (int m = model::Number(model::kFirstClicked); m >= 1 && m <= model::kLandmarkCount;
             m = model::NextClicked(m)) {
            if (m == frontier) return false;
            if (m == n) return true;
        }
        return true;  // the frontier is the end: all are placed
    }
    // The scale is fixed once S is placed, until the input starts again at S; moving a
    // picked-up S keeps it, since the other landmarks are kept in it.
    bool ScaleFixed() const {
        return step == Step::Finished ||
               (step == Step::Asking && (asked != model::kFirstClicked || PickedUp()));
    }
    // The scale in force at the current zoom.
    int ScalePercent() const { return ScaleFixed() ? scalePercent : zoomPercent; }
    // A length in twips at the current zoom in the image units of the scale.
    double InScale(double twips) const {
        return zoomPercent > 0 ? twips * ScalePercent() / zoomPercent : twips;
    }
};

}  // namespace ceph::ui
