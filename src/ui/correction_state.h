#pragma once
// Where the correction of a stored tracing on its radiograph stands: S and N asked on
// the film to find the tracing there, then its landmarks shown as marks the clinician
// drags. The tracing is kept here in millimetres as corrected so far; the record file
// is written only when the correction is stored.

#include <optional>
#include <string>

#include "model/similarity.h"
#include "model/tracing.h"

namespace ceph::ui {

struct CorrectionState {
    enum class Step {
        Off,      // no correction under way
        AskingS,  // the next click on the film places S
        AskingN,  // then N: the two give the transform
        Moving,   // the marks are on the film and can be dragged
    };
    Step step = Step::Off;
    int index = 0;  // the tracing's menu index (tracing index + 1)
    model::Tracing tracing;
    // The record line the tracing was read from: storing replaces that line only, unless
    // the clinician agrees.
    std::optional<std::string> foundLine;
    // Where S was clicked, in pixels of the film.
    model::PlanePoint filmS;
    // Millimetres of the tracing to pixels of the film, so a zoom only rescales marks.
    model::Similarity toFilm;
    int held = 0;  // the landmark being dragged, 0 when none
    // From the pointer to the held mark, in twips: the mark does not jump to the pointer.
    float grabX = 0, grabY = 0;
    bool changed = false;  // moved since it was shown: leaving would lose the moves
    // The zoom the film was fitted to the viewport at: while the clinician has not chosen
    // another, a new size of the window (the window manager maximising it, say) fits it
    // again. 0 once another zoom was chosen.
    int fittedZoom = 0;
    // The tracing's figure fields were the ones its film positions give: a correction
    // moves them with the tracing.
    bool figureFromFilm = false;
    // Where the report panel was before it moved beside the film.
    float panelLeft = 0, panelTop = 0, panelWidth = 0;

    bool On() const { return step != Step::Off; }
};

}  // namespace ceph::ui
