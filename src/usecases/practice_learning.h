#pragma once
// Learning the landmark model from this data folder's own tracings (編輯... > 描點建議 >
// 以本診所的描圖學習): in the background, with its progress at the right of the header and
// 取消, the window usable meanwhile; at the end the model is kept for every workstation
// and the clinician told, or told why not, the old model staying as it was.

#include "learning/shape_learning.h"
#include "ui/app.h"

namespace ceph::usecases {

// The learning as the window starts it: the program's usual options on one thread.
learning::LearningOptions PracticeLearningOptions();

void learnmn_Click(ui::App& app);
// Starts learning with `options`, unless a learning is under way.
void StartPracticeLearning(ui::App& app, const learning::LearningOptions& options);
// Every tick of the window's timer: the progress shown; at the end the model kept.
void LearningTick(ui::App& app);
// 取消: the learning stops at its next step and nothing is kept.
void CommandLearnCancel_Click(ui::App& app);

// What the clinician is told at the end.
std::string LearntText(std::size_t films, float meanError, std::size_t leftOut);
std::string NotLearntText(const std::string& why);

}  // namespace ceph::usecases
