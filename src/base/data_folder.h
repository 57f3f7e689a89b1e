#pragma once
// The files the program keeps in its data folder besides the record files: the save
// folder "filesave" with the calibration file and the snapshot of the report panel.

#include <string>
#include <string_view>

#include "base/filesys.h"

namespace ceph::base {

// The save folder, with its final separator; start-up makes it when it is missing.
inline std::string SaveFolder(std::string_view dataDir) {
    return std::string(dataDir) + "filesave" + kSeparator;
}

// The millimetres per image unit of the last finished tracing.
inline std::string CalibrationFile(std::string_view dataDir) {
    return SaveFolder(dataDir) + "CephRate.ini";
}

// The report panel as drawn for the tracing shown, which a comparison starts from.
inline std::string SnapshotFile(std::string_view dataDir) {
    return SaveFolder(dataDir) + "tmp.bmp";
}

// A practice's own table of how far its clinicians' clicks scatter, replacing the one
// built into the program when it is there.
inline std::string ErrorModelFile(std::string_view dataDir) {
    return std::string(dataDir) + "landmark-error.tsv";
}

}  // namespace ceph::base
