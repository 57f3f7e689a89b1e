#!/usr/bin/env bash
# Builds the program and starts it on the bundled demo patient, the way the practice
# suite would: from the data folder, with the hand-off file as the argument.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then display_opt=--with-display; else display_opt=; fi
"$root/scripts/install-deps.sh" $display_opt
cmake --preset release -S "$root" -DCEPH_BUILD_BENCH=OFF -DCEPH_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target readceph

# The program writes into its data folder, so it runs on a copy outside the sources.
data="${CEPH_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/readceph-demo}"
mkdir -p "$data"
cp -rf "$root/data/demo/." "$data/"
cd "$data"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting under Xvfb." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/build/release/src/readceph" "$data/OutExe.tmp"
fi
exec "$root/build/release/src/readceph" "$data/OutExe.tmp"
