#!/usr/bin/env bash
# Shows that the working tree behaves exactly as an earlier revision: for a change of
# the code's shape that must change nothing a user or the practice suite can see.
#
#   scripts/same-output.sh [BASE_REV [NEW_REV]]     (BASE_REV: c89d4cf; NEW_REV: the
#                                                    working tree as it is)
#
# It builds BASE_REV in a worktree /tmp/same-base-REV (kept and reused) and the working
# tree in build/same-new (or NEW_REV in a worktree /tmp/same-new-REV), both with the
# dev preset and ccache, readceph and cephtool only; then compares
#   - the two cephtools: analyse, export, import, figure, report, their messages and
#     exit statuses, on the demo patient and a few hundred generated tracings
#     (scripts/cephtool-compare.sh);
#   - the two windows, pixel for pixel: one fixed session of clicks under Xvfb on a
#     copy of the demo patient (scripts/window-shots.sh), each build on a display of
#     its own, the base build a second time to show the session itself is repeatable;
#     and the data folders each session left behind, byte for byte.
# Prints what differs and where (scripts/same-shots.sh compares the sessions), keeps
# the evidence in build/same-new/results, and ends with status 0 only when everything
# is the same. Both window sessions must run on the same day: the program shows ages
# as of today.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
base_rev=${1:-c89d4cf}
new_rev=${2:-}
jobs=$(nproc 2>/dev/null || echo 2)
results="$root/build/same-new/results"
start=$(date +%s)

say() { echo "== $*"; }
seconds_since() { echo $(($(date +%s) - $1)); }

for tool in cmake ninja ccache Xvfb openbox xdotool xdpyinfo xprop import compare convert \
    pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || missing="${missing:-} $tool"
done
if [ -n "${missing:-}" ]; then
    echo "missing:$missing (scripts/install-deps.sh --only xvfb openbox xdotool" \
        "x11-utils imagemagick poppler-utils ccache)" >&2
    exit 2
fi

# worktree REV DIR: DIR is a worktree of this repository at REV, made or moved there.
worktree() {
    local rev=$1 dir=$2
    if [ -e "$dir" ]; then
        if [ "$(git -C "$dir" rev-parse --show-toplevel 2>/dev/null)" != "$dir" ]; then
            echo "$dir is there but no worktree of this repository; move it away" >&2
            exit 2
        fi
        if [ "$(git -C "$dir" rev-parse HEAD)" != "$rev" ]; then
            git -C "$dir" checkout --quiet --detach "$rev"
        fi
    else
        git worktree add --quiet --detach "$dir" "$rev"
    fi
}

# build SOURCE BUILD_DIR: readceph and cephtool, the dev preset, through ccache.
build() {
    (cd "$1" && cmake --preset dev -B "$2" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null)
    nice cmake --build "$2" --target readceph cephtool -j "$jobs" >"$2/same-output-build.log" 2>&1 || {
        tail -n 30 "$2/same-output-build.log" >&2
        echo "the build in $2 failed (all of it in $2/same-output-build.log)" >&2
        return 1
    }
}

base=$(git rev-parse --verify --quiet "$base_rev^{commit}") || {
    echo "no such revision: $base_rev" >&2
    exit 2
}
base_src="/tmp/same-base-${base:0:7}"
if [ -n "$new_rev" ]; then
    new=$(git rev-parse --verify --quiet "$new_rev^{commit}") || {
        echo "no such revision: $new_rev" >&2
        exit 2
    }
    new_src="/tmp/same-new-${new:0:7}"
    new_build="$new_src/build/dev"
    new_name=${new:0:7}
else
    new_src=$root
    new_build="$root/build/same-new"
    new_name="the working tree ($(git rev-parse --short HEAD)$(git diff --quiet HEAD 2>/dev/null ||
        echo ', changed'))"
fi

t=$(date +%s)
say "building ${base:0:7} in $base_src/build/dev"
worktree "$base" "$base_src"
build "$base_src" "$base_src/build/dev"
say "building $new_name in ${new_build#"$root"/}"
[ -z "$new_rev" ] || worktree "$new" "$new_src"
build "$new_src" "$new_build"
build_time=$(seconds_since "$t")

