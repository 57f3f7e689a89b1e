#!/usr/bin/env bash
# The picture libraries for Windows beside Qt: libtiff (Deflate, LZW and PackBits TIFF)
# and GDCM (DICOM, with JPEG 2000 through OpenJPEG, JPEG-LS through CharLS, lossless and
# lossy JPEG through its own IJG copies, and RLE), cross-built here with MinGW-w64 from
# Debian's own sources, with Debian's patches, as static libraries. Only the libraries
# and their CMake files are installed: find_package(TIFF) and find_package(GDCM CONFIG)
# work from the folder (cmake/mingw-w64-x86_64.cmake adds it to the search).
#
# Like Qt for Windows the result is kept outside the work tree, under a folder named by
# this script's own hash, and reused; it takes about two minutes on two free cores (five
# beside other builds). The folder's path is printed last.
#
#   scripts/windows-imaging.sh           build when missing, print the folder
#   scripts/windows-imaging.sh --where   print the folder it would use (nothing is built)
#   scripts/windows-imaging.sh --check   exit 0 when the folder is ready, 1 when not
set -euo pipefail
script="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"

zlib_version=1.2.13
tiff_version=4.5.0
openjpeg_version=2.5.0
gdcm_version=3.0.21
# The key is the hash of the script's commands: a change of comment does not rebuild.
key=$(grep -vE '^[[:space:]]*#' "$script" | sha256sum | cut -c1-12)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/readceph"
prefix="$cache/imaging-mingw-$key"
# Not "work-*": scripts/windows-qt.sh clears those when it builds.
work="$cache/imaging-work-$key"
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

packages=(cmake ninja-build make g++-mingw-w64-x86-64-posix xz-utils bzip2 ca-certificates
          dpkg-dev)
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
rm -rf "$cache"/imaging-work-* "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/src"

# Debian's sources through an apt configuration of our own, as for Qt: the system's
# source list is neither read nor changed.
mirror=$(apt-get indextargets --format '$(REPO_URI)' 2>/dev/null | grep -E '/debian/?$' |
    head -n1 || true)
{
    if [ -n "$mirror" ]; then echo "deb-src ${mirror%/} bookworm main"; fi
    echo "deb-src http://deb.debian.org/debian bookworm main"
} | awk '!seen[$0]++' >"$work/apt/src.list"
apt_opts=(-o "Dir::Etc::SourceList=$work/apt/src.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::Archives=$work/apt/archives"
          -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "Debug::NoLocking=1")
echo "== Debian's sources of zlib, tiff, openjpeg2 and gdcm"
apt-get "${apt_opts[@]}" update >/dev/null
(cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only zlib tiff openjpeg2 gdcm)
(cd "$work/src" &&
    dpkg-source --no-check -x zlib_"$zlib_version"*.dsc zlib >/dev/null &&
    dpkg-source --no-check -x tiff_"$tiff_version"*.dsc tiff >/dev/null &&
    dpkg-source --no-check -x openjpeg2_"$openjpeg_version"*.dsc openjpeg2 >/dev/null &&
    dpkg-source --no-check -x gdcm_"$gdcm_version"*.dsc gdcm >/dev/null)
# GDCM's reader of one maker's private MR header takes Visual C++ for the only Windows
# compiler: with MinGW it would want iconv and posix_memalign, which Windows lacks.
# Its Windows branches (no Shift-JIS conversion, _aligned_malloc) serve MinGW as well.
sed -i -e 's/^#ifndef _MSC_VER$/#ifndef _WIN32/' -e 's/^#ifdef _MSC_VER$/#ifdef _WIN32/' \
    "$work/src/gdcm/Utilities/gdcmext/mec_mr3_io.c"
# GDCM's network module (DICOM messaging, with its socket library) is not for reading
# files and is a fifth of its build: left out.
sed -i '/add_subdirectory( *MessageExchangeDefinition *)/d' "$work/src/gdcm/Source/CMakeLists.txt"

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
cmake_opts=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF)
step() {
    echo "== $1 ($(($(date +%s) - started))s so far)"
}

# zlib for libtiff's Deflate and GDCM's deflated transfer syntax: one static libz.a.
# Its own makefile builds exactly that.
step "zlib $zlib_version"
(cd "$work/src/zlib" &&
    CHOST=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar \
        RANLIB=x86_64-w64-mingw32-ranlib CFLAGS=-O2 ./configure --static --prefix="$prefix" >/dev/null &&
    nice -n 10 make -j "$jobs" libz.a >/dev/null &&
    install -D -m 644 libz.a "$prefix/lib/libz.a" &&
    install -D -m 644 -t "$prefix/include" zlib.h zconf.h)

# libtiff with its built-in codecs (LZW, PackBits and the rest) and zlib's Deflate;
# no JPEG, JBIG, LERC, LZMA, ZSTD or WebP, no tools, tests or documents.
step "libtiff $tiff_version"
cmake -S "$work/src/tiff" -B "$work/build-tiff" "${cmake_opts[@]}" \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
    -Dzlib=ON -Dlibdeflate=OFF -Dpixarlog=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djpeg12=OFF \
    -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
