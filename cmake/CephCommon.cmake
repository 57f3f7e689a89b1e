# One INTERFACE target carries the language level, the warnings and the strict Qt
# defines, so every target of the project is built the same way.
add_library(ceph_common INTERFACE)
target_compile_features(ceph_common INTERFACE cxx_std_20)
if(MSVC)
    target_compile_options(ceph_common INTERFACE /W4 /utf-8)
else()
    target_compile_options(ceph_common INTERFACE -Wall -Wextra -Wpedantic)
    # Measurements are defined to the last digit of single and double precision: no
    # fused multiply-adds where the source has a separate product and sum.
    target_compile_options(ceph_common INTERFACE -ffp-contract=off)
    # GCC 12 at -O2 and above warns about overlapping copies inside std::string when a
    # short literal is assigned (GCC bug 105651); there is no overlap to fix.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(ceph_common INTERFACE -Wno-restrict)
    endif()
    if(CEPH_WERROR)
        target_compile_options(ceph_common INTERFACE -Werror)
    endif()
endif()
target_compile_definitions(ceph_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_STRICT_ITERATORS)
