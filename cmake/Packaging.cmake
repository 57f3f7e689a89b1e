# Installation and the Debian package (cpack -G DEB, or scripts/package.sh). The
# package's dependencies are found by dpkg-shlibdeps from the libraries the programs
# link; only what is loaded at run time (Qt's platform plugins, the Chinese font) is
# named here.
include(GNUInstallDirs)

set(ceph_app_id org.readceph.ReadCeph)
set(ceph_pkg ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS readceph cephtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/readceph/demo)
# The programs carry this table built in; the copy is for a practice to read and adapt.
install(FILES ${PROJECT_SOURCE_DIR}/data/landmark-error.tsv DESTINATION ${CMAKE_INSTALL_DATADIR}/readceph)
install(FILES ${ceph_pkg}/${ceph_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ceph_pkg}/${ceph_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ceph_pkg}/${ceph_app_id}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ceph_pkg}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The DICOM receiver's service, disabled, and its settings (a conffile: the practice's
# edits survive upgrades).
if(TARGET cephreceiving)
    install(FILES ${ceph_pkg}/readceph-receive.service DESTINATION /lib/systemd/system)
    install(FILES ${ceph_pkg}/receive.conf DESTINATION /etc/readceph)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/packaging/conffiles "/etc/readceph/receive.conf\n")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/packaging/conffiles
                                           ${ceph_pkg}/postinst ${ceph_pkg}/prerm)
endif()

# Man pages and the changelog go compressed, as Debian keeps them.
find_program(GZIP gzip REQUIRED)
set(ceph_gz)
foreach(source readceph.1 cephtool.1 changelog)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
        COMMAND ${GZIP} -9nc ${ceph_pkg}/${source} > ${out}
        DEPENDS ${ceph_pkg}/${source} VERBATIM)
    list(APPEND ceph_gz ${out})
endforeach()
add_custom_target(ceph_compressed_docs ALL DEPENDS ${ceph_gz})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/readceph.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/cephtool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME readceph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The readceph developers <developers@readceph.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lateral cephalometric analysis for orthodontic practices")
# The extended description only: cpack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "readceph is started by the practice-management suite for one patient: the
 clinician clicks 19 landmarks on the lateral skull radiograph, and the program
 stores the tracing and shows 37 measurements with norms, a schematic figure
 with an estimated soft-tissue profile, treatment simulation and a comparison
 of two tracings, and prints. cephtool does the analysis, reports, figures,
 export and import without a window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://readceph.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (saving a file) speak Traditional Chinese through Debian's catalogues.
# GDCM and libtiff are also found by the shared-library scan; named here so that the
# package says what its DICOM and TIFF pictures need even where the scan is not run.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libgdcm3.0, libtiff6, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_GENERATOR DEB)
include(CPack)
