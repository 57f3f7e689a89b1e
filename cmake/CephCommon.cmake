# One INTERFACE target carries the language level, the warnings and the strict Qt
# defines, so every target of the project is built the same way.
add_library(ceph_common INTERFACE)
target_compile_features(ceph_common INTERFACE cxx_std_20)
if(MSVC)
    target_compile_options(ceph_common INTERFACE /W4 /utf-8)
else()
    target_compile_options(ceph_common INTERFACE -Wall -Wextra -Wpedantic)
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
