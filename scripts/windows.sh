#!/usr/bin/env bash
# The whole program for Windows in one command, on this Linux machine: Qt for Windows,
# the picture libraries (libtiff, GDCM) and DICOM's network library (DCMTK, OpenSSL),
# each built once, then reused; readceph.exe and cephtool.exe, the whole test suite
# under Wine, cephtool.exe against the Linux cephtool, its film receiver against this
# machine's DICOM tools, and the installer. The installer's path is printed last.
#
#   scripts/windows.sh            everything
#   scripts/windows.sh --no-qt    everything when Qt for Windows is ready; when it is
#                                 not, says so and ends with status 3 (CI uses this:
#                                 it does not start the 25-minute Qt build; the
#                                 picture libraries and DCMTK, a few minutes each,
#                                 are built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build="$root/build/windows"
jobs=$(nproc 2>/dev/null || echo 2)

if [ "${1:-}" = "--no-qt" ]; then
    if ! scripts/windows-qt.sh --check; then
        echo "== Qt for Windows is not built here (scripts/windows-qt.sh builds it, about 25 minutes" \
            "on 2 cores): the Windows program is not built or tested"
        exit 3
    fi
fi
# Their progress and any failure on the error stream; the folders they print are not
# needed (the toolchain file asks the scripts where they are).
scripts/windows-qt.sh >&2
scripts/windows-imaging.sh >&2
scripts/windows-dcmtk.sh >&2

# The Linux build's own needs (its cephtool is the reference), then the cross compilers,
# GoogleTest's sources, Wine for the tests, NSIS for the installer, and ImageMagick to
# compare page pictures; the Linux packages bring the font and the licence texts.
scripts/install-deps.sh
scripts/install-deps.sh --only g++-mingw-w64-x86-64-posix googletest wine wine64 nsis imagemagick

# A Wine folder of our own, started once before anything runs: Wine's helper processes
# would otherwise start with the first test and hold its output open.
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -p >/dev/null 2>&1 </dev/null || true  # already running for this folder
wineboot -i >/dev/null 2>&1 </dev/null

echo "== readceph for Windows"
cmake --preset windows >/dev/null
nice cmake --build --preset windows -j "$jobs"

echo "== tests under Wine"
# A test whose program Wine fails to start (seen once in a while under load: no output
# at all) is run once more; a test that fails on its own fails both times.
ctest --preset windows -j "$jobs" --repeat until-pass:2

echo "== cephtool.exe against cephtool for Linux"
cmake --preset dev >/dev/null
cmake --build --preset dev --target cephtool -j "$jobs"
scripts/windows-compare.sh build/dev/src/cephtool "$build/bin/cephtool.exe"

echo "== cephtool.exe receive under Wine, this machine's storescu as the X-ray unit"
scripts/windows-receive-test.py "$build/bin/cephtool.exe"

echo "== installer"
version=$(sed -n 's/^project(readceph VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf "$build/stage"
cmake --install "$build" --prefix "$build/stage" --strip >/dev/null
installer="$build/readceph-$version-setup.exe"
scripts/windows-installer.sh "$build/stage" "$build" "$version"
echo "== the installer in a fresh Wine folder: silent install, files, uninstall"
scripts/windows-install-test.sh "$installer"
echo "$installer"
