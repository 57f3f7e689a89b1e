#pragma once
// The soft-tissue profile of the tracing in the landmark store (model/profile.h), kept
// in the state record for the figure.

#include "ui/state.h"

namespace ceph::records {

// Fills profile points 0..16 of `ProfilePts` from the landmarks in millimetres; every
// call discards earlier movements of the profile.
void BuildProfile(ui::State& state);

}  // namespace ceph::records
