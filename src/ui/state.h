#pragma once
// The main window's state record: the fields that the behaviour keeps beside the
// controls for the whole run.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "model/analyses.h"
#include "model/figure.h"
#include "model/figure_alignment.h"
#include "model/tracing.h"
#include "ui/controls.h"
#include "ui/correction_state.h"
#include "ui/digitising_state.h"

namespace ceph::ui {

constexpr int kLandmarkCount = model::kLandmarkCount;
constexpr int kPointSlots = model::kPointSlots;  // landmark store indices 0..30
constexpr int kNameSlots = 21;                   // names and guide positions 0..20
constexpr int kPairSlots = 21;
constexpr int kProfileSlots = 21;
constexpr int kResultRows = model::kRows;      // the result rows of a report
constexpr int kNormLabels = model::kNormRows;  // the norms printed beside the jaw rows
// The result grid's unit labels: one beside each row of that unit.
constexpr int kDegreeLabels = model::RowsOfUnit(model::Unit::Degree);
constexpr int kMillimetreLabels = model::RowsOfUnit(model::Unit::Millimetre);
constexpr int kPercentLabels = model::RowsOfUnit(model::Unit::Percent);

// What the report of one tracing is drawn from.
using ReportInputs = model::ReportedTracing;

// The report panel as drawn for the shown tracing alone: its background and drawing.
// A later comparison starts again from it.
struct ReportPanel {
    PictureRef picture;
    DrawingList drawing;
};

// The figure panel and the radiograph under it, as the behaviour keeps them; the panel,
// the `graph` item's caption and the alignment boxes Text1 show them.
struct FigurePanelState {
    // Where the radiograph lies under the figure, as the boxes show it: set by showing a
    // tracing and by a click on the figure, and taken from what is typed into the boxes
    // once it is committed (Enter, leaving a box, ReLoad).
    model::FigureAlignment alignment;
    // Which boxes a click on the figure acts for: focus into the scale box arms the
    // scale, into the left-offset box the offsets, until a key is typed into any box or
    // the click has used it.
    bool scaleArmed = false, offsetArmed = false;
    // Whether the figure panel is shown; the `graph` item then offers to cancel it.
    bool shown = false;
};

struct State {
    std::string DataDir;     // ends with the platform separator
    std::string PictureDir;  // ends with the platform separator
    bool ToScreen = false;
    bool Comparing = false;
    std::int16_t ShownTracing = 0;
    std::int16_t CompareTracing = 0;
    std::int16_t InputTracing = 0;
    // The patient's line of the input's record file as the input found it (nothing when
    // there was none): finishing replaces that line only, unless the clinician agrees.
    std::optional<std::string> InputFoundLine;
    // Millimetres per image unit as the calibration file held it at start; 0 when none.
    double SavedRate = 0;
    // The patient the practice suite handed over; the header labels show it.
    model::Patient Patient;
    std::array<std::string, kNameSlots> LandmarkName{};
    std::array<float, kPointSlots> X{};
    std::array<float, kPointSlots> Y{};
    std::array<std::array<std::int16_t, kPairSlots>, 2> LandmarkPairs{};
    std::array<std::int16_t, kNameSlots> GuideLeft{};
    std::array<std::int16_t, kNameSlots> GuideTop{};
    // Where the placing of the landmarks stands; the guide and the read-outs show it.
    DigitisingState Digitising;
    std::array<std::array<float, kProfileSlots>, 2> ProfilePts{};
    model::Figure ShownFigure;  // the shown tracing's figure, as moved since
    FigurePanelState FigurePanel;
    ReportPanel ShownPanel;
    // The figure panel's drawing with the shown tracing alone, which each comparison
    // draws over afresh.
    DrawingList ShownFigureDrawing;
    ReportInputs ShownReport;
    ReportInputs ComparedReport;
    // The named analysis the clinician chose to read the case by (its name as the analyses
    // list shows it) and its norm set (empty: the analysis's first), for the analysis panel
    // and the full report.
    std::string ChosenAnalysis = model::kDefaultAnalysis;
    std::string ChosenNormSet;
    // Whether a compared tracing is laid over the shown one with their S-N lines along each
    // other (turned about S) instead of as traced, at S.
    bool SuperimposeOnSN = false;
    // A stored tracing being corrected on its radiograph.
    CorrectionState Correction;
    // Twips at the right of the client area that the work area leaves to other panels.
    float ReservedRight = 0;
    // Where the clinician last left the input window, so the next tracing opens there and
    // as large (width 0 until an input has ended).
    struct WindowPlace {
        float left = 0, top = 0, width = 0, height = 0;
        bool maximised = false;
    } InputWindow;
};

}  // namespace ceph::ui
