#!/usr/bin/env bash
# Shows that scripts/same-output.sh's comparisons see a change of behaviour: each is
# run between a build and the same build behind a small fault, and must name what the
# fault changed, and only that.
#
#   scripts/same-output-test.sh [BUILD_DIR]     (default: build/same-new, as
#                                                scripts/same-output.sh leaves it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$(realpath "${1:-build/same-new}")
work=$(mktemp -d)
failed=0
# Kept when something failed, to look at.
trap 'if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "kept in $work"; fi' EXIT
expect() {  # expect WHAT PATTERN LOG: LOG must hold a line matching PATTERN
    if grep -q -- "$2" "$3"; then
        echo "ok      $1"
    else
        echo "FAILED  $1: no line like \"$2\" in $3"
        failed=1
    fi
}
refute() {  # refute WHAT PATTERN LOG: LOG must hold no line matching PATTERN
    if grep -q -- "$2" "$3"; then
        echo "FAILED  $1: \"$(grep -m1 -- "$2" "$3")\""
        failed=1
    else
        echo "ok      $1"
    fi
}

# A cephtool that reports a failure as success, and one that reads --sex F as male.
cat >"$work/status-lost" <<EOS
#!/bin/sh
"$build/src/cephtool" "\$@"
s=\$?
[ \$s -eq 1 ] && exit 0
exit \$s
EOS
cat >"$work/sex-swapped" <<EOS
#!/bin/bash
args=("\$@")
for i in "\${!args[@]}"; do [ "\${args[i]}" = F ] && args[i]=M; done
exec "$build/src/cephtool" "\${args[@]}"
EOS
# A readceph on a tracing moved by a tenth of a millimetre (one coordinate of N).
cat >"$work/moved-tracing" <<EOS
#!/bin/sh
sed -i '1s/^10234,70.0,/10234,70.1,/' ceph-1
exec "$build/src/readceph" "\$@"
EOS
chmod +x "$work"/status-lost "$work"/sex-swapped "$work"/moved-tracing

PATIENTS=40 scripts/cephtool-compare.sh "$build/src/cephtool" "$work/status-lost" \
    >"$work/status.log" 2>&1 || true
expect "a lost failure status is seen" "^DIFFERENT  analyse of generated tracings (status" \
    "$work/status.log"
refute "a lost failure status changes nothing that succeeds" "DIFFERENT  figure of the demo" \
    "$work/status.log"
PATIENTS=40 scripts/cephtool-compare.sh "$build/src/cephtool" "$work/sex-swapped" \
    >"$work/sex.log" 2>&1 || true
expect "norms of the wrong sex are seen" "^DIFFERENT  analyse of generated tracings as women" \
    "$work/sex.log"
refute "norms of the wrong sex leave the men alone" "DIFFERENT  analyse of generated tracings as men" \
    "$work/sex.log"

# Two sessions at once on displays of their own, as scripts/same-output.sh runs them.
displays=()
for ((d = 94; ${#displays[@]} < 2 && d < 199; d++)); do
    [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ] || displays+=("$d")
done
scripts/window-shots.sh "$build/src/readceph" "$work/plain" "${displays[0]}" \
    >"$work/plain.log" 2>&1 &
plain=$!
scripts/window-shots.sh "$work/moved-tracing" "$work/moved" "${displays[1]}" \
    >"$work/moved.log" 2>&1 &
wait "$!"
wait "$plain"
scripts/same-shots.sh "$work/plain" "$work/moved" "$work/differences" >"$work/shots.log" || true
cat "$work/shots.log"
expect "the moved tracing's report is seen" "^DIFFERENT  c-report: [0-9]* pixels within" \
    "$work/shots.log"
expect "the moved tracing's record is seen" "^DIFFERENT  the data folder" "$work/shots.log"
expect "the start-up bar is the same" "^same       a-startup" "$work/shots.log"
expect "the new tracing's calibration panel is the same" "^same       e-calibration" \
    "$work/shots.log"
[ -s "$work/differences/c-report.diff.png" ] || {
    echo "FAILED  no picture of the difference"
    failed=1
}
exit "$failed"
