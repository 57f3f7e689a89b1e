#!/usr/bin/env bash
# One cephtool against another, on the demo patient and on generated tracings:
# analyse, export, import, figure, report and suggest must give the same bytes, the same
# messages and the same exit statuses; for PDF pages, the same text (and, between two
# Linux programs, the same rendered pixels). Prints one line per comparison, goes on
# past a difference and fails at the end, keeping both sides' outputs to look at.
#
#   scripts/cephtool-compare.sh CEPHTOOL_A CEPHTOOL_B
#   PATIENTS=500 scripts/cephtool-compare.sh ...   (more generated patients)
#   WORK=DIR scripts/cephtool-compare.sh ...       (work in DIR, which is kept)
#
# A program whose name ends in .exe runs under Wine, in WINEPREFIX (the caller's, or a
# scratch one made here); its messages are read with / for \, and a page picture may
# then differ in the grey edges of glyphs (see below). Two Linux programs must agree
# exactly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 2 ]; then
    echo "usage: $0 CEPHTOOL_A CEPHTOOL_B" >&2
    exit 2
fi
declare -A exe=([a]=$(realpath "$1") [b]=$(realpath "$2"))
declare -A wine=()
for side in a b; do
    case ${exe[$side]} in *.exe) wine[$side]=yes ;; esac
done
patients=${PATIENTS:-200}
export WINEDEBUG=-all

if [ -n "${WORK:-}" ]; then
    scratch=$WORK
    rm -rf "$scratch"
    mkdir -p "$scratch"
    kept=yes
else
    scratch=$(mktemp -d)
fi
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
if [ -n "${wine[a]:-}${wine[b]:-}" ] && [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$scratch/wine"
    own_prefix=yes
    wineboot -i >/dev/null 2>&1 </dev/null
fi

# Generated patients. Half vary around the demo tracing (up to 8 units per
# coordinate), half around the typical adult tracing of bench/record_gen.cpp (S at the
# origin, about 3 mm either way). Ages run through every norm band and its edges, with
# some missing or not numbers at all; every 11th line carries the figure fields.
awk -v n="$patients" 'BEGIN {
    srand(19);
    split("70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,120,10,90,-5,35,-10,22,0,0,25,48,40,72,42,74", demo, ",");
    split("68.2,-9.5,60.1,18.4,66.3,28.9,71.5,52.0,73.8,64.2,69.9,88.1,66.0,101.3,61.8,106.9,10.2,78.5,-4.1,54.7,-9.8,27.3,49.5,26.4,73.0,57.5,68.7,86.9,-12.6,22.1,0.0,0.0,78.9,17.0,83.4,64.8,80.6,96.2", typical, ",");
    nedges = split("8Y,8,8.5,9Y 0M,11Y,11.0,14Y,14.5,0Y 5M,-3,abc,0,30Y 11M", edge, ",");
    for (i = 1; i <= n; i++) {
        line = sprintf("%d", 20000 + i);
        for (k = 1; k <= 38; k++) {
            if (i % 2) v = demo[k] + (rand() * 16 - 8);
            else v = (k == 31 || k == 32) ? 0 : typical[k] + (rand() * 6 - 3);
            line = line sprintf(",%.1f", v);
        }
        band = i % 7;
        if (band == 0) age = "";
        else if (band == 1) age = sprintf("%dY %dM", 4 + int(rand() * 5), int(rand() * 12));
        else if (band == 2) age = sprintf("%dY %dM", 8 + int(rand() * 3), int(rand() * 12));
        else if (band == 3) age = sprintf("%dY %dM", 11 + int(rand() * 3), int(rand() * 12));
        else if (band == 4) age = sprintf("%dY %dM", 14 + int(rand() * 46), int(rand() * 12));
        else age = edge[1 + int(rand() * nedges)];
        figure = (i % 11 == 0) ? sprintf(",%d,%d,%d", 1 + int(rand() * 3), int(rand() * 400) - 200, int(rand() * 400) - 200) : "";
        printf "%s,0,%s%s\r\n", line, age, figure;
    }
}' >"$scratch/good-tracings"

