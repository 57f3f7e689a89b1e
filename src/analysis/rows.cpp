#include "analysis/rows.h"

namespace ceph::analysis {

namespace {

using enum Unit;
using enum Block;

constexpr std::array<RowSpec, kRows> kRowSpecs = {{
    {"SNA:", Degree, Skeletal, 0, 1},
    {"SNB:", Degree, Skeletal, 1, 1},
    {"ANB:", Degree, Skeletal, 2, 1},
    {"NAP:", Degree, Skeletal, 3, 1},
    {"A-Nv:", Millimetre, Skeletal, 4, 1},
    {"Pog-Nv:", Millimetre, Skeletal, 5, 1},
    {"SN/FH:", Degree, Skeletal, 6, 1},
    {"SN/MP:", Degree, Skeletal, 7, 1},
    {"UFH:", Percent, Skeletal, 8, 1},
    {"LFH:", Percent, Skeletal, 9, 1},
    {"PFH/AFH:", Percent, Skeletal, 10, 1},
    {"S-Go:", Millimetre, Skeletal, 11, 1},
    {"N-ANS:", Millimetre, Skeletal, 12, 1},
    {"ANS-Me:", Millimetre, Skeletal, 13, 1},
    {"SN/U1:", Degree, Dental, 0, 1},
    {"U1/L1:", Degree, Dental, 1, 1},
    {"U1-NP:", Millimetre, Dental, 2, 1},
    {"LI/OP:", Degree, Dental, 3, 1},
    {"L1/MP:", Degree, Dental, 4, 1},
    {"WITS:", Millimetre, Dental, 5, 1},
    {"UI-PP:", Millimetre, Dental, 6, 1},
    {"UM-PP:", Millimetre, Dental, 7, 1},
    {"LI-MP:", Millimetre, Dental, 8, 1},
    {"LM-MP:", Millimetre, Dental, 9, 1},
    {"OB:", Millimetre, Dental, 11, 1},  // one line left empty above overbite
    {"GONIAL:", Degree, Dental, 12, 1},
    {"AB", None, Differences, 0, 1},
    {"UL", None, Differences, 1, 1},
    {"AU", None, Differences, 2, 1},
    {"BL", None, Differences, 3, 1},
    {"Ar-A:", Millimetre, Maxillomandibular, 2, 1},  // below the differences' values
    {"Ar-Gn: ", Millimetre, Maxillomandibular, 3, 1},
    {"A-Gn:", Millimetre, Maxillomandibular, 4, 1},
    {"A/Ar/Gn:", Degree, Maxillomandibular, 5, 1},
    {"Ar/A/Gn:", Degree, Maxillomandibular, 6, 1},
    {"A/Gn/Ar:", Degree, Maxillomandibular, 7, 1},
    {"Max./Mand.", Percent, Maxillomandibular, 8, 1},
}};

// The grid's columns: caption, value and unit of each block.
struct GridColumn {
    float caption, value, unit;
};
constexpr GridColumn kGridColumns[] = {
    {120, 960, 1680}, {2160, 2880, 3600}, {}, {4200, 5160, 5880}};
constexpr float kGridTop = 360, kGridLine = 240;
constexpr float kNormLeft = 6360;
// The differences: captions in a row of their own, values under them.
constexpr float kDifferenceCaptions[4] = {4440, 5280, 6120, 6960};
constexpr float kDifferenceValues[4] = {4320, 5160, 6000, 6840};
constexpr float kDifferenceCaptionTop = 240, kDifferenceValueTop = 480;

template <class T>
void Place(T& control, float left, float top, float width) {
    control.Move(left, top, width, kGridLine);
}

// The next free unit label of a unit; they are matched to rows in the rows' order.
ui::Label& NextUnitLabel(ui::MainWindow& w, Unit unit, int (&used)[3]) {
    switch (unit) {
        case Degree:
            return w.Label7[static_cast<std::size_t>(used[0]++)];
        case Millimetre:
            return w.Label8[static_cast<std::size_t>(used[1]++)];
        default:
            return w.Label9[static_cast<std::size_t>(used[2]++)];
    }
}

}  // namespace

const RowSpec& Row(int row) {
    return kRowSpecs[static_cast<std::size_t>(row)];
}

std::string_view UnitText(Unit unit) {
    switch (unit) {
        case Degree:
            return "°";
        case Millimetre:
            return "mm";
        case Percent:
            return "%";
        case None:
            break;
    }
    return "";
}

std::string ShownValue(std::string_view text) {
    // Cutting a longer value would print a plausible wrong number ("903.0" for
    // -12334903.0); a filled field says plainly that it does not fit.
    if (text.size() > 5) return "*****";
    return std::string(text);
}

std::string ValueField(std::string_view text) {
    std::string field = "     " + ShownValue(text);
    return field.substr(field.size() - 5);
}

void LayOutResultGrid(ui::MainWindow& w) {
    int used[3] = {0, 0, 0};
    for (int row = 0; row < kRows; ++row) {
        const RowSpec& spec = Row(row);
        ui::Label& caption = w.Label6[static_cast<std::size_t>(row)];
        ui::TextBox& value = w.Text3[static_cast<std::size_t>(row)];
        caption.caption = spec.caption;
        value.text = "Text3";
        if (spec.block == Differences) {
            Place(caption, kDifferenceCaptions[spec.line], kDifferenceCaptionTop, 720);
            Place(value, kDifferenceValues[spec.line], kDifferenceValueTop, 720);
            continue;
        }
        const GridColumn& c = kGridColumns[static_cast<int>(spec.block)];
        const float top = kGridTop + static_cast<float>(spec.line) * kGridLine;
        Place(caption, c.caption, top, c.value - c.caption);
        Place(value, c.value, top, 720);
        if (spec.unit != None) {
            ui::Label& unit = NextUnitLabel(w, spec.unit, used);
            unit.caption = " " + std::string(UnitText(spec.unit));
            Place(unit, c.unit, top, 480);
        }
        if (spec.block == Maxillomandibular) {
            ui::Label& norm = w.Label12[static_cast<std::size_t>(row - 30)];
            norm.caption = "Label12";
            Place(norm, kNormLeft, top, 1140);
        }
    }
}

}  // namespace ceph::analysis
