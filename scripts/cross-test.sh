#!/usr/bin/env bash
# The core (no Qt) cross-built for 64-bit Windows with MinGW-w64, and its tests run
# under Wine: the Windows side of the file-system helper, the code pages and the
# command line are compiled, linked and exercised on every change. Without Wine (not
# installable here) the Windows programs are only built, and the script says so.
#
#   scripts/cross-test.sh          install what is missing, configure, build, test
#   scripts/cross-test.sh --clean  the same from an empty build folder and Wine folder
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build="$root/build/core-mingw"
jobs=$(nproc 2>/dev/null || echo 2)
started=$(date +%s)

# The cross compiler (the POSIX threads variant, which std::thread needs), the
# GoogleTest sources the cross build compiles itself, and Wine to run the tests.
scripts/install-deps.sh --only cmake ninja-build g++-mingw-w64-x86-64-posix googletest
# Wine is wanted, not needed: if it cannot be installed the build still runs.
scripts/install-deps.sh --only wine wine64 || echo "Wine could not be installed"

if [ "${1:-}" = "--clean" ]; then rm -rf "$build" "$root/build/wine-prefix"; fi

have_wine=""
if command -v wine >/dev/null 2>&1; then have_wine=yes; fi
if [ -n "$have_wine" ]; then
    # A Wine folder of our own, started once before anything runs: Wine's helper
    # processes would otherwise start with the first test and hold its output open,
    # which makes CTest wait for them. The server stays up until the script ends.
    export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
    export WINEDEBUG=-all
    mkdir -p "$WINEPREFIX"
    trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot -i >/dev/null 2>&1 </dev/null
fi

echo "== core for Windows (MinGW-w64)"
cmake --preset core-mingw >/dev/null
nice cmake --build --preset core-mingw -j "$jobs"

if [ -n "$have_wine" ]; then
    echo "== core tests under Wine"
    ctest --preset core-mingw -j "$jobs"
else
    echo "== Wine is not installed: the Windows programs were built, not tested"
fi
echo "== cross build and tests took $(($(date +%s) - started)) s"
