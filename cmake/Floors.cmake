# The floors of the program, lowest first. A source folder may include headers of its
# own floor and of the floors below it, never above: the ground (the domain model, the
# running program's files and codecs, the store of records and the host's files, the
# uncertainty) knows nothing of the window; the pictures (the formats and their decoders)
# know nothing of the window either, nor do the pages (drawing lists and the reports
# drawn onto them), which the window shows and cephtool writes; the window model knows
# nothing of the presenters that fill it from the domain, nor they of the behaviour that
# calls them; only the platform knows Qt.
# Each floor is one library (the pictures two: the formats, and the decoders with the
# libraries behind them), and the build checks every include against this list.
set(CEPH_FLOORS
    "model base uncertainty store"
    "pictures learning receiving"
    "page"
    "ui"
    "presenter"
    "app usecases imaging digitising figure report analysis_window"
    "wiring"
    "tools platform")
# The one include allowed upwards: the program's main starts the platform.
set(CEPH_FLOOR_EXCEPTIONS "wiring/main.cpp>platform")
# Folders that may include fewer of the floors below them than their floor allows: the
# folder, a colon, then the folders it may include besides its own. The pictures know
# files and results (base) and the domain (model), nothing of how sure a measurement is; the pages know
# the ground and nothing of the picture formats; the landmark learning knows the model,
# its file and the pictures it reads; the DICOM receiver knows the files, the store that
# files films and the pictures that check them.
set(CEPH_FOLDER_REACH "pictures:base,model" "page:base,model,uncertainty,store"
    "learning:base,model,store,pictures" "receiving:base,model,store,pictures")

# A stamp rebuilt whenever a source changes, by checking every include; a library that
# depends on it does not build while an include points up.
function(ceph_check_floors target)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.h
         ${PROJECT_SOURCE_DIR}/src/*.cpp)
    string(REPLACE ";" "|" floors "${CEPH_FLOORS}")
    string(REPLACE ";" "|" reach "${CEPH_FOLDER_REACH}")
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/floors.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src" "-DFLOORS=${floors}"
                "-DEXCEPTIONS=${CEPH_FLOOR_EXCEPTIONS}" "-DREACH=${reach}"
                "-DSTAMP=${stamp}" -P
                ${PROJECT_SOURCE_DIR}/cmake/CheckFloors.cmake
        DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/CheckFloors.cmake
                ${PROJECT_SOURCE_DIR}/cmake/Floors.cmake
        COMMENT "Checking that every include points down the floors"
        VERBATIM)
    add_custom_target(${target} DEPENDS ${stamp})
endfunction()
