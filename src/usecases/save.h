#pragma once
// Keeping a tracing: finishing an input (the points in millimetres become the
// patient's line of the record file, and the calibration is kept), and saving the
// alignment of the radiograph under the figure into that line.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/film_positions.h"
#include "model/geometry.h"
#include "model/tracing.h"
#include "store/record_line.h"
#include "ui/app.h"

namespace ceph::usecases {

using store::PointRow;

// The landmarks converted from image units to millimetres with S at the origin, for a
// true S-N length of `snMillimetres`. Left in image units when that length or the
// measured S-N distance is 0.
void ToMillimetres(PointRow& x, PointRow& y, double snMillimetres);

// Stores `line` as the patient's tracing index+1 while the patient's line there is still
// `found` (the line the work started from; nothing when there was none). When another
// workstation or program changed it meanwhile, the clinician is asked whether to
// replace it (取消 the default). True when stored; otherwise nothing was written and the
// clinician was told why, `stillHere` saying that the work is still on the screen.
// The tracing's film positions (none: whatever was kept is dropped) are stored with the
// line, under the same hold of the lock; when only they fail, the clinician is told and
// the line stays stored.
bool StoreOverFound(ui::App& app, int index, const std::string& line,
                    const std::optional<std::string>& found, std::string_view stillHere,
                    const std::optional<model::FilmPositions>& film);

// The positions of `film` for a tracing stored as X, Y: the film named as the picture
// folder allows, with the digest of those coordinates.
model::FilmPositions StoredPositions(const ui::State& state, model::FilmPositions film,
                                     const model::PointTable& X, const model::PointTable& Y);

// "完成存檔退出": stores the tracing being entered; true when it is stored (the input
// then ends and the tracing is shown). When the record file cannot be written, says
// why and changes nothing, so the clinician can free the disk and press it again. An
// S-N length that cannot scale the tracing (none, 0 or less, not a number, so large
// that a landmark lies over a metre from S, or N on S) is refused the same way, the
// calibration panel's red line saying why.
bool StoreInput(ui::App& app);
// "ReLoad": stores the figure boxes into the shown tracing's line and shows it again.
void Command2_Click(ui::App& app);
// The mouse released over the figure: an armed alignment box is set, saved and shown.
void Picture8_MouseUp(ui::App& app, float x, float y);
// The radiograph under the figure switched on or off: the tracing is shown again.
void Check2_Click(ui::App& app);

}  // namespace ceph::usecases
