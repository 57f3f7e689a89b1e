#!/usr/bin/env bash
# Makes packaging/windows/readceph.ico, the icon of readceph.exe and of its installer,
# from the drawing packaging/org.readceph.ReadCeph.svg: 16, 24, 32, 48 and 64 pixels
# as bitmaps and 256 as PNG, the sizes Windows picks from. Run it after changing the
# drawing, look at the result, and commit it.
#
#   scripts/windows-icon.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" --only librsvg2-bin icoutils

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# librsvg, not ImageMagick's own SVG reader: that one fills the open jaw line.
for size in 16 24 32 48 64 256; do
    rsvg-convert -w "$size" -h "$size" "$root/packaging/org.readceph.ReadCeph.svg" \
        -o "$work/icon-$size.png"
done
icotool -c -o "$root/packaging/windows/readceph.ico" "$work"/icon-{16,24,32,48,64}.png \
    -r "$work/icon-256.png"
icotool -l "$root/packaging/windows/readceph.ico"
