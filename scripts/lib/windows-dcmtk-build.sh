# shellcheck shell=bash disable=SC2154  # $prefix, $work, $jobs, $toolchain: windows-common.sh
# How the DICOM network library for Windows is built: OpenSSL for its TLS layer, then
# DCMTK's modules the receiver uses, the versions, the sources, the configure options and
# the build commands, and nothing else. scripts/windows-dcmtk.sh sources it; this file
# and the toolchain file, without comments, are the key of the folder the result is kept
# in (scripts/lib/windows-common.sh).

# OpenSSL's series, not its release: Debian's point releases move within it, bringing
# its security fixes to a build of a new key.
openssl_series=3.0
dcmtk_version=3.6.7

# Fills $prefix, working in $work.
build_dcmtk() {
    windows_sources bookworm openssl dcmtk
    (cd "$work/src" &&
        dpkg-source --no-check -x openssl_"$openssl_series".*.dsc openssl >/dev/null &&
        dpkg-source --no-check -x dcmtk_"$dcmtk_version"*.dsc dcmtk >/dev/null)

    # OpenSSL, static, its libraries and headers only, with the POSIX-threads compilers
    # the program links with. Its assembler is kept (TLS at a unit's speed). It never
    # reads a configuration file nor loads an engine or module: their folders would be
    # this machine's paths, which on Windows any user may create (C:\root\...), and
    # whatever they held would run inside the receiver.
    step "OpenSSL $openssl_series"
    (cd "$work/src/openssl" &&
        CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix AR=x86_64-w64-mingw32-ar \
            RANLIB=x86_64-w64-mingw32-ranlib RC=x86_64-w64-mingw32-windres \
            ./Configure mingw64 no-shared no-module no-tests no-legacy no-autoload-config \
            no-engine no-dso \
            --prefix="$prefix" --libdir=lib >/dev/null &&
        nice -n 10 make -j "$jobs" build_libs >/dev/null &&
        make install_dev >/dev/null)

    # DCMTK's network library and what it stands on, static, with OpenSSL for TLS and the
    # data dictionary compiled in (no file to find beside the program). Nothing else of
    # DCMTK: no applications, no compression, no character sets (the receiver keeps the
    # data set's bytes as they came). Its configure runs small test programs; under Wine,
    # in the Wine folder the caller made (DCMTK's own setup would make another).
    step "DCMTK $dcmtk_version"
    local runtime
    runtime=$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)
    cmake -S "$work/src/dcmtk" -B "$work/build-dcmtk" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_CROSSCOMPILING_EMULATOR= --no-warn-unused-cli -Wno-dev \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DDCMTK_MODULES="ofstd;oflog;dcmdata;dcmtls;dcmnet" -DBUILD_APPS=OFF \
        -DDCMTK_DEFAULT_DICT=builtin -DDCMTK_WITH_OPENSSL=ON -DDCMTK_WITH_ZLIB=OFF \
        -DDCMTK_WITH_PNG=OFF -DDCMTK_WITH_TIFF=OFF -DDCMTK_WITH_XML=OFF -DDCMTK_WITH_ICONV=OFF \
        -DDCMTK_WITH_ICU=OFF -DDCMTK_WITH_SNDFILE=OFF -DDCMTK_WITH_WRAP=OFF \
        -DDCMTK_WITH_DOXYGEN=OFF -DDCMTK_WITH_THREADS=ON \
        -DCPP_RUNTIME="$runtime" -DDCMTK_WINEPREFIX="$WINEPREFIX" \
        -DCMAKE_INSTALL_DATADIR=share -DCMAKE_INSTALL_DATADIC=share/dcmtk \
        -DOPENSSL_BINDIR="$prefix/lib" -DWITH_OPENSSLINC="$prefix" \
        -DOPENSSL_INCLUDE_DIR="$prefix/include" -DSSL_EAY="$prefix/lib/libssl.a" \
        -DLIB_EAY:STRING="$prefix/lib/libcrypto.a;crypt32;ws2_32" >/dev/null
    nice -n 10 cmake --build "$work/build-dcmtk" -j "$jobs" >/dev/null
    cmake --install "$work/build-dcmtk" >/dev/null
    # OpenSSL named relative to the folder, like DCMTK's own libraries, so a copy of the
    # folder elsewhere (CEPH_WINDOWS_DCMTK) links its own.
    sed -i "s|$prefix/|\${_IMPORT_PREFIX}/|g" "$prefix/cmake/DCMTKTargets.cmake"

    mkdir -p "$prefix/licences"
    cp "$work/src/openssl/LICENSE.txt" "$prefix/licences/OpenSSL.txt"
    cp "$work/src/dcmtk/COPYRIGHT" "$prefix/licences/DCMTK.txt"
    # The data dictionary is compiled in; DCMTK's configuration files, documents and
    # OpenSSL's programs' settings are not used.
    rm -rf "${prefix:?}/bin" "$prefix/etc" "$prefix/share" "$prefix/ssl" "$prefix/lib/pkgconfig"
}
