#pragma once
// Landmarks suggested by the practice's landmark model: the model found and read once
// (the data folder's, else the one installed with the program), where it puts the
// landmarks on the film shown, and the clinician taking a suggestion as a click there.
// A suggestion is never stored by itself: only what is taken or clicked is.

#include <string>

#include "ui/app.h"

namespace ceph::digitising {

// Where the window looks for a landmark model: the data folder's, then the installed
// one; the first file that is there, empty when none is.
std::string LandmarkModelPath(const ui::App& app);

// The model in force for this input, read again when its file has changed since; a file
// that cannot be used is named to the user once and input goes on without suggestions.
void FindLandmarkModel(ui::App& app);

// What the model suggests on the film now shown, found once per film; nothing while no
// input is under way, for a tracing being corrected, or without a model.
void SuggestOnShownFilm(ui::App& app);

// Enter: the landmark asked is placed where it is suggested, exactly as a click there
// would place it; nothing happens where nothing is suggested for it.
void AcceptSuggestion(ui::App& app);
// 全部採用: the landmarks still to come are placed where suggested, in order, up to the
// first one without a suggestion, which is asked as always.
void AcceptAllSuggestions(ui::App& app);

// What the user is told of a model file that cannot be used.
std::string UnusableModelText(const std::string& why);

}  // namespace ceph::digitising
