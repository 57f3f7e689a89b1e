#pragma once
// The print command: the report of the tracing shown, with a compared tracing first
// when one is superimposed, on one page at one of six heights.

#include "base/app.h"

namespace ceph::report {

// index 0 prints at the top of the page, 1..5 that many times 2100 twips lower.
void printmn_Click(base::App& app, int index);

}  // namespace ceph::report
