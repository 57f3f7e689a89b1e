#!/usr/bin/env bash
# Start-up to the first shown main window: readceph on the demo patient against a
# minimal Qt window with a menu bar and one line of Chinese text (the least any window
# showing a patient costs: it loads the CJK font and the menu bar as readceph must),
# launched alternately in one virtual X display and timed from launch to the mapping of
# their window. Prints the medians and the ratio; fails past LIMIT.
#
# The bare window without text is timed alongside for information only: the cost of Qt
# itself, which never loads a font.
#
#   bench/startup.sh [BUILD_DIR]        (default: build/release)
#   RUNS=20 LIMIT=1.1 bench/startup.sh
#   READCEPH=/path/to/other/readceph bench/startup.sh   (try a changed build)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
runs=${RUNS:-15}
limit=${LIMIT:-1.1}
readceph_title="林美華 側頭顱分析"
minimal_title="minimal window"
text_title="minimal window with text"

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

if [[ "${1:-}" != --inside ]]; then
    build=$(cd "${1:-$repo/build/release}" && pwd)
    READCEPH=$(realpath "${READCEPH:-$build/src/readceph}")
    export READCEPH
    for exe in "$READCEPH" "$build/bench/minimal_window" "$build/bench/map_probe"; do
        [[ -x "$exe" ]] || { echo "missing $exe: build the release preset" >&2; exit 2; }
    done
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    cp -r "$repo/data/demo/." "$scratch/"
    # A 24-bit screen as on a desktop; xvfb-run's default is 8 bits deep.
    xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$0" --inside "$build" "$scratch"
    exit
fi

build=$2
scratch=$3
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/.runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
cd "$scratch"

probe=("$build/bench/map_probe" --timeout 30)
run_minimal() { "${probe[@]}" "$minimal_title" "$build/bench/minimal_window" "$minimal_title"; }
run_text() { "${probe[@]}" "$text_title" "$build/bench/minimal_window" --with-text "$text_title"; }
run_readceph() { "${probe[@]}" "$readceph_title" "$READCEPH" "$scratch/OutExe.tmp"; }

# One unrecorded start each fills the page cache and the font cache, and lets readceph
# create the empty record files of the demo folder, which later starts only open.
run_minimal >/dev/null
run_text >/dev/null
run_readceph >/dev/null

minimal=()
text=()
readceph=()
for ((i = 0; i < runs; i++)); do
    # Alternate the order, so a drift of the machine weighs on all alike.
    if ((i % 2 == 0)); then
        minimal+=("$(run_minimal)")
        text+=("$(run_text)")
        readceph+=("$(run_readceph)")
    else
        readceph+=("$(run_readceph)")
        text+=("$(run_text)")
        minimal+=("$(run_minimal)")
    fi
done

echo "minimal window           (ms): ${minimal[*]}"
echo "minimal window with text (ms): ${text[*]}"
echo "readceph                 (ms): ${readceph[*]}"
m=$(printf '%s\n' "${minimal[@]}" | median)
t=$(printf '%s\n' "${text[@]}" | median)
r=$(printf '%s\n' "${readceph[@]}" | median)
awk -v m="$m" -v t="$t" -v r="$r" -v limit="$limit" -v n="$runs" 'BEGIN {
    printf "medians of %d starts: minimal window %.1f ms, with text %.1f ms, readceph %.1f ms\n",
           n, m, t, r
    printf "with text / minimal:  %.2f (for information)\n", t / m
    printf "readceph / minimal:   %.2f (for information)\n", r / m
    ratio = r / t
    printf "readceph / with text: %.2f (limit %.2f)\n", ratio, limit
    if (ratio > limit) { print "TOO SLOW"; exit 1 }
}'
