#!/usr/bin/env bash
# Opening a grey 3000 x 3000 radiograph until it shows, against libjpeg-turbo's djpeg
# decoding the same file, timed in one run (picture_load_bench: medians of 9 interleaved
# repetitions). Fails when the load takes more than LIMIT (1.3) times djpeg's decoding.
#
#   bench/jpeg_load.sh [BUILD_DIR] [picture_load_bench flags]    (default build/release)
#   LIMIT=1.2 bench/jpeg_load.sh
#   bench/jpeg_load.sh build/release --jpeg=/path/to/radiograph.jpg
#   bench/jpeg_load.sh build/release --fresh_memory
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
if [[ $# -gt 0 && -d "$1" ]]; then build=$1; shift; fi
exe=$build/bench/picture_load_bench
[[ -x "$exe" ]] || { echo "missing $exe: build the release preset" >&2; exit 2; }

if ! command -v djpeg >/dev/null; then
    echo "djpeg is missing: installing libjpeg-turbo-progs" >&2
    sudo=""
    if [[ "$(id -u)" -ne 0 ]]; then sudo=sudo; fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
        libjpeg-turbo-progs >&2
fi
exec "$exe" --max_ratio="${LIMIT:-1.3}" "$@"
