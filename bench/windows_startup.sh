#!/usr/bin/env bash
# Start-up of readceph.exe under Wine against readceph for Linux on the same machine:
# both started alternately on the demo patient in one virtual X display, each timed
# from launch to the mapping of its main window. Prints the medians and their ratio;
# fails past LIMIT (the Windows build must start within 1.5 times the Linux one).
#
# The bare Qt window with a line of Chinese text (bench/minimal_window.cpp) built for
# Windows is timed alongside for information: what Qt itself costs under Wine,
# and so how much of readceph.exe's start is its own.
#
# Wine's own server is started once beforehand and kept running, as it is on a
# desktop where any Windows program has run; the first start of each is not counted.
#
#   bench/windows_startup.sh [LINUX_BUILD] [WINDOWS_BUILD]
#       (defaults: build/release, build/windows; the release preset builds map_probe)
#   RUNS=20 LIMIT=1.5 bench/windows_startup.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
runs=${RUNS:-11}
limit=${LIMIT:-1.5}
title="林美華 側頭顱分析"

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

if [[ "${1:-}" != --inside ]]; then
    linux=$(cd "${1:-$repo/build/release}" && pwd)
    windows=$(cd "${2:-$repo/build/windows}" && pwd)
    for f in "$linux/src/readceph" "$linux/bench/map_probe" "$windows/bin/readceph.exe" \
        "$windows/bin/minimal_window.exe"; do
        [[ -f "$f" ]] || { echo "missing $f: build the release and windows presets" >&2; exit 2; }
    done
    scratch=$(mktemp -d)
    trap 'WINEPREFIX="$scratch/wine" wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/linux" "$scratch/windows"
    cp -r "$repo/data/demo/." "$scratch/linux/"
    cp -r "$repo/data/demo/." "$scratch/windows/"
    xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$0" --inside "$linux" "$windows" "$scratch"
    exit
fi

linux=$2
windows=$3
scratch=$4
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/.runtime"
export WINEPREFIX="$scratch/wine" WINEDEBUG=-all
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
wineboot -i >/dev/null 2>&1 </dev/null

probe=("$linux/bench/map_probe" --timeout 60)
run_linux() { (cd "$scratch/linux" && "${probe[@]}" "$title" "$linux/src/readceph" OutExe.tmp); }
run_windows() {
    (cd "$scratch/windows" && "${probe[@]}" "$title" wine "$windows/bin/readceph.exe" OutExe.tmp)
}

text_title="minimal window with text"
run_qt_windows() {
    "${probe[@]}" "$text_title" wine "$windows/bin/minimal_window.exe" --with-text "$text_title"
}

run_linux >/dev/null
run_windows >/dev/null
run_qt_windows >/dev/null

on_linux=()
on_windows=()
qt_windows=()
for ((i = 0; i < runs; i++)); do
    # Alternate the order, so a drift of the machine weighs on all alike.
    if ((i % 2 == 0)); then
        on_linux+=("$(run_linux)")
        on_windows+=("$(run_windows)")
        qt_windows+=("$(run_qt_windows)")
    else
        qt_windows+=("$(run_qt_windows)")
        on_windows+=("$(run_windows)")
        on_linux+=("$(run_linux)")
    fi
done

echo "readceph on Linux              (ms): ${on_linux[*]}"
echo "readceph.exe under Wine        (ms): ${on_windows[*]}"
echo "Qt window with text under Wine (ms): ${qt_windows[*]}"
l=$(printf '%s\n' "${on_linux[@]}" | median)
w=$(printf '%s\n' "${on_windows[@]}" | median)
q=$(printf '%s\n' "${qt_windows[@]}" | median)
awk -v l="$l" -v w="$w" -v q="$q" -v limit="$limit" -v n="$runs" 'BEGIN {
    printf "medians of %d starts: Linux %.1f ms, Wine %.1f ms, Qt window under Wine %.1f ms\n",
           n, l, w, q
    printf "readceph.exe / Qt window, both under Wine: %.2f (for information)\n", w / q
    ratio = w / l
    printf "Wine / Linux: %.2f (limit %.2f)\n", ratio, limit
    if (ratio > limit) { print "TOO SLOW"; exit 1 }
}'
