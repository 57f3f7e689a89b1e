#include "receiving/received_film.h"

#include <algorithm>
#include <cstdint>

#include "base/patient_files.h"
#include "base/safe_file.h"
#include "pictures/dicom_codec.h"
#include "pictures/dicom_file.h"
#include "store/received_films.h"

namespace ceph::receiving {

namespace {

// Identifies the files this program writes, as every DICOM writer must: a UID of its
// own under the UUID root, never changed once files carry it.
constexpr std::string_view kImplementationClass = "2.25.289282432276366168302660643103906833527";
constexpr std::string_view kImplementationVersion = "READCEPH";
// A Patient ID is a DICOM long string: 64 characters at most.
constexpr std::size_t kMostPatientIdBytes = 64;

void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xffff));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// One element of the meta group (explicit VR, little endian), its value padded to an
// even length: UIDs with a NUL, texts with a blank.
void PutElement(std::string& out, std::uint16_t element, std::string_view vr,
                std::string_view value) {
    std::string padded(value);
    if (padded.size() % 2 != 0) padded += vr == "UI" ? '\0' : ' ';
    Put16(out, 0x0002);
    Put16(out, element);
    out += vr;
    if (vr == "OB") {
        Put16(out, 0);
        Put32(out, static_cast<std::uint32_t>(padded.size()));
    } else {
        Put16(out, static_cast<std::uint16_t>(padded.size()));
    }
    out += padded;
}

}  // namespace

std::string ProblemText(const base::Problem& why) {
    std::string text = why.file;
    if (why.error) text += (text.empty() ? "" : ": ") + base::ErrorText(why.error);
    if (!why.detail.empty()) text += (text.empty() ? "" : ": ") + why.detail;
    return text;
}

std::string FilmFile(const SentFilm& film) {
    std::string group;
    PutElement(group, 0x0001, "OB", std::string_view("\x00\x01", 2));
    PutElement(group, 0x0002, "UI", film.sopClass);
    PutElement(group, 0x0003, "UI", film.sopInstance);
    PutElement(group, 0x0010, "UI", film.syntax);
    PutElement(group, 0x0012, "UI", kImplementationClass);
    PutElement(group, 0x0013, "SH", kImplementationVersion);
    if (!film.sender.empty()) PutElement(group, 0x0016, "AE", film.sender);
    std::string file(128, '\0');
    file.reserve(128 + 16 + group.size() + film.dataSet.size());
    file += "DICM";
    Put16(file, 0x0002);
    Put16(file, 0x0000);
    file += "UL";
    Put16(file, 4);
    Put32(file, static_cast<std::uint32_t>(group.size()));
    file += group;
    file += film.dataSet;
    return file;
}

base::Result<void> CheckFilm(std::string_view file, std::string& patientId) {
    pictures::dicom::Walk walk;
    if (auto walked = pictures::dicom::WalkFile(file, walk); !walked) return walked;
    patientId = pictures::dicom::Text(walk, walk.top, pictures::dicom::Tag(0x0010, 0x0020));
    // Leading blanks are padding too in a DICOM text.
    patientId.erase(0, std::min(patientId.size(), patientId.find_first_not_of(' ')));
    auto decoded = pictures::DecodeDicom(file);
    if (!decoded) return base::Fail(decoded.why());
    // The window shows a damaged film as far as it goes; one arriving damaged is not
    // filed as the patient's, so that the unit sends it again.
    if (!decoded->damage.empty()) return base::Fail(std::string(), {}, decoded->damage);
    return {};
}

Filing FileFilm(const std::string& pictureDir, std::string_view file, std::string_view stamp) {
    Filing filing;
    const std::string& id = filing.patientId;
    if (auto checked = CheckFilm(file, filing.patientId); !checked) {
        filing.reason = "無法讀取影像：" + checked.why().detail;
    } else if (id.size() > kMostPatientIdBytes) {
        // Longer than DICOM allows, and too long for a file name on some systems: no code.
        filing.reason =
            "病歷號碼「" + base::Printable(id.substr(0, kMostPatientIdBytes)) + "…」太長";
    } else {
        // The store refuses a Patient ID that cannot be a code, saying why.
        base::Result<std::string> placed = store::FileReceivedFilm(pictureDir, id, file);
        if (placed) {
            filing.filed = true;
            filing.path = *placed;
            return filing;
        }
        // A full disk keeps it from the incoming folder as much as from its patient.
        if (placed.why().error) {
            filing.reason = ProblemText(placed.why());
            return filing;
        }
        filing.reason = placed.why().detail;
    }
    base::Result<std::string> aside = store::FileIncomingFilm(pictureDir, stamp, file);
    if (aside) {
        filing.path = *aside;
    } else {
        filing.reason += "；也無法存入 incoming：" + ProblemText(aside.why());
    }
    return filing;
}

}  // namespace ceph::receiving