# Lines that are tracings only in name: every landmark on S, N on S, all in one row,
# and landmarks just inside the 1000 mm limit. They are record lines, so import stores
# them and figure and report draw them, whatever they make of them.
odd_line() {  # odd_line CODE X Y X Y ... (38 coordinates) AGE
    local code=$1
    shift
    local IFS=,
    local age=${*: -1}
    printf '%s,%s,0,%s\r\n' "$code" "${*:1:38}" "$age"
}
# shellcheck disable=SC2046  # the coordinates are words
{
    odd_line 30101 $(printf '0 %.0s' {1..38}) 12Y
    odd_line 30102 0 0 62 25 75 45 72 52 66 58 74 74 71 72 62 92 66 95 68 112 65 118 60 120 \
        10 90 -5 35 -10 22 0 0 25 48 40 72 42 74 9Y
    odd_line 30103 $(for k in {1..19}; do printf '%d 0 ' $((k * 7)); done) 15Y
    odd_line 30104 999.9 0 62 25 75 45 72 52 66 58 74 74 71 72 62 92 66 95 68 112 65 118 60 120 \
        10 90 -5 35 -10 22 0 0 25 48 40 72 0 -999.9 40Y
} >"$scratch/odd-tracings"

# Lines no tracing can be read from, each alone: analyse tells each one, import
# refuses the whole file.
good="70.0,0.0,62.0,25.0,75.0,45.0,72.0,52.0,66.0,58.0,74.0,74.0,71.0,72.0,62.0,92.0,66.0,95.0,68.0,112.0,65.0,118.0,60.0,120.0,10.0,90.0,-5.0,35.0,-10.0,22.0,0.0,0.0,25.0,48.0,40.0,72.0,42.0"
{
    printf '30001,%s,9e30,0,12Y 1M\r\n' "$good"
    printf '30002,%s,nan,0,9Y\r\n' "$good"
    printf '30003,%s,1000.1,0,9Y\r\n' "$good"
    printf '30004,%s,inf,0,9Y\r\n' "$good"
    printf '30005,%s,1e39,0,9Y\r\n' "$good"
    printf '30006,%s,abc,0,9Y\r\n' "$good"
    printf '30007,%s,,0,9Y\r\n' "$good"
    printf '30008,%s,0,9Y\r\n' "$good"
    printf '30009,%s,74.0,0,9Y,1,2\r\n' "$good"
    printf '30010,%s,74.0,0,9Y,x,0,0\r\n' "$good"
    printf '\r\n'
    printf '30011\r\n'
    printf '30012,%s,74.0,0\r' "$good"
    printf '30013,%s,74.0,0,10Y\n' "$good"
} >"$scratch/bad-tracings"
cat "$scratch/good-tracings" "$scratch/odd-tracings" "$scratch/bad-tracings" >"$scratch/tracings"

# A practice's own error table that is no table.
printf '1\tS\tnot a number\n' >"$scratch/bad-error-model.tsv"

