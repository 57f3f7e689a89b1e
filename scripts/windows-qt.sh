#!/usr/bin/env bash
# Qt for Windows, cross-built here with MinGW-w64 from Debian's own qt6-base source
# (the Qt the Linux build uses), as static libraries with only what the program needs,
# and libjpeg-turbo from Debian's source beside it: the program decodes radiographs
# with its TurboJPEG interface and writes JPEG files row by row with libjpeg's, and
# Qt's JPEG plugin uses the same library, so one libjpeg is linked into the program.
#
# The result is kept outside the work tree, under a folder named by the Qt version and
# this script's own hash, and reused: the first run takes about 25 minutes on two cores,
# later runs a second. The folder's path is printed last.
#
#   scripts/windows-qt.sh           build when missing, print the folder
#   scripts/windows-qt.sh --where   print the folder it would use (nothing is built)
#   scripts/windows-qt.sh --check   exit 0 when the folder is ready, 1 when not
set -euo pipefail
script="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"

qt_version=6.4.2
jpeg_version=2.1.5
# The key is the hash of the script's commands: a change of comment does not rebuild.
key=$(grep -vE '^[[:space:]]*#' "$script" | sha256sum | cut -c1-12)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/readceph"
prefix="$cache/qt-$qt_version-mingw-$key"
work="$cache/work-$key"
jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
--where)
    echo "$prefix"
    exit 0
    ;;
--check)
    [ -f "$prefix/.complete" ] && exit 0
    exit 1
    ;;
esac

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

# The cross compilers, Debian's host Qt tools (moc, rcc, uic run on this machine),
# and what unpacks and builds the sources.
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools
          xz-utils nasm ca-certificates dpkg-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

started=$(date +%s)
# What earlier versions of this script left is of no use to this one.
rm -rf "$cache"/work-* "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/src"

# Debian's sources through an apt configuration of our own: the system's source list
# is neither read nor changed. The Debian mirror the system's apt uses comes first,
# Debian's own address after it, for a mirror without source packages.
mirror=$(apt-get indextargets --format '$(REPO_URI)' 2>/dev/null | grep -E '/debian/?$' |
    head -n1 || true)
{
    if [ -n "$mirror" ]; then echo "deb-src ${mirror%/} bookworm main"; fi
    echo "deb-src http://deb.debian.org/debian bookworm main"
} | awk '!seen[$0]++' >"$work/apt/src.list"
apt_opts=(-o "Dir::Etc::SourceList=$work/apt/src.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::Archives=$work/apt/archives"
          -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "Debug::NoLocking=1")
echo "== Debian's sources of qt6-base and libjpeg-turbo"
apt-get "${apt_opts[@]}" update >/dev/null
(cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only qt6-base libjpeg-turbo)
# Unpacked with Debian's patches applied (its security fixes among them): the same
# source as the Qt and libjpeg-turbo of the Linux build.
(cd "$work/src" && dpkg-source --no-check -x qt6-base_"$qt_version"*.dsc qtbase >/dev/null &&
    dpkg-source --no-check -x libjpeg-turbo_"$jpeg_version"*.dsc libjpeg-turbo >/dev/null)
qt_src="$work/src/qtbase"
jpeg_src="$work/src/libjpeg-turbo"

# The compilers with POSIX threads (std::thread and std::mutex need them); libraries
# and headers from the MinGW tree and the prefix only, build tools from this machine.
cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "$prefix")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

echo "== libjpeg-turbo $jpeg_version for Windows"
cmake -S "$jpeg_src" -B "$work/build-jpeg" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=ON -DWITH_JPEG8=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
cmake --build "$work/build-jpeg" -j "$jobs" >/dev/null
cmake --install "$work/build-jpeg" >/dev/null
rm -rf "$prefix/bin" "$prefix/share/man" "$prefix/share/doc"

# Only what the program and its tests use (the widget tests drive the window with
# Qt Test's mouse and key clicks). Debian's tarball has no wintab.h, so no tablet events;
# OpenGL stays on because the Windows platform plugin of this Qt does not build
# without it (it picks dynamic OpenGL, nothing is needed at run time). JPEG comes
# from the libjpeg-turbo above; the other image and font libraries are Qt's own copies.
echo "== Qt $qt_version for Windows (about 1,100 steps)"
cmake -S "$qt_src" -B "$work/build-qt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=ON \
    -DJPEG_INCLUDE_DIR="$prefix/include" -DJPEG_LIBRARY_RELEASE="$prefix/lib/libjpeg.a" \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_vulkan=OFF >"$work/qt-configure.log"
grep -E 'JPEG|Windows|Direct|Printing|CUPS|OpenGL' "$work/qt-configure.log" | head -n 20 || true
nice cmake --build "$work/build-qt" -j "$jobs"
cmake --install "$work/build-qt" >/dev/null

touch "$prefix/.complete"
rm -rf "$work"
# Qt builds of earlier versions of this script are of no use any more.
for old in "$cache"/qt-*-mingw-*; do
    if [ "$old" != "$prefix" ]; then rm -rf "$old"; fi
done
echo "Qt for Windows built in $((($(date +%s) - started) / 60)) minutes"
echo "$prefix"
