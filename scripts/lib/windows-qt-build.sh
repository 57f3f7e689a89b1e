# shellcheck shell=bash disable=SC2154  # $prefix, $work, $jobs, $toolchain: windows-common.sh
# How Qt for Windows and its libjpeg-turbo are built: the versions, the sources, the
# configure options and the build commands, and nothing else. scripts/windows-qt.sh
# sources it; this file and the toolchain file, without comments, are the key of the
# folder the result is kept in (scripts/lib/windows-common.sh).

qt_version=6.4.2
jpeg_version=2.1.5

# Fills $prefix, working in $work.
build_qt() {
    # Unpacked with Debian's patches applied (its security fixes among them): the same
    # source as the Qt and libjpeg-turbo of the Linux build.
    windows_sources bookworm qt6-base libjpeg-turbo
    (cd "$work/src" && dpkg-source --no-check -x qt6-base_"$qt_version"*.dsc qtbase >/dev/null &&
        dpkg-source --no-check -x libjpeg-turbo_"$jpeg_version"*.dsc libjpeg-turbo >/dev/null)

    # The toolchain file searches the prefix being filled and nothing else built for
    # Windows. Nothing here is run, so no Wine (a configure check would run under it);
    # the toolchain file only asks whether the emulator is set, which CMake would warn
    # of as an option not used.
    export CEPH_WINDOWS_QT="$prefix" CEPH_WINDOWS_IMAGING=""
    local cmake_opts=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain"
                      -DCMAKE_CROSSCOMPILING_EMULATOR= --no-warn-unused-cli
                      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix")

    step "libjpeg-turbo $jpeg_version for Windows"
    cmake -S "$work/src/libjpeg-turbo" -B "$work/build-jpeg" "${cmake_opts[@]}" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=ON -DWITH_JPEG8=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
    cmake --build "$work/build-jpeg" -j "$jobs" >/dev/null
    cmake --install "$work/build-jpeg" >/dev/null
    rm -rf "${prefix:?}/bin" "$prefix/share/man" "$prefix/share/doc"

    # Only what the program and its tests use (the widget tests drive the window with
    # Qt Test's mouse and key clicks). Debian's tarball has no wintab.h, so no tablet
    # events; OpenGL stays on because the Windows platform plugin of this Qt does not
    # build without it (it picks dynamic OpenGL, nothing is needed at run time). JPEG
    # comes from the libjpeg-turbo above; the other image and font libraries are Qt's
    # own copies. Debian's moc, rcc and uic run on this machine.
    step "Qt $qt_version for Windows (about 1,100 steps)"
    cmake -S "$work/src/qtbase" -B "$work/build-qt" "${cmake_opts[@]}" \
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
}