rm -rf "$results"
mkdir -p "$results"
a_tool="$base_src/build/dev/src/cephtool" b_tool="$new_build/src/cephtool"
a_window="$base_src/build/dev/src/readceph" b_window="$new_build/src/readceph"
problems=()

t=$(date +%s)
say "cephtool of ${base:0:7} (a/) against $new_name (b/)"
status=0
PATIENTS=${PATIENTS:-300} WORK="$results/cephtool" scripts/cephtool-compare.sh "$a_tool" "$b_tool" \
    >"$results/cephtool.log" 2>&1 || status=$?
grep -v '^same' "$results/cephtool.log" | grep -v '^--' || true
if [ "$status" -ne 0 ]; then
    problems+=("cephtool: $(tail -n 2 "$results/cephtool.log" | head -n 1)")
else
    rm -rf "$results/cephtool"
fi
cephtool_summary=$(grep -E '^[0-9]+ compared' "$results/cephtool.log" || echo "did not finish")
cephtool_time=$(seconds_since "$t")

# Displays of our own: the first free ones from :91, never :77.
displays=()
for ((d = 91; ${#displays[@]} < 3 && d < 199; d++)); do
    [ "$d" -eq 77 ] && continue
    [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ] || displays+=("$d")
done

t=$(date +%s)
say "the window: the same session with each build, on :${displays[0]}, :${displays[1]} and" \
    ":${displays[2]} (the base twice), at once"
shots="$results/window"
declare -A session=()
scripts/window-shots.sh "$a_window" "$shots/base" "${displays[0]}" >"$results/base.log" 2>&1 &
session[base]=$!
scripts/window-shots.sh "$b_window" "$shots/new" "${displays[1]}" >"$results/new.log" 2>&1 &
session[new]=$!
scripts/window-shots.sh "$a_window" "$shots/base-again" "${displays[2]}" \
    >"$results/base-again.log" 2>&1 &
session[base-again]=$!
for s in base new base-again; do
    if ! wait "${session[$s]}"; then
        problems+=("the window session $s failed: $(tail -n 1 "$results/$s.log")")
    fi
done
window_time=$(seconds_since "$t")

# compare_sessions ONE TWO LABEL WHAT-IF-DIFFERENT: the two sessions' screens and data.
compare_sessions() {
    local status=0
    scripts/same-shots.sh "$shots/$1" "$shots/$2" "$results/differences/$3" \
        >"$results/$3.log" || status=$?
    sed -n "s/^DIFFERENT  /DIFFERENT  $3: /p" "$results/$3.log"
    echo "$(grep -c '' "$results/$3.log") compared, $status different" >"$results/$3.summary"
    [ "$status" -eq 0 ] || problems+=("$4")
}
window_summary="did not run" repeat_summary="did not run"
if [ -d "$shots/base" ] && [ -d "$shots/new" ] && [ -d "$shots/base-again" ]; then
    compare_sessions base new base-new "the window: the builds' screens or data differ (above)"
    compare_sessions base base-again base-base \
        "the session is not repeatable: the same build gave different screens (above)"
    window_summary=$(cat "$results/base-new.summary")
    repeat_summary=$(cat "$results/base-base.summary")
    for f in "$shots"/*/unsteady "$shots"/*/unchanged; do
        if [ -e "$f" ]; then
            echo "note: $(basename "$(dirname "$f")"): steps $(basename "$f"): $(xargs <"$f")"
        fi
    done
fi

echo
say "summary: ${base:0:7} against $new_name"
echo "   cephtool             $cephtool_summary  (${cephtool_time} s)"
echo "   window, base/new     $window_summary  (${window_time} s for the sessions)"
echo "   window, base/base    $repeat_summary"
echo "   builds ${build_time} s, all $(seconds_since "$start") s; evidence in ${results#"$root"/}"
if [ ${#problems[@]} -gt 0 ]; then
    for p in "${problems[@]}"; do echo "   DIFFERENT: $p"; done
    exit 1
fi
echo "   everything the same"
