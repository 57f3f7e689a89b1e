# The landmark error table travels inside the program, so the uncertainty of the
# measurements never depends on a file being installed: data/landmark-error.tsv is
# read here, its bytes written into a generated source of cephcore, and CMake runs
# again whenever the table is edited.
set(ceph_error_table ${PROJECT_SOURCE_DIR}/data/landmark-error.tsv)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ceph_error_table})
file(READ ${ceph_error_table} ceph_error_hex HEX)
# Bytes rather than a string literal: no quoting to get wrong, no compiler's limit on
# the length of a literal.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," ceph_error_bytes "${ceph_error_hex}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n    " ceph_error_bytes
       "${ceph_error_bytes}")
configure_file(${PROJECT_SOURCE_DIR}/src/analysis/error_table.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/generated/error_table.cpp @ONLY)
target_sources(cephground PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/error_table.cpp)
