#pragma once
// The model of the follow-up window `followwin`: a patient's tracings followed over
// time. The clinician chooses the tracings and how they are laid over one another (the
// registration); their figures are drawn over the reference tracing's, each in its own
// colour, with a legend.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/analyses.h"
#include "model/series.h"
#include "model/tracing.h"
#include "ui/control_list.h"
#include "ui/controls.h"

namespace ceph::ui {

inline constexpr int kSeriesSlots = 9;

struct FollowUpState {
    // The patient's stored tracings as read when the window opened, by tracing index.
    std::array<std::optional<model::Tracing>, kSeriesSlots> tracings;
    std::array<bool, kSeriesSlots> chosen{};
    // The tracing the others are laid over; -1: the lowest-numbered chosen.
    int reference = -1;
    model::Registration registration = model::Registration::CranialAtS;
    // The row of the standard analysis the growth curve follows (ANB at first), and the
    // patient's sex text, which chooses the norms.
    int curveRow = 2;
    std::string sex;
    // The named analyses offered, and the one whose rows follow the 37 in the table (-1
    // or the standard one: the 37 alone) with its norm set (empty: its first).
    std::vector<model::NamedAnalysis> analyses;
    int analysis = -1;
    std::string normSet;

    // The chosen analysis when it adds rows to the 37; null when it does not.
    const model::NamedAnalysis* Named() const {
        if (analysis < 0 || analysis >= static_cast<int>(analyses.size())) return nullptr;
        const model::NamedAnalysis& a = analyses[static_cast<std::size_t>(analysis)];
        return a.standard ? nullptr : &a;
    }

    // The index of the reference in force, or -1 when nothing is chosen.
    int Reference() const {
        if (reference >= 0 && chosen[static_cast<std::size_t>(reference)]) return reference;
        for (int i = 0; i < kSeriesSlots; ++i)
            if (chosen[static_cast<std::size_t>(i)]) return i;
        return -1;
    }
};

struct FollowUpWindow {
    FollowUpWindow();
    FollowUpWindow(const FollowUpWindow&) = delete;
    FollowUpWindow& operator=(const FollowUpWindow&) = delete;

    Form followwin;
    // One box per stored tracing: "第 n 張  12Y 3M"; hidden for a number not stored.
    Label LabelTracings;
    std::array<CheckBox, kSeriesSlots> CheckTrace;
    // How the tracings are laid over one another, and which one the others follow.
    Label LabelReg, LabelRef;
    ListBox RegList, RefList;
    // The figures over one another, with the legend.
    PictureBox Overlay;
    // The 37 values of each chosen tracing and the chosen analysis's (AnaList), flagged
    // by their norms, and how each changed from the reference to the last chosen, in all
    // and per year; under it, ages that could not be read.
    Label LabelAna;
    ListBox AnaList;
    Table ValueTable;
    Label LabelAges;
    // One measurement's values against age, over its norm band where the norms give one.
    Label LabelCurve;
    ListBox CurveList;
    PictureBox Curve;
    // The follow-up page of the tracings chosen, on the printer (a PDF without one).
    CommandButton CommandPrint;

    FollowUpState state;

    const std::vector<ControlRef>& Controls() const { return controls_.refs(); }

  private:
    ControlList controls_;
};

}  // namespace ceph::ui
