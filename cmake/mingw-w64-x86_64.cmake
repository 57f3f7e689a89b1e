# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX
# threads variant, which std::thread and std::mutex need). The programs are linked
# statically, so they run under Wine or on a bare Windows without MinGW's DLLs beside
# them. When Wine is installed, CMake runs the test programs through it (test
# discovery and CTest); without it the tests are only built.
#
# The one toolchain file for Windows: the program's builds (presets core-mingw and
# windows) and the builds of Qt and the picture libraries for it
# (scripts/lib/windows-*-build.sh, which set the folder variables below to the folder
# they fill and turn Wine off). Its text without comments is part of their cache keys: a
# change here other than a comment rebuilds both.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CEPH_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${CEPH_MINGW_TRIPLE}-gcc-posix ${CEPH_MINGW_TRIPLE}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${CEPH_MINGW_TRIPLE}-g++-posix ${CEPH_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${CEPH_MINGW_TRIPLE}-windres)
find_program(CMAKE_AR NAMES ${CEPH_MINGW_TRIPLE}-ar)
find_program(CMAKE_RANLIB NAMES ${CEPH_MINGW_TRIPLE}-ranlib)

# Libraries and headers come from the MinGW tree only; programs (the build's own
# tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${CEPH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread linked in: no DLL hunting when a program starts.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# The folders of what is built once for Windows and kept outside the work tree: taken
# from the environment variable when set, else from where the script that builds it
# keeps it; empty when not built. Found or not, the core builds; only a build with Qt
# needs them. Each script is asked once; the answer travels to CMake's test projects in
# the environment.
function(ceph_windows_folder variable script)
    if(DEFINED ENV{${variable}})
        return()
    endif()
    execute_process(COMMAND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../scripts/${script} --where
                    OUTPUT_VARIABLE folder OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                    RESULT_VARIABLE failed)
    if(failed OR NOT EXISTS "${folder}/.complete")
        set(folder "")
    endif()
    set(ENV{${variable}} "${folder}")
endfunction()

# Qt for Windows, from scripts/windows-qt.sh or CEPH_WINDOWS_QT.
ceph_windows_folder(CEPH_WINDOWS_QT windows-qt.sh)
if(NOT "$ENV{CEPH_WINDOWS_QT}" STREQUAL "")
    list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{CEPH_WINDOWS_QT}")
    list(APPEND CMAKE_PREFIX_PATH "$ENV{CEPH_WINDOWS_QT}")
    # moc, rcc and uic are Debian's own, run on this machine.
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()

# The picture libraries (libtiff, GDCM), from scripts/windows-imaging.sh or
# CEPH_WINDOWS_IMAGING. Their folder also holds a FindTIFF that adds the zlib the static
# libtiff needs.
ceph_windows_folder(CEPH_WINDOWS_IMAGING windows-imaging.sh)
if(NOT "$ENV{CEPH_WINDOWS_IMAGING}" STREQUAL "")
    list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{CEPH_WINDOWS_IMAGING}")
    list(APPEND CMAKE_PREFIX_PATH "$ENV{CEPH_WINDOWS_IMAGING}")
    list(APPEND CMAKE_MODULE_PATH "$ENV{CEPH_WINDOWS_IMAGING}/cmake-modules")
endif()

find_program(CEPH_WINE NAMES wine64 wine)
if(CEPH_WINE AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CEPH_WINE})
endif()
