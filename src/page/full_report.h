#pragma once
// The full printed report: one A4 page for the patient's file or a referral. The
// practice's name, the patient header and the date; the radiograph with the landmarks
// and the tracing lines over it; the schematic figure as moved; the program's own 37
// values and the chosen named analysis, with norms, deviations and flags. Drawn in
// twips from the printable area's top-left, from model inputs only, so the window and
// cephtool print the same page.

#include <optional>
#include <string>

#include "model/analyses.h"
#include "model/figure.h"
#include "model/film_positions.h"
#include "model/tracing.h"
#include "page/drawing.h"
#include "page/services.h"
#include "uncertainty/uncertainty.h"

namespace ceph::page {

// The printable area of an A4 page with margins of 10 mm, in twips: everything of the
// page lies inside it.
inline constexpr float kFullPageWidth = 10770, kFullPageHeight = 15700;

// The radiograph under the landmarks: the picture, and where the figure panel puts it
// (the tracing's figure fields: its scale and its top-left corner in twips of the
// panel), and how many twips of the panel a picture pixel takes at scale 1 (the screen's,
// as the panel shows it there). When there is no picture, `problem` says why in words
// for the page.
struct FullRadiograph {
    PictureRef picture;
    float scale = 1, left = 0, top = 0;
    float twipsPerPixelX = 15, twipsPerPixelY = 15;
    std::string problem;
};

struct FullReportInputs {
    std::string clinicName;  // empty: none printed
    model::Patient patient;
    model::ReportedTracing tracing;  // landmarks (mm, S at the origin), age and caption
    std::string printedOn;           // "2026-03-01"
    FullRadiograph radiograph;
    model::Figure figure;  // as shown, moved by the simulation when it was
    const model::NamedAnalysis* standard = nullptr;
    const model::NamedAnalysis* chosen = nullptr;
    std::string normSet;  // of the chosen analysis; empty: its first
    // The ± of the 37 values, when the clinician shows them.
    std::optional<uncertainty::Uncertainty> halfWidths;
};

// Draws the page onto `page`.
void DrawFullReport(DrawingList& page, const FullReportInputs& in);

// What a full page is made of, as the window or cephtool knows it; AssembleFullReport
// gathers the rest (the practice's name, the date printed, the radiograph, the half-
// widths), the same way for both.
struct FullReportRequest {
    std::string dataDir;  // ending with the separator
    std::string picture;  // the radiograph's file
    // Where the landmarks lie on that film, when it is the one traced (they align a
    // tracing never aligned by hand), and the film when it was loaded to find that out.
    std::optional<model::FilmPositions> positions;
    PictureRef film;
    model::Patient patient;
    model::ReportedTracing tracing;
    model::FigureAlignment alignment;  // the radiograph under the figure, as the panel has it
    model::Figure figure;
    const model::NamedAnalysis* standard = nullptr;
    const model::NamedAnalysis* chosen = nullptr;
    std::string normSet;
    bool halfWidths = false;
    YearMonth today;
};
FullReportInputs AssembleFullReport(const FullReportRequest& request, PictureLookup& pictures);

// The practice's name from `readceph.ini` in the data folder: key ClinicName in the
// section [readceph], or before any section. Empty when the file or the key is not
// there (a file that cannot be read is no reason to print nothing).
std::string ReadClinicName(const std::string& dataDir);
inline constexpr const char* kReportSettingsFile = "readceph.ini";

// "2026-03-01".
std::string DateText(int year, int month, int day);

// Whether the tracing's figure fields ever aligned the radiograph: a record that never
// did holds none, which reads as scale 1 at the panel's corner, and no radiograph lies
// there at its full size.
bool FigureAligned(float scale, float left, float top);

// What the page says in the radiograph's box when it has none.
inline constexpr const char* kNeverAligned = "這張描圖的 X 光片沒有對齊過圖形，無法畫在描點下。";
std::string MissingPictureText(const std::string& path);

// The radiograph at `path` as the figure fields align it, loaded through `pictures`;
// when it cannot be had, why (never aligned, no such file, unreadable).
// A film already loaded (`loaded`) is taken as it is.
FullRadiograph FindRadiograph(PictureLookup& pictures, const std::string& path, float scale,
                              float left, float top, const PictureRef& loaded = {});

// The program's own analysis among `analyses`; null when it is not there.
const model::NamedAnalysis* StandardAnalysisOf(const std::vector<model::NamedAnalysis>& analyses);

}  // namespace ceph::page
