#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# Qt for Windows, cross-built here with MinGW-w64 from Debian's own qt6-base source
# (the Qt the Linux build uses), as static libraries with only what the program needs,
# and libjpeg-turbo from Debian's source beside it: the program decodes radiographs
# with its TurboJPEG interface and writes JPEG files row by row with libjpeg's, and
# Qt's JPEG plugin uses the same library, so one libjpeg is linked into the program.
# How they are built is in scripts/lib/windows-qt-build.sh.
#
# The result is kept outside the work tree, in ~/.cache/readceph/qt-VERSION-mingw-KEY,
# and reused: the first run takes about 25 minutes on two cores, later runs a second.
# KEY is the hash of scripts/lib/windows-qt-build.sh and cmake/mingw-w64-x86_64.cmake
# without their comments: a change to either builds anew, a change to this script does
# not. The folder's path is printed last.
#
#   scripts/windows-qt.sh           build when missing, print the folder
#   scripts/windows-qt.sh --where   print the folder it would use (nothing is built)
#   scripts/windows-qt.sh --check   exit 0 when the folder is ready, 1 when not
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/windows-common.sh"
. "$here/lib/windows-qt-build.sh"

key=$(windows_key "$here/lib/windows-qt-build.sh")
prefix="$cache/qt-$qt_version-mingw-$key"
work="$cache/work-$key"
windows_ready "$@"

# The cross compilers, Debian's host Qt tools (moc, rcc, uic run on this machine),
# and what unpacks and builds the sources.
"$here/install-deps.sh" --only cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev \
    qt6-base-dev-tools xz-utils nasm ca-certificates dpkg-dev

# What builds under earlier keys left is of no use to this one.
windows_start "$cache"/work-*
build_qt
windows_finish "$cache"/qt-*-mingw-*
echo "Qt for Windows built in $((($(date +%s) - started) / 60)) minutes"
echo "$prefix"
