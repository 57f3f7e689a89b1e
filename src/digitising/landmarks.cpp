#include "digitising/landmarks.h"

namespace ceph::digitising {

void InitLandmarkTables(ui::State& state) {
    static const char* const kNames[ui::kLandmarkCount] = {
        "N",       "Or", "ANS", "A",           "U1 Apex",    "U1 Edge", "L1 Edge",
        "L1 Apex", "B",  "Pog", "Gn",          "Me",         "Go",      "Ar",
        "Po",      "S",  "PNS", "Upper Molar", "Lower Molar"};
    state.LandmarkName.fill("");
    for (int i = 0; i < ui::kLandmarkCount; ++i)
        state.LandmarkName[i + 1] = kNames[i];

    // Incisor axes, occlusal and palatal planes, chin and mandible, FH, N-A, S-N, A-B.
    static const short kPairs[13][2] = {{5, 6},   {7, 8},   {29, 30}, {3, 17},  {9, 10},
                                        {10, 11}, {11, 12}, {12, 13}, {13, 14}, {2, 15},
                                        {1, 4},   {1, 16},  {4, 9}};
    for (auto& side : state.LandmarkPairs)
        side.fill(0);
    for (int k = 0; k < 13; ++k) {
        state.LandmarkPairs[0][k] = kPairs[k][0];
        state.LandmarkPairs[1][k] = kPairs[k][1];
    }
}

const char* LandmarkDefinition(int n) {
    // Written for the clinician at the radiograph: the abbreviation the prompt shows,
    // the Chinese name, and where on the film the point lies.
    static const char* const kDefinitions[ui::kLandmarkCount] = {
        "N 鼻根點：額鼻縫的最前點",          "Or 眶下點：眼眶下緣的最低點",
        "ANS 前鼻棘點：前鼻棘的尖端",        "A 上齒槽座點：上顎齒槽前緣最凹處",
        "U1 Apex 上門齒根尖：牙根的尖端",    "U1 Edge 上門齒切緣：牙冠的切端",
        "L1 Edge 下門齒切緣：牙冠的切端",    "L1 Apex 下門齒根尖：牙根的尖端",
        "B 下齒槽座點：下顎齒槽前緣最凹處",  "Pog 頦前點：頦部骨最前突的點",
        "Gn 頦頂點：頦前點與頦下點的中間",   "Me 頦下點：頦部聯合的最低點",
        "Go 下顎角點：下顎角最後下的點",     "Ar 關節點：顱底與髁突後緣的交點",
        "Po 耳點：外耳道上緣的最高點",       "S 蝶鞍點：蝶鞍窩的中心",
        "PNS 後鼻棘點：硬顎的後端",          "Upper Molar 上第一大臼齒：近心頰尖",
        "Lower Molar 下第一大臼齒：近心頰尖"};
    return n >= 1 && n <= ui::kLandmarkCount ? kDefinitions[n - 1] : "";
}

}  // namespace ceph::digitising
