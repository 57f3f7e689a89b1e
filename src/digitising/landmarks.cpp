#include "digitising/landmarks.h"

#include "model/landmark.h"

namespace ceph::digitising {

void InitLandmarkTables(ui::State& state) {
    state.LandmarkName.fill("");
    for (const model::LandmarkInfo& info : model::Landmarks())
        state.LandmarkName[model::Slot(info.landmark)] = info.abbreviation;
    for (auto& side : state.LandmarkPairs)
        side.fill(0);
    for (std::size_t k = 0; k < model::FigurePairs().size(); ++k) {
        state.LandmarkPairs[0][k] = static_cast<std::int16_t>(model::FigurePairs()[k].from);
        state.LandmarkPairs[1][k] = static_cast<std::int16_t>(model::FigurePairs()[k].to);
    }
}

std::string LandmarkDefinition(int n) {
    if (n < 1 || n > model::kLandmarkCount) return {};
    return model::Definition(model::LandmarkNumbered(n));
}

}  // namespace ceph::digitising
