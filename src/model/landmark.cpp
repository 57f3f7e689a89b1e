#include "model/landmark.h"

namespace ceph::model {

namespace {

using enum Landmark;

// Guide positions are those of the drawing as it was designed; the drawing is shown
// smaller, so they are scaled where it is laid out.
constexpr std::array<LandmarkInfo, kLandmarkCount> kLandmarks = {{
    {N, "N", "鼻根點", "額鼻縫的最前點", 3600, 840, 2, 1},
    {Or, "Or", "眶下點", "眼眶下緣的最低點", 3390, 1905, 3, 2},
    {ANS, "ANS", "前鼻棘點", "前鼻棘的尖端", 3600, 2745, 4, 3},
    {A, "A", "上齒槽座點", "上顎齒槽前緣最凹處", 3555, 3000, 5, 4},
    {U1Apex, "U1 Apex", "上門齒根尖", "牙根的尖端", 3360, 3180, 6, 5},
    {U1Edge, "U1 Edge", "上門齒切緣", "牙冠的切端", 3855, 3885, 7, 6},
    {L1Edge, "L1 Edge", "下門齒切緣", "牙冠的切端", 3690, 3870, 8, 7},
    {L1Apex, "L1 Apex", "下門齒根尖", "牙根的尖端", 3285, 4515, 9, 8},
    {B, "B", "下齒槽座點", "下顎齒槽前緣最凹處", 3375, 4710, 10, 9},
    {Pog, "Pog", "頦前點", "頦部骨最前突的點", 3405, 5055, 11, 10},
    {Gn, "Gn", "頦頂點", "頦前點與頦下點的中間", 3255, 5400, 12, 11},
    {Me, "Me", "頦下點", "頦部聯合的最低點", 2955, 5325, 13, 12},
    {Go, "Go", "下顎角點", "下顎角最後下的點", 660, 3930, 14, 13},
    {Ar, "Ar", "關節點", "顱底與髁突後緣的交點", 660, 2265, 15, 14},
    {Po, "Po", "耳點", "外耳道上緣的最高點", 330, 1800, 16, 15},
    {S, "S", "蝶鞍點", "蝶鞍窩的中心", 1110, 1185, 1, 16},
    {PNS, "PNS", "後鼻棘點", "硬顎的後端", 1815, 2865, 17, 17},
    {UpperMolar, "Upper Molar", "上第一大臼齒", "近心頰尖", 2595, 3630, 18, 18},
    {LowerMolar, "Lower Molar", "下第一大臼齒", "近心頰尖", 2715, 3690, 19, 19},
}};

constexpr bool NumberedInOrder() {
    for (int i = 0; i < kLandmarkCount; ++i)
        if (Number(kLandmarks[static_cast<std::size_t>(i)].landmark) != i + 1) return false;
    return true;
}
static_assert(NumberedInOrder(), "the table is indexed by landmark number");

// The landmark at a place in the click order; 0 when none.
int NumberAtPlace(int place) {
    for (const LandmarkInfo& info : kLandmarks)
        if (info.clickPlace == place) return Number(info.landmark);
    return 0;
}

bool Clicked(int number) {
    return number >= 1 && number <= kLandmarkCount;
}

}  // namespace

const std::array<LandmarkInfo, kLandmarkCount>& Landmarks() {
    return kLandmarks;
}

const LandmarkInfo& Info(Landmark l) {
    return kLandmarks[Slot(l) - 1];
}

std::string Definition(Landmark l) {
    const LandmarkInfo& info = Info(l);
    return std::string(info.abbreviation) + " " + info.chineseName + "：" + info.where;
}

int NextClicked(int number) {
    // Past the last one comes the end of the order; numbers outside the table just
    // count on, as the prompt's number always has.
    if (!Clicked(number) || number == Number(kLastClicked)) return number + 1;
    return NumberAtPlace(Info(LandmarkNumbered(number)).clickPlace + 1);
}

int PreviousClicked(int number) {
    if (!Clicked(number) || number == Number(kFirstClicked)) return number - 1;
    return NumberAtPlace(Info(LandmarkNumbered(number)).clickPlace - 1);
}

const std::array<LandmarkPair, kFigurePairs>& FigurePairs() {
    static constexpr std::array<LandmarkPair, kFigurePairs> kPairs = {{
        {U1Apex, U1Edge},
        {L1Edge, L1Apex},
        {MolarPoint, IncisorPoint},
        {ANS, PNS},
        {B, Pog},
        {Pog, Gn},
        {Gn, Me},
        {Me, Go},
        {Go, Ar},
        {Or, Po},
        {N, A},
        {N, S},
        {A, B},
    }};
    return kPairs;
}

}  // namespace ceph::model
