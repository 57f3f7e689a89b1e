#!/usr/bin/env bash
# Drives the real window through one fixed session on a copy of the demo patient and
# keeps a picture of the screen at each step, for scripts/same-output.sh to compare
# between two builds pixel for pixel.
#
#   scripts/window-shots.sh READCEPH OUT_DIR DISPLAY_NUMBER
#
# It starts its own Xvfb (1024x768, 96 dpi) with openbox on :DISPLAY_NUMBER, runs
# READCEPH OutExe.tmp in OUT_DIR/demo (a fresh copy of data/demo) with a bare
# environment, and writes OUT_DIR/NAME.png for each step below (a-startup …
# f-finished-report), the data folder as the session left it (OUT_DIR/demo), and the
# steps whose screen did not settle or change (OUT_DIR/unsteady, OUT_DIR/unchanged).
# The clicks are at fixed places in the window, found by looking at it: the window's
# geometry is the program's own, in twips, and the screen has 96 dpi.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 3 ]; then
    echo "usage: $0 READCEPH OUT_DIR DISPLAY_NUMBER" >&2
    exit 2
fi
readceph=$(realpath "$1")
out=$2
num=$3
if [ -e "/tmp/.X$num-lock" ] || [ -e "/tmp/.X11-unix/X$num" ]; then
    echo "$0: display :$num is taken" >&2
    exit 2
fi
rm -rf "$out"
mkdir -p "$out/home" "$out/runtime"
chmod 700 "$out/runtime"
out=$(realpath "$out")
cp -r "$root/data/demo" "$out/demo"
export DISPLAY=":$num"

pids=()
finish() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap finish EXIT

# The same bare environment every time: no settings of the caller's desktop, style or
# scaling reach Qt or openbox.
bare=(env -i PATH=/usr/bin:/bin HOME="$out/home" XDG_RUNTIME_DIR="$out/runtime"
    DISPLAY="$DISPLAY" LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC)

Xvfb "$DISPLAY" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset \
    >"$out/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdpyinfo >/dev/null 2>&1; then
    echo "$0: Xvfb did not start on $DISPLAY (see $out/xvfb.log)" >&2
    exit 1
fi
"${bare[@]}" openbox --sm-disable >"$out/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

(cd "$out/demo" && exec "${bare[@]}" "$readceph" OutExe.tmp) >"$out/readceph.log" 2>&1 &
app=$!
pids=("$app" "${pids[@]}")

# The screen as raw pixels (a PNG would carry the time it was made).
grab() { import -window root -depth 8 "rgb:$1"; }
cpu() { awk '{ print $14 + $15 }' "/proc/$app/stat" 2>/dev/null || echo 0; }
png() { convert -size 1024x768 -depth 8 "rgb:$1" -strip "$2"; }

