#pragma once
// A film as an X-ray unit sends it (the data set of one C-STORE) made into the file the
// picture menu opens, checked as any DICOM the program opens is checked, and filed under
// its patient, or kept aside in the incoming folder with the reason when it cannot be.
// Standard C++: the network is elsewhere (dicom_service.h).

#include <string>
#include <string_view>

#include "base/result.h"

namespace ceph::receiving {

// What a C-STORE request says of the film beside its data set.
struct SentFilm {
    std::string_view dataSet;  // as received, in `syntax`
    std::string syntax;        // the transfer syntax agreed for it
    std::string sopClass;
    std::string sopInstance;
    std::string sender;  // the calling title, kept as the file's source
};

// The DICOM file of a sent film: the 128-byte preamble, "DICM", the file meta group
// naming its class, instance, syntax and source, then the data set byte for byte.
std::string FilmFile(const SentFilm& film);

// Whether the program can open a DICOM file whole: the structure walked without the
// decoders first (giving `patientId`, blanks trimmed, empty when there is none), then the
// first frame decoded under the size and memory limits every picture obeys, without
// damage. Why not, in the words the window uses.
base::Result<void> CheckFilm(std::string_view file, std::string& patientId);

// A problem in words for the log: the file or folder, then the system's reason or ours.
std::string ProblemText(const base::Problem& why);

// Where a received film went.
struct Filing {
    bool filed = false;     // under its patient, where the picture menu lists it
    std::string patientId;  // as the film gives it
    std::string path;       // the file written; empty when none could be
    std::string reason;     // why it is not under its patient (or not kept at all)
};

// Files a received DICOM file: checked, then under its Patient ID in `pictureDir`
// (store::FileReceivedFilm), or, when the Patient ID cannot be a patient's code or the
// film cannot be opened, in the incoming folder as `stamp` (store::FileIncomingFilm).
// Nothing half-written stays whatever fails.
Filing FileFilm(const std::string& pictureDir, std::string_view file, std::string_view stamp);

}  // namespace ceph::receiving
