#!/usr/bin/env bash
# Builds and runs the whole test suite: the program with Qt, and the core alone
# without Qt, so that nothing of Qt can creep into the core.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
for preset in dev core; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs"
done