# settle NAME: waits until the screen has changed from the last settled one and has
# then settled, and keeps it as NAME.png. Settled is either still (the same over four
# pictures about 0.4 s apart, over a second, while the program uses no processor
# time), or blinking (the landmark arrow of the guide changes colour every half
# second): two pictures taking turns at least three times over seven, the program
# nearly idle. A blinking screen is kept as both pictures, NAME.png and NAME~.png (in
# the order of their contents, as neither comes first). A screen that does neither
# within half a minute is kept as it is and NAME is listed in OUT_DIR/unsteady; one
# that never changes, in OUT_DIR/unchanged.
last=()
settle() {
    local name=$1 grabs="$out/grabs" h i n k first=-1 distinct turns
    local -a hashes=() cpus=()
    mkdir -p "$grabs"
    for ((i = 0; i < 80; i++)); do
        sleep 0.2
        grab "$grabs/now.rgb"
        h=$(md5sum <"$grabs/now.rgb")
        h=${h%% *}
        mv "$grabs/now.rgb" "$grabs/$h.rgb"
        hashes+=("$h")
        cpus+=("$(cpu)")
        n=${#hashes[@]}
        if [ "$first" -lt 0 ]; then
            if [[ " ${last[*]} " == *" $h "* ]]; then
                # Still the screen before the step; after ten seconds it is taken as
                # what the step shows.
                [ "$n" -lt 25 ] && continue
                echo "$name" >>"$out/unchanged"
            fi
            first=$((n - 1))
        fi
        if [ $((n - first)) -ge 4 ] && [ "${hashes[n - 1]}" = "${hashes[n - 4]}" ] &&
            [ "${hashes[n - 2]}" = "${hashes[n - 1]}" ] && [ "${hashes[n - 3]}" = "${hashes[n - 1]}" ] &&
            [ "${cpus[n - 1]}" = "${cpus[n - 4]}" ]; then
            last=("$h")
            png "$grabs/$h.rgb" "$out/$name.png"
            rm -rf "$grabs"
            return
        fi
        if [ $((n - first)) -ge 7 ] && [ $((cpus[n - 1] - cpus[n - 7])) -le 3 ]; then
            distinct=$(printf '%s\n' "${hashes[@]:n-7}" | sort -u)
            turns=0
            for ((k = n - 6; k < n; k++)); do
                [ "${hashes[k]}" = "${hashes[k - 1]}" ] || turns=$((turns + 1))
            done
            if [ "$(wc -l <<<"$distinct")" -eq 2 ] && [ "$turns" -ge 3 ]; then
                mapfile -t last <<<"$distinct"
                png "$grabs/${last[0]}.rgb" "$out/$name.png"
                png "$grabs/${last[1]}.rgb" "$out/$name~.png"
                rm -rf "$grabs"
                return
            fi
        fi
    done
    echo "$name" >>"$out/unsteady"
    last=("$h")
    png "$grabs/$h.rgb" "$out/$name.png"
    rm -rf "$grabs"
}

# quiet: waits until the program has used no processor time for half a second, for a
# step whose screen is not kept (a caret blinks in it).
quiet() {
    local t0 t1
    sleep 0.3
    t0=$(cpu)
    for _ in $(seq 40); do
        sleep 0.5
        t1=$(cpu)
        [ "$t0" = "$t1" ] && return
        t0=$t1
    done
}

window=$(timeout 60 xdotool search --sync --onlyvisible --name '側頭顱分析' | head -n 1) || true
if [ -z "$window" ]; then
    echo "$0: no window of $readceph within a minute" >&2
    exit 1
fi
click() {  # click X Y: a left click at X, Y of the window's inside (0, 0 under the frame)
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

# a: the start-up bar, as the suite leaves it.
settle a-startup
# b: the read menu opened (讀取... lists the stored tracings).
click 74 11
settle b-read-menu
# c: tracing 1 read: the report of its 37 measurements.
click 100 63
settle c-report
# d: the report with the schematic figure (讀取... > 使用圖形).
click 74 11
settle d0-read-menu-again
click 105 36
settle d-report-figure
# d2: the chin chosen in the figure's list and turned once by a click on its bar.
click 594 199
settle d1-chin-chosen
click 590 225
settle d2-chin-turned
# e: a new tracing 3 (輸入... > 第 3 張) on its own radiograph, the 19 landmarks
# clicked, and the calibration panel that follows.
click 170 11
settle e0-input-menu
click 196 86
settle e1-digitising
n=0
for p in 300,120 420,110 440,160 450,230 460,260 440,330 420,360 400,380 260,320 230,250 \
    225,200 380,180 455,250 440,320 220,190 290,130 480,150 490,260 470,350; do
    n=$((n + 1))
    click "${p%,*}" "${p#*,}"
    # The clicks reach the program in order and far apart (never a double click), so
    # only the last screen needs to be waited for.
    [ "$n" -eq 19 ] || quiet
done
settle e-calibration
# f: an S-N length of 70 mm typed, the tracing finished and stored, its report shown
# with the figure over the radiograph; then a click on the figure aligns the
# radiograph there and stores the alignment in the record line. The click also takes
# the focus from the figure box finishing put it in, whose caret blinks: the steps in
# between are not kept.
click 50 391
xdotool key ctrl+a
xdotool type --delay 120 70
quiet
click 146 391
quiet
click 400 200
settle f-finished-report

rm -rf "$out/grabs"
finish
trap - EXIT
