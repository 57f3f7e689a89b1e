#pragma once
// The print command: the report of the tracing shown, with a compared tracing first
// when one is superimposed, on one page at one of six heights.

#include <functional>

#include "base/app.h"

namespace ceph::report {

// Puts stored tracing `index` into the window (landmarks, results, age), as showing
// it does; the print command draws whatever it is given this way.
using TracingLoader = std::function<void(int index)>;

// index 0 prints at the top of the page, 1..5 that many times 2100 twips lower.
void printmn_Click(base::App& app, int index, const TracingLoader& load);

}  // namespace ceph::report
