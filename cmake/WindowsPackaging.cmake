# The installed layout on Windows, packed by the installer (packaging/windows/
# readceph.nsi): the programs, the Chinese font, the demo patient, the landmark error
# table and the licences, side by side in one folder.
install(TARGETS readceph cephtool RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/fonts/ DESTINATION fonts)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations/ DESTINATION translations)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/demo/ DESTINATION demo)
# The programs carry this table built in; the copy is for a practice to read and adapt.
install(FILES ${PROJECT_SOURCE_DIR}/data/landmark-error.tsv DESTINATION .)

# The terms of what the programs are made of, from Debian's own copies of each.
set(ceph_licences
    "${PROJECT_SOURCE_DIR}/packaging/copyright=readceph.txt"
    "/usr/share/doc/qt6-base-dev/copyright=Qt.txt"
    "/usr/share/doc/libjpeg62-turbo/copyright=libjpeg-turbo.txt"
    "/usr/share/doc/fonts-noto-cjk/copyright=Noto-CJK-fonts.txt"
    "/usr/share/doc/qt6-translations-l10n/copyright=Qt-translations.txt")
foreach(entry ${ceph_licences})
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 from)
    list(GET pair 1 name)
    if(NOT EXISTS ${from})
        message(FATAL_ERROR "${from} is missing: its package must be installed for the licences")
    endif()
    install(FILES ${from} DESTINATION licences RENAME ${name})
endforeach()
