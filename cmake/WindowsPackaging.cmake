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

# The picture libraries and dlib of scripts/windows-imaging.sh, when the program links them: their
# terms come with them, from the sources they were built from. A cached path into their
# folder tells that a find_package took them from there.
set(ceph_imaging "$ENV{CEPH_WINDOWS_IMAGING}")
set(ceph_imaging_licences "")
if(NOT ceph_imaging STREQUAL "")
    string(FIND "$CACHE{GDCM_DIR}" "${ceph_imaging}/" at)
    if(at EQUAL 0)
        list(APPEND ceph_imaging_licences GDCM OpenJPEG CharLS IJG-JPEG expat zlib)
    endif()
    string(FIND "$CACHE{TIFF_LIBRARY_RELEASE}" "${ceph_imaging}/" at)
    if(at EQUAL 0)
        list(APPEND ceph_imaging_licences libtiff zlib)
    endif()
    string(FIND "$CACHE{CEPH_DLIB_STATIC}" "${ceph_imaging}/" at)
    if(at EQUAL 0)
        list(APPEND ceph_imaging_licences dlib)
    endif()
    list(REMOVE_DUPLICATES ceph_imaging_licences)
endif()
foreach(name ${ceph_imaging_licences})
    install(FILES ${ceph_imaging}/licences/${name}.txt DESTINATION licences)
endforeach()

# The film receiver, when cephtool has it: the settings its scheduled task reads (the
# installer copies them to ProgramData once, for the practice to fill in), and the terms
# of DCMTK and OpenSSL, linked into cephtool from scripts/windows-dcmtk.sh's folder.
if(TARGET cephreceiving)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/receive-settings.txt DESTINATION .)
    install(FILES $ENV{CEPH_WINDOWS_DCMTK}/licences/DCMTK.txt
                  $ENV{CEPH_WINDOWS_DCMTK}/licences/OpenSSL.txt DESTINATION licences)
endif()
