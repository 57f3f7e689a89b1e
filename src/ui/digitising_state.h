#pragma once
// Where the placing of the landmarks stands: the landmark asked for next (or all placed,
// or no input under way), the pointer's last position over the radiograph and the S-N
// distance measured on it. The handlers change it and the guide, the read-out and the
// calibration panel show it; nothing is read back from their captions.

#include "model/landmark.h"

namespace ceph::ui {

// The prompt's number once all landmarks are placed: one past the last.
inline constexpr int kFinishedNumber = model::kLandmarkCount + 1;

struct DigitisingState {
    enum class Step {
        NotInputting,  // no input has been started, or the last one ended
        Asking,        // `asked` is the landmark the next click places
        Finished,      // all 19 placed: the calibration panel asks for the S-N length
    };
    Step step = Step::NotInputting;
    model::Landmark asked = model::kFirstClicked;
    // A radiograph loaded after S was placed sent the clinician back to S; the line under
    // the guide says so until the next landmark is asked.
    bool pictureReplaced = false;
    // Over the image, in twips as the pointer reported them.
    float pointerX = 0, pointerY = 0;
    // S to N in image units, whole as the calibration panel shows it; 0 until measured.
    double snDistance = 0;

    bool Asks(model::Landmark l) const { return step == Step::Asking && asked == l; }
    // The prompt's number: the landmark asked, kFinishedNumber at the end, 0 while no
    // input is under way.
    int AskedNumber() const {
        if (step == Step::Asking) return model::Number(asked);
        return step == Step::Finished ? kFinishedNumber : 0;
    }
    // All landmarks share one scale: the zoom is fixed once S is placed, until the input
    // starts again at S.
    bool ZoomLocked() const {
        return step == Step::Finished || (step == Step::Asking && asked != model::kFirstClicked);
    }
};

}  // namespace ceph::ui
