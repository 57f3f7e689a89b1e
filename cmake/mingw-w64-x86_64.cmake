# Cross-building for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX
# threads variant, which std::thread and std::mutex need). The programs are linked
# statically, so they run under Wine or on a bare Windows without MinGW's DLLs beside
# them. When Wine is installed, CMake runs the test programs through it (test
# discovery and CTest); without it the tests are only built.
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

find_program(CEPH_WINE NAMES wine64 wine)
if(CEPH_WINE AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CEPH_WINE})
endif()
