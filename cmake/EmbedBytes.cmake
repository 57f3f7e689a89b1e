# Tables that travel inside the program (so nothing depends on a file being installed)
# are written into generated sources as bytes rather than string literals: no quoting to
# get wrong, no compiler's limit on the length of a literal. CMake runs again whenever
# such a table is edited.
function(ceph_embed_bytes file out_var)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n    " bytes "${bytes}")
    set(${out_var} "${bytes}" PARENT_SCOPE)
endfunction()
