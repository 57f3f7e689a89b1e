# The landmark error table travels inside the program, so the uncertainty of the
# measurements never depends on a file being installed; the classic analyses likewise.
include(${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake)
ceph_embed_bytes(${PROJECT_SOURCE_DIR}/data/landmark-error.tsv ceph_error_bytes)
configure_file(${PROJECT_SOURCE_DIR}/src/uncertainty/error_table.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/generated/error_table.cpp @ONLY)
target_sources(cephground PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/error_table.cpp)

ceph_embed_bytes(${PROJECT_SOURCE_DIR}/src/model/classic_analyses.tsv ceph_classic_bytes)
configure_file(${PROJECT_SOURCE_DIR}/src/model/classic_table.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/generated/classic_table.cpp @ONLY)
target_sources(cephground PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/classic_table.cpp)
