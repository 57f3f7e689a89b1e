#!/usr/bin/env bash
# Opening a 3000 x 3000 16-bit DICOM radiograph compressed with JPEG 2000, against GDCM's
# gdcmconv --raw decoding the same file, timed in one run (dicom_open_bench: medians of 5
# interleaved repetitions). Fails when the load takes more than LIMIT (1.5) times gdcmconv.
#
#   bench/dicom_open.sh [BUILD_DIR] [dicom_open_bench flags]    (default build/release)
#   LIMIT=1.2 bench/dicom_open.sh
#   bench/dicom_open.sh build/release --dicom=/path/to/radiograph.dcm
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [[ $# -gt 0 && -d "$1" ]]; then build=$1; shift; fi
exe=$build/bench/dicom_open_bench
[[ -x "$exe" ]] || { echo "missing $exe: build the release preset" >&2; exit 2; }

command -v gdcmconv >/dev/null || "$root/scripts/install-deps.sh" --with-bench >&2
exec "$exe" --max_ratio="${LIMIT:-1.5}" "$@"