# Two copies of each data folder, one per side, so that what one writes cannot be read
# by the other. Every generated patient gets a hand-off: odd ones male, written the
# ways the suite writes them.
for side in a b; do
    mkdir -p "$scratch/$side/made" "$scratch/$side/odd"
    cp -r "$root/data/demo" "$scratch/$side/demo"
    cp "$scratch"/*tracings "$scratch/bad-error-model.tsv" "$scratch/$side/"
done
for ((i = 1; i <= patients; i++)); do
    code=$((20000 + i))
    case $((i % 4)) in
        1) sex="M" ;;
        3) sex=" m" ;;
        0) sex="F" ;;
        2) sex="" ;;
    esac
    printf 'Patient %d\r\n%d\r\n0%02d0%d1%d\r\n%s\r\n' "$i" "$code" $((60 + i % 40)) \
        $((1 + i % 9)) $((i % 3)) "$sex" >"$scratch/a/made/$code.tmp"
done
for code in 30101 30102 30103 30104; do
    printf '畸形\r\n%d\r\n0650315\r\nM\r\n' "$code" >"$scratch/a/odd/$code.tmp"
done
cp "$scratch"/a/made/*.tmp "$scratch/b/made/"
cp "$scratch"/a/odd/*.tmp "$scratch/b/odd/"

run() {  # run SIDE COMMAND...: SIDE's cephtool in SIDE's folder, standard input from
    # $input (or nothing); its output, errors and exit status in SIDE/out.N, err.N and
    # status.N
    local side=$1
    shift
    local -a launch=()
    if [ -n "${wine[$side]:-}" ]; then launch=(wine); fi
    local status=0
    (cd "$scratch/$side" &&
        "${launch[@]}" "${exe[$side]}" "$@" <"${input:-/dev/null}" >"out.$step" 2>"err.$step") ||
        status=$?
    echo "$status" >"$scratch/$side/status.$step"
    if [ -n "${wine[$side]:-}" ]; then
        # Messages name files with the system's own separator.
        sed -i 's#\\#/#g' "$scratch/$side/out.$step" "$scratch/$side/err.$step"
    fi
}

step=0
compared=0
failed=0
different() {  # different WHAT FILE
    echo "DIFFERENT  $1 ($2)"
    failed=$((failed + 1))
}
same() {  # same WHAT FILE...: the files (relative to each side) must be byte for byte equal
    local what=$1
    shift
    compared=$((compared + 1))
    local f
    for f in "$@"; do
        if ! cmp -s "$scratch/a/$f" "$scratch/b/$f"; then
            different "$what" "$f"
            return
        fi
    done
    echo "same       $what"
}
both() {  # both WHAT ARGS...: run on both sides, compare standard output, errors, status
    step=$((step + 1))
    local what=$1
    shift
    run a "$@"
    run b "$@"
    same "$what" "out.$step" "err.$step" "status.$step"
}
# A page or figure picture: the same bytes, or else the same pixels. Text on a page is
# drawn by each system's FreeType (Debian's on Linux, Qt's own copy on Windows), whose
# grey edges of glyphs differ slightly; only with Wine on a side is that let through.
same_picture() {  # same_picture WHAT FILE [glyphs]
    local what=$1 f=$2 glyphs=${3:-}
    compared=$((compared + 1))
    if cmp -s "$scratch/a/$f" "$scratch/b/$f"; then
        echo "same       $what"
        return
    fi
    if [ ! -s "$scratch/a/$f" ] || [ ! -s "$scratch/b/$f" ]; then
        different "$what" "$f"
        return
    fi
    if [ "$(compare -metric AE "$scratch/a/$f" "$scratch/b/$f" null: 2>&1)" = 0 ]; then
        echo "same       $what (pixels; the files' bytes differ)"
    elif [ -n "$glyphs" ] && [ -n "${wine[a]:-}${wine[b]:-}" ] &&
        [ "$(compare -metric AE -fuzz 15% "$scratch/a/$f" "$scratch/b/$f" null: 2>&1)" = 0 ]; then
        echo "same       $what, but for the grey edges of glyphs"
    else
        compare "$scratch/a/$f" "$scratch/b/$f" "$scratch/diff-${f//\//-}" 2>/dev/null || true
        different "$what" "$f; diff-${f//\//-}"
    fi
}
# A PDF page: the same text; between two Linux programs also the same page when drawn
# (the files themselves hold their time of making).
same_pdf() {  # same_pdf WHAT FILE
    local what=$1 f=$2 side page pages
    for side in a b; do
        pdftotext -layout "$scratch/$side/$f" "$scratch/$side/$f.txt" 2>/dev/null || true
    done
    same "$what: text" "$f.txt"
    if [ -z "${wine[a]:-}${wine[b]:-}" ]; then
        for side in a b; do
            rm -f "$scratch/$side/$f"-*.png
            pdftoppm -r 60 -png "$scratch/$side/$f" "$scratch/$side/$f" 2>/dev/null || true
        done
        pages=$(cd "$scratch/a" && ls "$f"-*.png 2>/dev/null || true)
        if [ -z "$pages" ]; then
            compared=$((compared + 1))
            different "$what: drawn" "$f"
            return
        fi
        for page in $pages; do
            same_picture "$what: drawn ($page)" "$page"
        done
    fi
}

demo=(--data demo --handoff demo/OutExe.tmp)

echo "-- analyse"
both "analyse of the demo's record files" analyse --header demo/ceph-1 demo/ceph-2
both "analyse of generated tracings" analyse tracings
both "analyse of generated tracings as women" analyse --sex F --header tracings
both "analyse of generated tracings as men" analyse --sex M tracings
input=$scratch/tracings both "analyse of standard input" analyse --sex M -
both "analyse with uncertainty" analyse --uncertainty --draws 300 --seed 7 demo/ceph-1
both "analyse with uncertainty, odd tracings" analyse --uncertainty --draws 200 odd-tracings
both "analyse with a faulty error table" analyse --uncertainty --error-model bad-error-model.tsv \
    demo/ceph-1
both "analyse of a missing file and a folder" analyse demo/ceph-1 nowhere demo demo/ceph-2
both "the named analyses" analyses
both "Steiner of generated tracings as men" analyse --analysis steiner --sex M --header tracings
both "McNamara of the demo" analyse --analysis mcnamara --header demo/ceph-1 demo/ceph-2
both "an analysis that does not exist" analyse --analysis ricketts demo/ceph-1

echo "-- import and export"
both "export of the demo" export --data demo --out demo.csv
both "export of the demo by Downs" export --data demo --analysis downs --out downs.csv
same "Downs export" downs.csv
same "export's file" demo.csv
both "import refusing a bad file" import --data made --tracing 2 tracings
both "import of generated tracings" import --data made --tracing 3 good-tracings
same "records written by import" made/ceph-3
[ -s "$scratch/a/made/ceph-3" ] || different "import stored nothing" made/ceph-3
both "import of the same tracings again" import --data made --tracing 3 good-tracings
same "records rewritten by import" made/ceph-3
both "import of odd tracings" import --data odd --tracing 1 odd-tracings
same "odd records written by import" odd/ceph-1
both "export of the imported tracings as men" export --data made --sex M
both "export with the hand-offs' sexes" export --data made --handoff-dir made --out made.csv
same "export's file with the hand-offs' sexes" made.csv
both "export of odd tracings" export --data odd --handoff-dir odd

echo "-- figure"
# Each structure, moved one way or several, in order; the extremes of a step too.
moves=(
    ""
    "--select 0 --turn 5 --shift-x 30 --select 8 --shift-y -45"
    "--select 1 --turn -10 --turn -10"
    "--select 2 --shift-x -200 --shift-y 150"
    "--select 3 --turn 45"
    "--select 4 --shift-y 300 --turn -3"
    "--select 5 --shift-x 60"
    "--select 6 --turn 20 --select 7 --turn -20"
    "--turn 7"
    "--select 8 --turn 2147483647"
    "--select 8 --shift-x -2147483648 --shift-y 2147483647"
)
for k in "${!moves[@]}"; do
    # shellcheck disable=SC2086  # the steps are words
    both "figure of the demo ${moves[$k]:-unmoved}" figure "${demo[@]}" --tracing 1 \
        ${moves[$k]} --out "fig$k.svg"
    same "figure's SVG ${moves[$k]:-unmoved}" "fig$k.svg"
done
both "figure of tracing 2 as PNG" figure "${demo[@]}" --tracing 2 --out fig2.png
same_picture "figure's PNG" fig2.png
both "figure moved, as PNG" figure "${demo[@]}" --tracing 1 ${moves[3]} --out moved.png
same_picture "moved figure's PNG" moved.png
for code in 20001 20002 20011 20022 20100; do
    [ -e "$scratch/a/made/$code.tmp" ] || continue
    both "figure of patient $code" figure --data made --handoff "made/$code.tmp" --tracing 3 \
        --select 7 --turn 3 --out "fig-$code.svg"
    same "figure's SVG of patient $code" "fig-$code.svg"
done
for code in 30101 30102 30103 30104; do
    both "figure of odd tracing $code" figure --data odd --handoff "odd/$code.tmp" --tracing 1 \
        --select 4 --turn 10 --out "fig-$code.svg"
    same "figure's SVG of odd tracing $code" "fig-$code.svg"
done

echo "-- report"
both "report of the demo as PDF" report "${demo[@]}" --tracing 1 --line 2 --out page.pdf
same_pdf "report's PDF" page.pdf
both "report of tracing 2 at the top as PDF" report "${demo[@]}" --tracing 2 --line 0 \
    --out page2.pdf
same_pdf "report's PDF of tracing 2" page2.pdf
both "full report of the demo as PDF" report "${demo[@]}" --tracing 2 --full \
    --analysis bjork-jarabak --out full.pdf
same_pdf "full report's PDF" full.pdf
both "report of the demo as PNG" report "${demo[@]}" --tracing 1 --out page.png
same_picture "report's PNG" page.png glyphs
both "report at the bottom as PNG" report "${demo[@]}" --tracing 2 --line 5 --out page5.png
same_picture "report's PNG at the bottom" page5.png glyphs
for code in 20003 20004; do
    [ -e "$scratch/a/made/$code.tmp" ] || continue
    both "report of patient $code" report --data made --handoff "made/$code.tmp" --tracing 3 \
        --out "page-$code.pdf"
    same_pdf "report's PDF of patient $code" "page-$code.pdf"
done
both "report of odd tracing 30101" report --data odd --handoff odd/30101.tmp --tracing 1 \
    --out page-30101.png
same_picture "report's PNG of odd tracing 30101" page-30101.png glyphs

echo "-- suggest"
# The demo's model on the demo's film: the same trees and the same arithmetic on both
# sides, so the same pixels to the tenth.
if [ -f "$scratch/a/demo/landmark-model.dat" ]; then
    both "suggestions on the demo's film" suggest --model demo/landmark-model.dat \
        demo/pictures/10234_3.jpg
    both "suggestions at a given scale" suggest --model demo/landmark-model.dat --spacing 0.12 \
        demo/pictures/10234_3.jpg
    both "a picture that cannot be read" suggest --model demo/landmark-model.dat \
        demo/OutExe.tmp
fi

echo "-- faults"
both "no command"
both "help" --help
both "version" --version
both "a command's help" figure --help
both "unknown option" analyse --bogus demo/ceph-1
both "repeated option" report "${demo[@]}" --tracing 1 --tracing 2 --out x.pdf
both "missing value" figure "${demo[@]}" --tracing
both "number out of range" figure "${demo[@]}" --tracing 1 --select 9 --out x.svg
both "number not whole" report "${demo[@]}" --tracing +1 --out x.pdf
both "bad sex" export --data demo --sex X
both "tracing out of range" import --data made --tracing 10 good-tracings
both "tracing not stored" figure "${demo[@]}" --tracing 5 --out x.svg
both "report of a tracing not stored" report "${demo[@]}" --tracing 9 --out x.pdf
both "missing data folder" report --data nowhere --handoff demo/OutExe.tmp --tracing 1 \
    --out x.pdf
both "missing hand-off" figure --data demo --handoff nowhere.tmp --tracing 1 --out x.svg
both "unknown kind of output" figure "${demo[@]}" --tracing 1 --out x.txt
both "output into a missing folder" report "${demo[@]}" --tracing 1 --out nowhere/x.pdf
both "export into a missing folder" export --data demo --out nowhere/x.csv

echo "$compared compared, $failed different"
if [ "$failed" -gt 0 ]; then
    kept=yes
    echo "outputs kept in $scratch (a/ = ${exe[a]}, b/ = ${exe[b]})"
    exit 1
fi
