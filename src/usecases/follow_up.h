#pragma once
// Following a patient over time: the follow-up window opened on the patient's stored
// tracings, the clinician's choices of tracings, registration and reference.

#include "ui/app.h"

namespace ceph::usecases {

// "追蹤..." is offered once the patient has two stored tracings.
void OfferFollowUp(ui::MainWindow& win);

// "追蹤...": the window on every tracing the patient has stored, all chosen, laid over
// the first on the cranial base at S. A tracing that cannot be read is named and left out.
void followmn_Click(ui::App& app);
void CheckTrace_Click(ui::App& app, int index);
void RegList_Click(ui::App& app);
void RefList_Click(ui::App& app);
void CurveList_Click(ui::App& app);
// The analysis whose rows follow the 37 in the values table and the growth curve's list
// (its norm set kept when it has one of that name, else its first).
void FollowAnaList_Click(ui::App& app);
void followwin_Unload(ui::App& app);

// "列印追蹤報告" (the follow-up window's button, or the 列印 menu): the follow-up page of the
// tracings chosen in the window, or of every stored tracing when it is not open, on the
// printer; without one the clinician may keep it as a PDF.
void PrintFollowUp(ui::App& app);

}  // namespace ceph::usecases
