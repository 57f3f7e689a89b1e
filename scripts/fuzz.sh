#!/usr/bin/env bash
# A real fuzzing campaign on one target: scripts/fuzz.sh TARGET SECONDS
# Builds the libFuzzer programs (the "fuzz" preset, clang), then runs TARGET for
# SECONDS on a working corpus under build/fuzz/work/TARGET, seeded from the committed
# corpus in tests/fuzz/corpus/TARGET. Inputs that crash, leak or time out are saved
# under build/fuzz/artifacts/TARGET; once the fault is mended, add them to the
# committed corpus so that every test run replays them. Targets: record_reader handoff
# settings numbers analyse error_model analysis_table film_positions landmark_model
# landmark_suggest (where dlib is built); the pictures' own decoders jpeg dicom tiff
# (without Qt); bmp png (through Qt's readers).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 2 || ! "$2" =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
    exit 2
fi
target=$1
seconds=$2
seeds=tests/fuzz/corpus/$target
if [[ ! -d $seeds ]]; then
    echo "scripts/fuzz.sh: no target \"$target\" (no folder $seeds)" >&2
    exit 2
fi

scripts/install-deps.sh --with-fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "fuzz_$target" >/dev/null

work=build/fuzz/work/$target
artifacts=build/fuzz/artifacts/$target
mkdir -p "$work" "$artifacts"
# Qt's readers (bmp, png) decode into QImage, which needs no display.
export QT_QPA_PLATFORM=offscreen
exec "build/fuzz/tests/fuzz/fuzz_$target" "$work" "$seeds" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$artifacts/"
