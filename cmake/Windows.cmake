# What the Windows build adds: every program in one folder (bin/) with the Chinese font
# beside it, each program's icon, version and manifest, and the installed layout the
# installer packs (flat, as under Program Files\readceph).

# Qt or the picture libraries for Windows built anew (after a change to how they are
# built, scripts/lib/windows-*-build.sh, or to the toolchain file) live in another
# folder: forget every path found in the old one, or the build would go on linking it.
function(ceph_forget_old_folder used now)
    set(old "$CACHE{${used}}")
    if(NOT old STREQUAL "" AND NOT old STREQUAL "${now}")
        message(STATUS "${now} replaces ${old}: forgetting what was found there")
        get_cmake_property(entries CACHE_VARIABLES)
        foreach(entry ${entries})
            get_property(value CACHE ${entry} PROPERTY VALUE)
            string(FIND "${value}" "${old}" at)
            if(at EQUAL 0)
                unset(${entry} CACHE)
            endif()
        endforeach()
    endif()
    set(${used} "${now}" CACHE INTERNAL "The folder found")
endfunction()
ceph_forget_old_folder(CEPH_WINDOWS_QT_USED "$ENV{CEPH_WINDOWS_QT}")
ceph_forget_old_folder(CEPH_WINDOWS_IMAGING_USED "$ENV{CEPH_WINDOWS_IMAGING}")

# DCMTK and OpenSSL for the film receiver, from scripts/windows-dcmtk.sh or
# CEPH_WINDOWS_DCMTK, searched like the folders the toolchain file adds (it is asked here
# and not there: its text is the key of the Qt and picture-library builds). Without it
# the program builds, and cephtool.exe says it receives no films.
ceph_windows_folder(CEPH_WINDOWS_DCMTK windows-dcmtk.sh)
ceph_forget_old_folder(CEPH_WINDOWS_DCMTK_USED "$ENV{CEPH_WINDOWS_DCMTK}")
if(NOT "$ENV{CEPH_WINDOWS_DCMTK}" STREQUAL "")
    list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{CEPH_WINDOWS_DCMTK}")
    list(APPEND CMAKE_PREFIX_PATH "$ENV{CEPH_WINDOWS_DCMTK}")
endif()

# The tests and the programs find the bundled font where the installed program does:
# in fonts\ beside the executable.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CEPH_FONT_DIR /usr/share/fonts/opentype/noto CACHE PATH
    "Where Debian's fonts-noto-cjk keeps Noto Sans CJK")
# The regular face only: the one bold text (a green arrow) is emboldened by Qt, and the
# bold file would add 20 MB to the installer and a seventh of a second to every start.
set(ceph_fonts NotoSansCJK-Regular.ttc)
foreach(font ${ceph_fonts})
    if(NOT EXISTS ${CEPH_FONT_DIR}/${font})
        message(FATAL_ERROR "${CEPH_FONT_DIR}/${font} is missing: install fonts-noto-cjk")
    endif()
    configure_file(${CEPH_FONT_DIR}/${font} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/fonts/${font} COPYONLY)
endforeach()

# Qt's own texts in Traditional Chinese, from Debian's catalogue of the same Qt version,
# where the program looks for them: in translations\ beside the executable.
set(CEPH_TRANSLATIONS_DIR /usr/share/qt6/translations CACHE PATH
    "Where Debian's qt6-translations-l10n keeps Qt's catalogues")
if(NOT EXISTS ${CEPH_TRANSLATIONS_DIR}/qtbase_zh_TW.qm)
    message(FATAL_ERROR
        "${CEPH_TRANSLATIONS_DIR}/qtbase_zh_TW.qm is missing: install qt6-translations-l10n")
endif()
configure_file(${CEPH_TRANSLATIONS_DIR}/qtbase_zh_TW.qm
               ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations/qtbase_zh_TW.qm COPYONLY)

# Icon, version resource and manifest for TARGET, described in Explorer as DESCRIPTION.
function(ceph_windows_resources target description)
    set(CEPH_RC_NAME ${target})
    set(CEPH_RC_DESCRIPTION "${description}")
    set(CEPH_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/readceph.ico)
    set(CEPH_RC_MANIFEST ${PROJECT_SOURCE_DIR}/packaging/windows/readceph.manifest)
    set(CEPH_RC_MINOR 0)
    set(CEPH_RC_PATCH 0)
    if(DEFINED PROJECT_VERSION_MINOR)
        set(CEPH_RC_MINOR ${PROJECT_VERSION_MINOR})
    endif()
    if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
        set(CEPH_RC_PATCH ${PROJECT_VERSION_PATCH})
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${CEPH_RC_ICON} ${CEPH_RC_MANIFEST})
endfunction()

# Qt is linked statically here, with only the desktop's platform plugin by default.
# Programs that draw without a screen (cephtool's pages and figures, the widget tests)
# take the offscreen one instead.
function(ceph_draws_offscreen target)
    qt_import_plugins(${target} INCLUDE_BY_TYPE platforms Qt6::QOffscreenIntegrationPlugin)
endfunction()

# The reference of bench/windows_startup.sh: the bare Qt window with a line of Chinese
# text that the Linux start-up benchmark measures readceph against, here for Windows.
function(ceph_windows_bench_reference)
    qt_add_executable(minimal_window WIN32 ${PROJECT_SOURCE_DIR}/bench/minimal_window.cpp)
    target_link_libraries(minimal_window PRIVATE ceph_common Qt6::Widgets)
endfunction()
