#pragma once
// The soft-tissue profile estimated in front of the hard-tissue landmarks: 17 points
// from soft-tissue nasion over nose, lips and chin, computed by fixed rules.

#include "ui/state.h"

namespace ceph::records {

// Fills profile points 0..16 of `ProfilePts` from the landmarks in millimetres; every
// call discards earlier movements of the profile.
void BuildProfile(ui::State& state);

}  // namespace ceph::records
