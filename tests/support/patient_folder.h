#pragma once
// A patient's data folder as the practice suite leaves it when it opens the program on
// that patient: the hand-off file, the settings naming the picture folder, and tracings
// already stored in the record files.

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/worked_tracing.h"

namespace ceph::testing {

// The hand-off's lines: name (in Big5, as the suite writes it, when not plain ASCII),
// code, birth date and sex.
struct Patient {
    std::string name = "Chen";
    std::string code = "00101";
    std::string born = "0650315";
    std::string sex = "M";
};

// Writes the hand-off file "OutExe.tmp" for `patient`.
inline void WriteHandOff(const TempDir& dir, const Patient& patient = {}) {
    dir.Write("OutExe.tmp", patient.name + "\r\n" + patient.code + "\r\n" + patient.born + "\r\n" +
                                patient.sex + "\r\n");
}

// The hand-off and the settings "selvsys.ini" that keep the patient's pictures in the
// folder's "pics", made empty.
inline void WritePatientFolder(const TempDir& dir, const Patient& patient = {}) {
    WriteHandOff(dir, patient);
    dir.Write("selvsys.ini", "[Selvaron]\r\nPersonPicDir=pics\r\n");
    std::filesystem::create_directories(dir.path() / "pics");
}

// Tracing 1 of the patient with `code` in the record file "ceph-1": a worked tracing,
// the patient aged 48 years 2 months.
inline void WriteStoredTracing(const TempDir& dir, const std::string& code) {
    dir.Write("ceph-1", code + "," + kWorkedFields + ",0,48Y 2M\r\n");
}

}  // namespace ceph::testing
