#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# The DICOM network library for Windows, for the film receiver (cephtool.exe receive):
# DCMTK's network and TLS modules on OpenSSL, cross-built here with MinGW-w64 from
# Debian's own sources, with Debian's patches, as static libraries. Only the libraries,
# their headers and DCMTK's CMake files are installed: find_package(DCMTK CONFIG) works
# from the folder (cmake/Windows.cmake adds it to the search). How they are built is in
# scripts/lib/windows-dcmtk-build.sh.
#
# Like the picture libraries the result is kept outside the work tree, in
# ~/.cache/readceph/dcmtk-mingw-KEY, and reused; it takes about ten minutes on two free
# cores, DCMTK's configure running its small test programs under Wine. KEY is the hash
# of scripts/lib/windows-dcmtk-build.sh and cmake/mingw-w64-x86_64.cmake without their
# comments. The folder's path is printed last.
#
#   scripts/windows-dcmtk.sh           build when missing, print the folder
#   scripts/windows-dcmtk.sh --where   print the folder it would use (nothing is built)
#   scripts/windows-dcmtk.sh --check   exit 0 when the folder is ready, 1 when not
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/windows-common.sh"
. "$here/lib/windows-dcmtk-build.sh"

key=$(windows_key "$here/lib/windows-dcmtk-build.sh")
prefix="$cache/dcmtk-mingw-$key"
# Not "work-*": scripts/windows-qt.sh clears those when it builds.
work="$cache/dcmtk-work-$key"
windows_ready "$@"

"$here/install-deps.sh" --only cmake ninja-build make perl g++-mingw-w64-x86-64-posix xz-utils \
    ca-certificates dpkg-dev wine wine64

windows_start "$cache"/dcmtk-work-*
# A Wine folder for DCMTK's configure, its server kept running so that each test
# program starts at once, and stopped however the build ends.
export WINEPREFIX="$work/wine" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -p >/dev/null 2>&1 </dev/null || true
build_dcmtk
wineserver -k >/dev/null 2>&1 || true
windows_finish "$cache"/dcmtk-mingw-*
echo "DICOM network library for Windows built in $(($(date +%s) - started)) seconds"
echo "$prefix"
