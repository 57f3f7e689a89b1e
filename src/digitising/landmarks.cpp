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

}  // namespace ceph::digitising
