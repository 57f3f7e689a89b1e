# shellcheck shell=bash disable=SC2154  # $prefix, $work, $jobs, $toolchain: windows-common.sh
# How the picture libraries for Windows are built: the versions, the sources and their
# patches, the configure options and the build commands, and nothing else.
# scripts/windows-imaging.sh sources it; this file and the toolchain file, without
# comments, are the key of the folder the result is kept in
# (scripts/lib/windows-common.sh).

zlib_version=1.2.13
tiff_version=4.5.0
openjpeg_version=2.5.0
gdcm_version=3.0.21
dlib_version=19.24

# Fills $prefix, working in $work.
build_imaging() {
    windows_sources bookworm zlib tiff openjpeg2 gdcm dlib
    (cd "$work/src" &&
        dpkg-source --no-check -x zlib_"$zlib_version"*.dsc zlib >/dev/null &&
        dpkg-source --no-check -x tiff_"$tiff_version"*.dsc tiff >/dev/null &&
        dpkg-source --no-check -x openjpeg2_"$openjpeg_version"*.dsc openjpeg2 >/dev/null &&
        dpkg-source --no-check -x gdcm_"$gdcm_version"*.dsc gdcm >/dev/null &&
        # dlib: the library's own folder and its licence from the main tarball; the
        # source package's other part is 200 MB of trained models, never built here.
        mkdir -p dlib && tar -xjf dlib_"$dlib_version"*.orig.tar.bz2 -C dlib --strip-components=1 \
            --wildcards '*/dlib/*' '*/LICENSE.txt' &&
        rm -f dlib_"$dlib_version"*.orig-dlib-models.tar.*)
    # GDCM's reader of one maker's private MR header takes Visual C++ for the only Windows
    # compiler: with MinGW it would want iconv and posix_memalign, which Windows lacks.
    # Its Windows branches (no Shift-JIS conversion, _aligned_malloc) serve MinGW as well.
    sed -i -e 's/^#ifndef _MSC_VER$/#ifndef _WIN32/' -e 's/^#ifdef _MSC_VER$/#ifdef _WIN32/' \
        "$work/src/gdcm/Utilities/gdcmext/mec_mr3_io.c"
    # GDCM's network module (DICOM messaging, with its socket library) is not for reading
    # files and is a fifth of its build: left out.
    sed -i '/add_subdirectory( *MessageExchangeDefinition *)/d' "$work/src/gdcm/Source/CMakeLists.txt"

    # The toolchain file searches the prefix being filled and nothing else built for
    # Windows. Nothing here is run, so no Wine (a configure check would run under it);
    # the toolchain file only asks whether the emulator is set, which CMake would warn
    # of as an option not used.
    export CEPH_WINDOWS_QT="" CEPH_WINDOWS_IMAGING="$prefix"
    local cmake_opts=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain"
                      -DCMAKE_CROSSCOMPILING_EMULATOR= --no-warn-unused-cli
                      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
                      -DBUILD_SHARED_LIBS=OFF)

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

    # GDCM with the zlib and OpenJPEG above, named by full path in its CMake files (its
    # own OpenJPEG lookup asks pkg-config, which hands over a bare library name that a
    # program linking GDCM could not find: a lookup of ours comes first). CharLS, the IJG
    # JPEG codecs (8, 12 and 16 bit), RLE and expat are GDCM's own copies (Debian's CharLS
    # source is not always on the mirrors; expat reads only GDCM's own tables).
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
    # zlib and OpenJPEG named relative to the folder, like GDCM's own libraries, so a copy
    # of the folder elsewhere (CEPH_WINDOWS_IMAGING) links its own.
    sed -i "s|$prefix/|\${_IMPORT_PREFIX}/|g" "$prefix/lib/cmake/gdcm-3.0/GDCMTargets.cmake"

    # dlib for the landmark learning, static, as the program compiles its templates on
    # Linux too (learning/dlib_config.h): no BLAS or LAPACK, no GUI, no picture files,
    # no asserts. Debian's one patch names the shared library, which is not built here.
    step "dlib $dlib_version"
    cmake -S "$work/src/dlib/dlib" -B "$work/build-dlib" "${cmake_opts[@]}" \
        -DDLIB_NO_GUI_SUPPORT=ON -DDLIB_ENABLE_ASSERTS=OFF -DDLIB_USE_BLAS=OFF \
        -DDLIB_USE_LAPACK=OFF -DDLIB_USE_CUDA=OFF -DDLIB_USE_FFTW=OFF -DDLIB_USE_MKL_FFT=OFF \
        -DDLIB_JPEG_SUPPORT=OFF -DDLIB_PNG_SUPPORT=OFF -DDLIB_GIF_SUPPORT=OFF \
        -DDLIB_WEBP_SUPPORT=OFF -DDLIB_LINK_WITH_SQLITE3=OFF >/dev/null
    nice -n 10 cmake --build "$work/build-dlib" -j "$jobs" >/dev/null
    cmake --install "$work/build-dlib" >/dev/null

    # The terms of each library linked into the program, from the sources built here,
    # for the Windows install's licences folder (IJG's JPEG with DCMTK's lossless
    # additions).
    mkdir -p "$prefix/licences"
    cp "$work/src/zlib/LICENSE" "$prefix/licences/zlib.txt"
    cp "$work/src/tiff/LICENSE.md" "$prefix/licences/libtiff.txt"
    cp "$work/src/openjpeg2/LICENSE" "$prefix/licences/OpenJPEG.txt"
    cp "$work/src/gdcm/Copyright.txt" "$prefix/licences/GDCM.txt"
    cp "$work/src/dlib/LICENSE.txt" "$prefix/licences/dlib.txt"
    cp "$work/src/gdcm/Utilities/gdcmcharls/License.txt" "$prefix/licences/CharLS.txt"
    cp "$work/src/gdcm/Utilities/gdcmexpat/COPYING" "$prefix/licences/expat.txt"
    cat "$work/src/gdcm/Utilities/gdcmjpeg/README" "$work/src/gdcm/Utilities/gdcmjpeg/COPYRIGHT.dcmtk" \
        >"$prefix/licences/IJG-JPEG.txt"
    rm -rf "${prefix:?}/bin" "$prefix/share/doc" "$prefix/share/man" "$prefix/lib/pkgconfig"
}
