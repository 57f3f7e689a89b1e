#!/usr/bin/env bash
# The program's memory must not creep over a session: 100 rounds of "input tracing 3,
# then cancel" and "show tracing 1, then compare with tracing 2" through the real window
# (offscreen platform) on a scratch copy of the demo patient. Fails when the resident
# memory after the last round exceeds that after the first by more than LIMIT percent.
#
#   bench/memory.sh [BUILD_DIR]          (default: build/release)
#   ROUNDS=200 LIMIT=10 bench/memory.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
rounds=${ROUNDS:-100}
limit=${LIMIT:-10}
exe=$build/bench/memory_rounds
[[ -x "$exe" ]] || { echo "missing $exe: build the release preset" >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$root/data/demo/." "$scratch/"
# The demo radiograph also as tracing 1's, so that showing tracing 1 paints it under
# the figure: every round then loads two pictures.
cp "$scratch/pictures/10234_3.jpg" "$scratch/pictures/10234_1.jpg"
mkdir -m 700 "$scratch/.runtime"
out=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch/.runtime" "$exe" "$scratch" "$rounds")
echo "$out"
first=$(awk '/after round 1:/ {print $(NF - 1)}' <<<"$out")
last=$(awk -v r="$rounds" '$0 ~ "after round " r ":" {print $(NF - 1)}' <<<"$out")
awk -v f="$first" -v l="$last" -v limit="$limit" -v n="$rounds" 'BEGIN {
    growth = (l - f) * 100 / f
    printf "growth over %d rounds: %.1f MB, %.1f %% of the first round (limit %g %%)\n",
           n, (l - f) / 1024, growth, limit
    if (growth > limit) { print "MEMORY GROWS"; exit 1 }
}'
