#pragma once
// The 19 landmarks of a tracing and the landmark pairs that the figures join.

#include <string>

#include "ui/state.h"

namespace ceph::digitising {

// Fills the landmark names 1..19 (0 and 20 stay empty) and landmark pairs 0..12.
void InitLandmarkTables(ui::State& state);

// One line on what landmark n (1..19) is and where it lies; empty outside 1..19.
std::string LandmarkDefinition(int n);

}  // namespace ceph::digitising
