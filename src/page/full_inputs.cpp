// What the full page is drawn from, gathered the same way for the window and cephtool.
#include "base/filesys.h"
#include "model/numbers.h"
#include "page/full_report.h"
#include "store/practice_analyses.h"

namespace ceph::page {

FullRadiograph FindRadiograph(PictureLookup& pictures, const std::string& path, float scale,
                              float left, float top, const PictureRef& loaded) {
    FullRadiograph r;
    r.scale = scale, r.left = left, r.top = top;
    if (!FigureAligned(scale, left, top)) {
        r.problem = kNeverAligned;
    } else if (!loaded.empty()) {
        r.picture = loaded;
    } else if (!base::PathExists(path)) {
        // Something that is there but no regular file (a device, a pipe) is named by
        // the reader, which refuses it without reading.
        r.problem = MissingPictureText(path);
    } else if (const base::Result<PictureRef> loaded = pictures.LoadPicture(path)) {
        r.picture = *loaded;
    } else {
        r.problem = "無法讀取 X 光片 " + path + "：" + loaded.why().detail;
    }
    return r;
}

const model::NamedAnalysis* StandardAnalysisOf(const std::vector<model::NamedAnalysis>& analyses) {
    for (const model::NamedAnalysis& a : analyses)
        if (a.standard) return &a;
    return nullptr;
}

FullReportInputs AssembleFullReport(const FullReportRequest& r, PictureLookup& pictures) {
    FullReportInputs in;
    in.clinicName = ReadClinicName(r.dataDir);
    in.patient = r.patient;
    in.tracing = r.tracing;
    in.printedOn = DateText(r.today.year, r.today.month, r.today.day);
    model::FigureAlignment at = r.alignment;
    // A tracing never aligned by hand lies on the film traced where its positions say.
    const auto value = [](const model::TypedNumber& n) { return static_cast<float>(n.Value()); };
    if (!FigureAligned(value(at.scale), value(at.left), value(at.top)) && r.positions)
        if (const auto placed =
                model::AlignmentFromPositions(*r.positions, r.tracing.X, r.tracing.Y))
            at = *placed;
    in.radiograph =
        FindRadiograph(pictures, r.picture, value(at.scale), value(at.left), value(at.top), r.film);
    in.figure = r.figure;
    in.standard = r.standard;
    in.chosen = r.chosen;
    in.normSet = r.normSet;
    if (r.halfWidths)
        in.halfWidths = uncertainty::EstimateUncertainty(
            uncertainty::PracticeErrorModel(r.dataDir, nullptr), in.tracing.X, in.tracing.Y);
    return in;
}

}  // namespace ceph::page