nice -n 10 cmake --build "$work/build-tiff" -j "$jobs" >/dev/null
cmake --install "$work/build-tiff" >/dev/null
# CMake's FindTIFF knows nothing of what a static libtiff needs after it: this one,
# found first through CMAKE_MODULE_PATH, adds zlib to TIFF::TIFF.
mkdir -p "$prefix/cmake-modules"
cat >"$prefix/cmake-modules/FindTIFF.cmake" <<'EOF'
# The static libtiff of scripts/windows-imaging.sh: CMake's own FindTIFF, with the zlib
# that libtiff's Deflate codec calls linked after it.
include(${CMAKE_ROOT}/Modules/FindTIFF.cmake)
if(TIFF_FOUND)
    find_package(ZLIB REQUIRED)
    list(APPEND TIFF_LIBRARIES ZLIB::ZLIB)
    if(TARGET TIFF::TIFF)
        set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
    endif()
endif()
EOF

# OpenJPEG from Debian (its security fixes matter: it decodes the files people are
# given), the library alone. GDCM's bundled copy is older.
step "OpenJPEG $openjpeg_version"
cmake -S "$work/src/openjpeg2" -B "$work/build-openjpeg" "${cmake_opts[@]}" \
    -DBUILD_STATIC_LIBS=ON -DBUILD_CODEC=OFF -DBUILD_TESTING=OFF -DBUILD_DOC=OFF \
    -DBUILD_JPIP=OFF -DBUILD_JAVA=OFF -DBUILD_PKGCONFIG_FILES=OFF >/dev/null
nice -n 10 cmake --build "$work/build-openjpeg" -j "$jobs" >/dev/null
cmake --install "$work/build-openjpeg" >/dev/null

# GDCM with the zlib and OpenJPEG above, named by full path in its CMake files (its own
# OpenJPEG lookup asks pkg-config, which hands over a bare library name that a program
# linking GDCM could not find: a lookup of ours comes first). CharLS, the IJG JPEG codecs
# (8, 12 and 16 bit), RLE and expat are GDCM's own copies (Debian's CharLS source is not
# always on the mirrors; expat reads only GDCM's own tables).
step "GDCM $gdcm_version"
mkdir -p "$work/gdcm-modules"
cat >"$work/gdcm-modules/FindOpenJPEG.cmake" <<EOF
set(OPENJPEG_LIBRARIES "$prefix/lib/libopenjp2.a")
set(OPENJPEG_INCLUDE_DIRS "$prefix/include/openjpeg-${openjpeg_version%.*}")
set(OPENJPEG_VERSION $openjpeg_version)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenJPEG REQUIRED_VARS OPENJPEG_LIBRARIES
                                  OPENJPEG_INCLUDE_DIRS VERSION_VAR OPENJPEG_VERSION)
EOF
cmake -S "$work/src/gdcm" -B "$work/build-gdcm" "${cmake_opts[@]}" \
    -DCMAKE_MODULE_PATH="$work/gdcm-modules" -DGDCM_INSTALL_PACKAGE_DIR=lib/cmake/gdcm-3.0 \
    -DGDCM_BUILD_SHARED_LIBS=OFF -DGDCM_BUILD_APPLICATIONS=OFF -DGDCM_BUILD_TESTING=OFF \
    -DGDCM_BUILD_EXAMPLES=OFF -DGDCM_DOCUMENTATION=OFF -DGDCM_BUILD_DOCBOOK_MANPAGES=OFF \
    -DGDCM_WRAP_PYTHON=OFF -DGDCM_WRAP_JAVA=OFF -DGDCM_WRAP_CSHARP=OFF -DGDCM_USE_VTK=OFF \
    -DGDCM_USE_JPEGLS=ON -DGDCM_USE_SYSTEM_ZLIB=ON -DGDCM_USE_SYSTEM_OPENJPEG=ON \
    -DGDCM_USE_SYSTEM_SOCKETXX=ON \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
nice -n 10 cmake --build "$work/build-gdcm" -j "$jobs" >/dev/null
cmake --install "$work/build-gdcm" >/dev/null
# zlib and OpenJPEG named relative to the folder, like GDCM's own libraries, so a copy of
# the folder elsewhere (CEPH_WINDOWS_IMAGING) links its own.
sed -i "s|$prefix/|\${_IMPORT_PREFIX}/|g" "$prefix/lib/cmake/gdcm-3.0/GDCMTargets.cmake"

# The terms of each library linked into the program, from the sources built here, for
# the Windows install's licences folder (IJG's JPEG with DCMTK's lossless additions).
mkdir -p "$prefix/licences"
cp "$work/src/zlib/LICENSE" "$prefix/licences/zlib.txt"
cp "$work/src/tiff/LICENSE.md" "$prefix/licences/libtiff.txt"
cp "$work/src/openjpeg2/LICENSE" "$prefix/licences/OpenJPEG.txt"
cp "$work/src/gdcm/Copyright.txt" "$prefix/licences/GDCM.txt"
cp "$work/src/gdcm/Utilities/gdcmcharls/License.txt" "$prefix/licences/CharLS.txt"
cp "$work/src/gdcm/Utilities/gdcmexpat/COPYING" "$prefix/licences/expat.txt"
cat "$work/src/gdcm/Utilities/gdcmjpeg/README" "$work/src/gdcm/Utilities/gdcmjpeg/COPYRIGHT.dcmtk" \
    >"$prefix/licences/IJG-JPEG.txt"
rm -rf "${prefix:?}/bin" "$prefix/share/doc" "$prefix/share/man"

touch "$prefix/.complete"
rm -rf "$work"
for old in "$cache"/imaging-mingw-*; do
    if [ "$old" != "$prefix" ]; then rm -rf "$old"; fi
done
echo "Picture libraries for Windows built in $(($(date +%s) - started)) seconds"
echo "$prefix"
