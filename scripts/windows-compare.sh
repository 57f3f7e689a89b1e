#!/usr/bin/env bash
# cephtool for Windows (under Wine) against cephtool for Linux, on the demo patient and
# on generated tracings: analyse, export, import, figure and report must give the same
# bytes; for PDF pages, the same text. Prints one line per comparison and fails on the
# first difference, keeping both outputs to look at.
#
#   scripts/windows-compare.sh LINUX_CEPHTOOL WINDOWS_CEPHTOOL.exe
#   PATIENTS=500 scripts/windows-compare.sh ...     (more generated patients)
# Wine runs in WINEPREFIX (the caller's, or a scratch one made here).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(realpath "$1")
windows=$(realpath "$2")
patients=${PATIENTS:-200}
export WINEDEBUG=-all

scratch=$(mktemp -d)
# Qt on Linux complains on standard error without a runtime folder.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$scratch/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
own_prefix=""
finish() {
    if [ -n "$own_prefix" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -z "${kept:-}" ]; then rm -rf "$scratch"; fi
}
trap finish EXIT
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$scratch/wine"
    own_prefix=yes
    wineboot -i >/dev/null 2>&1 </dev/null
fi

# Two copies of each data folder, one per build, so that what one writes cannot be
# read by the other.
mkdir -p "$scratch/linux" "$scratch/windows"
for side in linux windows; do
    cp -r "$root/data/demo" "$scratch/$side/demo"
    mkdir -p "$scratch/$side/made"
done

# Generated patients: the demo tracing moved by up to 8 units per coordinate, with
# ages from none to 20 years, odd patients male; the last lines hold a landmark far
# out and a bad coordinate, which analyse must treat alike on both systems.
awk -v n="$patients" 'BEGIN {
    srand(19);
    split("70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,120,10,90,-5,35,-10,22,0,0,25,48,40,72,42,74", p, ",");
    for (i = 1; i <= n; i++) {
        line = sprintf("%d", 20000 + i);
        for (k = 1; k <= 38; k++) line = line sprintf(",%.1f", p[k] + (rand() * 16 - 8));
        age = (i % 7 == 0) ? "" : sprintf("%dY %dM", int(rand() * 20), int(rand() * 12));
        printf "%s,0,%s\r\n", line, age;
    }
    printf "30001,70.0,0.0,62.0,25.0,75.0,45.0,72.0,52.0,66.0,58.0,74.0,74.0,71.0,72.0,62.0,92.0,66.0,95.0,68.0,112.0,65.0,118.0,60.0,120.0,10.0,90.0,-5.0,35.0,-10.0,22.0,0.0,0.0,25.0,48.0,40.0,72.0,42.0,9e30,0,12Y 1M\r\n";
    printf "30002,70.0,nan,62.0,25.0,75.0,45.0,72.0,52.0,66.0,58.0,74.0,74.0,71.0,72.0,62.0,92.0,66.0,95.0,68.0,112.0,65.0,118.0,60.0,120.0,10.0,90.0,-5.0,35.0,-10.0,22.0,0.0,0.0,25.0,48.0,40.0,72.0,42.0,74.0,0,9Y\r\n";
}' >"$scratch/tracings"
for side in linux windows; do
    cp "$scratch/tracings" "$scratch/$side/tracings"
    head -n "$patients" "$scratch/tracings" >"$scratch/$side/good-tracings"
done

run() {  # run SIDE COMMAND...: cephtool of SIDE in SIDE's folder; its output, errors and
    # exit status in SIDE/out.N, err.N and status.N
    local side=$1
    shift
    local exe=$linux
    local -a launch=()
    if [ "$side" = windows ]; then
        exe=$windows
        launch=(wine)
    fi
    local status=0
    (cd "$scratch/$side" && "${launch[@]}" "$exe" "$@" >"out.$step" 2>"err.$step") || status=$?
    echo "$status" >"$scratch/$side/status.$step"
}

step=0
failed=""
same() {  # same WHAT FILE...: the files (relative to each side) must be byte for byte equal
    local what=$1
    shift
    for f in "$@"; do
        if ! cmp -s "$scratch/linux/$f" "$scratch/windows/$f"; then
            echo "DIFFERENT  $what ($f)"
            failed=yes
            return
        fi
    done
    echo "same       $what"
}
both() {  # both WHAT ARGS...: run on both sides and compare standard output and errors
    step=$((step + 1))
    local what=$1
    shift
    run linux "$@"
    run windows "$@"
    # Messages name files with the system's own separator.
    sed -i 's#\\#/#g' "$scratch/windows/out.$step" "$scratch/windows/err.$step"
    same "$what" "out.$step" "err.$step" "status.$step"
}

both "analyse of the demo's record files" analyse --header demo/ceph-1 demo/ceph-2
both "analyse of generated tracings" analyse tracings
both "analyse of generated tracings as women" analyse --sex F --header tracings
both "analyse with uncertainty" analyse --uncertainty --draws 300 --seed 7 demo/ceph-1
both "export of the demo" export --data demo --out demo.csv
same "export's file" demo.csv
both "import refusing a bad file" import --data made --tracing 2 tracings
both "import of generated tracings" import --data made --tracing 3 good-tracings
same "records written by import" made/ceph-3
[ -s "$scratch/linux/made/ceph-3" ] || { echo "import stored nothing"; failed=yes; }
both "export of the imported tracings" export --data made --sex M
both "figure of the demo as SVG" figure --data demo --handoff demo/OutExe.tmp --tracing 1 \
    --out fig.svg
same "figure's SVG" fig.svg
both "figure moved, as SVG" figure --data demo --handoff demo/OutExe.tmp --tracing 1 \
    --select 0 --turn 5 --shift-x 30 --select 8 --shift-y -45 --out moved.svg
same "moved figure's SVG" moved.svg
both "figure of the demo as PNG" figure --data demo --handoff demo/OutExe.tmp --tracing 1 \
    --out fig.png
same "figure's PNG" fig.png
both "report of the demo as PDF" report --data demo --handoff demo/OutExe.tmp --tracing 1 \
    --line 2 --out page.pdf
for side in linux windows; do
    pdftotext -layout "$scratch/$side/page.pdf" "$scratch/$side/page.txt" 2>/dev/null || true
done
same "report's PDF text" page.txt
both "report of the demo as PNG" report --data demo --handoff demo/OutExe.tmp --tracing 1 \
    --out page.png
# Text on a page picture is drawn by each system's FreeType (Debian's on Linux, Qt's
# own copy on Windows), whose grey edges of glyphs differ slightly; the rest must match.
if cmp -s "$scratch/linux/page.png" "$scratch/windows/page.png"; then
    echo "same       report's PNG"
elif command -v compare >/dev/null &&
    [ "$(compare -metric AE -fuzz 15% "$scratch/linux/page.png" "$scratch/windows/page.png" \
        null: 2>&1)" = 0 ]; then
    echo "same       report's PNG, but for the grey edges of glyphs"
else
    echo "DIFFERENT  report's PNG (page.png)"
    failed=yes
fi

if [ -n "$failed" ]; then
    kept=yes
    echo "outputs kept in $scratch (linux/ and windows/)"
    exit 1
fi
