#!/usr/bin/env bash
# Compares two sessions of scripts/window-shots.sh: every step's screen pixel for
# pixel, which steps never settled or never changed, and the data folder each session
# left behind byte for byte. Prints one line per comparison; for a screen that
# differs, how many pixels and within which box of the screen, keeping both pictures
# and a picture of the difference in KEEP_DIR. The exit status is the number of
# differences (0: the same).
#
#   scripts/same-shots.sh ONE_DIR TWO_DIR KEEP_DIR
set -uo pipefail
if [ $# -ne 3 ]; then
    echo "usage: $0 ONE_DIR TWO_DIR KEEP_DIR" >&2
    exit 255
fi
one=$1 two=$2 keep=$3
failed=0
mkdir -p "$(dirname "$keep")"

# A blinking step is kept as NAME.png and NAME~.png in either order: each picture of
# one side must be among the other's.
among() {  # among PICTURE STEP_PREFIX: PICTURE is one of STEP_PREFIX.png, STEP_PREFIX~.png
    local g
    for g in "$2.png" "$2~.png"; do
        [ -e "$g" ] && [ "$(compare -metric AE "$1" "$g" null: 2>&1)" = 0 ] && return 0
    done
    return 1
}
count() { ls "$1.png" "$1~.png" 2>/dev/null | wc -l; }

steps=$(for f in "$one"/*.png "$two"/*.png; do
    [ -e "$f" ] || continue
    f=${f##*/}
    f=${f%.png}
    echo "${f%\~}"
done | sort -u)
for step in $steps; do
    n=$(count "$one/$step")
    ok=yes
    [ "$n" -gt 0 ] && [ "$n" -eq "$(count "$two/$step")" ] || ok=""
    for f in "$one/$step.png" "$one/$step~.png"; do
        [ -n "$ok" ] && [ -e "$f" ] && { among "$f" "$two/$step" || ok=""; }
    done
    if [ -n "$ok" ]; then
        echo "same       $step$([ "$n" -eq 2 ] && echo ' (blinking: both pictures)')"
        continue
    fi
    failed=$((failed + 1))
    if [ ! -e "$one/$step.png" ] || [ ! -e "$two/$step.png" ]; then
        echo "DIFFERENT  $step: only one session has it"
        continue
    fi
    mkdir -p "$keep"
    cp "$one/$step.png" "$keep/$step.one.png"
    cp "$two/$step.png" "$keep/$step.two.png"
    compare "$one/$step.png" "$two/$step.png" "$keep/$step.diff.png" 2>/dev/null
    pixels=$(compare -metric AE "$one/$step.png" "$two/$step.png" null: 2>&1)
    box=$(convert "$one/$step.png" "$two/$step.png" -compose difference -composite \
        -threshold 0 -format '%@' info: 2>/dev/null)
    echo "DIFFERENT  $step: $pixels pixels within ${box:-?} (WxH+X+Y on the screen;" \
        "$keep/$step.{one,two,diff}.png)"
done

for list in unsteady unchanged; do
    a=$(cat "$one/$list" 2>/dev/null | xargs)
    b=$(cat "$two/$list" 2>/dev/null | xargs)
    if [ "$a" != "$b" ]; then
        echo "DIFFERENT  steps that $list: ${a:-none} / ${b:-none}"
        failed=$((failed + 1))
    fi
done

# What the session stored: the new tracing and its figure alignment, the calibration,
# the snapshot of the report.
if diff -r "$one/demo" "$two/demo" >"$keep.data.diff" 2>&1; then
    echo "same       the data folder after the session"
    rm -f "$keep.data.diff"
else
    echo "DIFFERENT  the data folder after the session ($keep.data.diff)"
    failed=$((failed + 1))
fi
exit "$failed"
