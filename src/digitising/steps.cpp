#include "digitising/steps.h"

#include "model/numbers.h"

namespace ceph::digitising {

using Step = DigitisingState::Step;

void Ask(DigitisingState& s, int n) {
    if (n == kFinishedNumber) {
        s.step = Step::Finished;
    } else if (n >= 1 && n <= model::kLandmarkCount) {
        s.step = Step::Asking;
        s.asked = model::LandmarkNumbered(n);
    } else {
        return;
    }
    s.restarted = ui::DigitisingState::Restart::None;
    s.resumeAt = 0;
    s.ruler = {};
}

bool Advance(DigitisingState& s) {
    if (s.step != Step::Asking) return false;
    if (s.PickedUp()) {
        Ask(s, s.resumeAt);
        return true;
    }
    // After the last landmark the click order's next number is the end.
    Ask(s, model::NextClicked(model::Number(s.asked)));
    return true;
}

bool StepBack(DigitisingState& s) {
    if (s.PickedUp()) {
        Ask(s, s.resumeAt);
        return true;
    }
    if (s.step == Step::Finished) {
        Ask(s, model::Number(model::kLastClicked));
        return true;
    }
    if (s.step != Step::Asking || s.asked == model::kFirstClicked) return false;
    Ask(s, model::PreviousClicked(model::Number(s.asked)));
    return true;
}

bool PickUp(DigitisingState& s, int n) {
    if (!s.Placed(n)) return false;
    const int resume = s.PickedUp() ? s.resumeAt : s.AskedNumber();
    Ask(s, n);
    s.resumeAt = resume;
    return true;
}

void EndInput(DigitisingState& s) {
    s.step = Step::NotInputting;
    s.resumeAt = 0;
    s.ruler = {};
}

float AsReadOut(float position) {
    // Written and read back exactly as the read-out's text, so the stored value carries
    // the same seven-digit rounding however the position is formatted elsewhere.
    return static_cast<float>(TextToNumber(FormatGeneral(position)));
}

double AsWholeUnits(double distance) {
    return TextToNumber(Format0(distance));
}

}  // namespace ceph::digitising
