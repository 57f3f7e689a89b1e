#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# The picture libraries for Windows beside Qt: libtiff (Deflate, LZW and PackBits TIFF)
# and GDCM (DICOM, with JPEG 2000 through OpenJPEG, JPEG-LS through CharLS, lossless and
# lossy JPEG through its own IJG copies, and RLE), cross-built here with MinGW-w64 from
# Debian's own sources, with Debian's patches, as static libraries. Only the libraries
# and their CMake files are installed: find_package(TIFF) and find_package(GDCM CONFIG)
# work from the folder (cmake/mingw-w64-x86_64.cmake adds it to the search). How they
# are built is in scripts/lib/windows-imaging-build.sh.
#
# Like Qt for Windows the result is kept outside the work tree, in
# ~/.cache/readceph/imaging-mingw-KEY, and reused; it takes about two minutes on two
# free cores (five beside other builds). KEY is the hash of
# scripts/lib/windows-imaging-build.sh and cmake/mingw-w64-x86_64.cmake without their
# comments: a change to either builds anew, a change to this script does not. The
# folder's path is printed last.
#
#   scripts/windows-imaging.sh           build when missing, print the folder
#   scripts/windows-imaging.sh --where   print the folder it would use (nothing is built)
#   scripts/windows-imaging.sh --check   exit 0 when the folder is ready, 1 when not
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/windows-common.sh"
. "$here/lib/windows-imaging-build.sh"

key=$(windows_key "$here/lib/windows-imaging-build.sh")
prefix="$cache/imaging-mingw-$key"
# Not "work-*": scripts/windows-qt.sh clears those when it builds.
work="$cache/imaging-work-$key"
windows_ready "$@"

"$here/install-deps.sh" --only cmake ninja-build make g++-mingw-w64-x86-64-posix xz-utils bzip2 \
    ca-certificates dpkg-dev

windows_start "$cache"/imaging-work-*
build_imaging
windows_finish "$cache"/imaging-mingw-*
echo "Picture libraries for Windows built in $(($(date +%s) - started)) seconds"
echo "$prefix"
