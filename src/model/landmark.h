#pragma once
// The landmarks of a lateral cephalometric tracing and everything the program knows of
// each, in one table: its abbreviation, Chinese name and where it lies, its place on
// the guide drawing, its place in the click order and its row in the landmark error
// table. Points 29 and 30 are not clicked: they are derived from the molars and the
// incisor edges.

#include <array>
#include <string>

namespace ceph::model {

// Numbered as the record files store them: a landmark's number is its place in a
// record line and its slot in the point store.
enum class Landmark : int {
    N = 1,
    Or,
    ANS,
    A,
    U1Apex,
    U1Edge,
    L1Edge,
    L1Apex,
    B,
    Pog,
    Gn,
    Me,
    Go,
    Ar,
    Po,
    S,
    PNS,
    UpperMolar,
    LowerMolar,
    // Derived: the midpoint of the two molars, and of the two incisor edges; the
    // occlusal line runs through them.
    MolarPoint = 29,
    IncisorPoint = 30,
};

inline constexpr int kLandmarkCount = 19;  // the clicked ones, numbered 1..19
inline constexpr int kPointSlots = 31;     // store slots 0..30, by landmark number

constexpr int Number(Landmark l) {
    return static_cast<int>(l);
}
constexpr std::size_t Slot(Landmark l) {
    return static_cast<std::size_t>(l);
}
// Landmark n, for n from 1 to kLandmarkCount.
constexpr Landmark LandmarkNumbered(int n) {
    return static_cast<Landmark>(n);
}

struct LandmarkInfo {
    Landmark landmark;
    const char* abbreviation;  // as the prompt, the marks and the report show it
    const char* chineseName;
    const char* where;   // where on the film the point lies
    int guideX, guideY;  // on the guide drawing as laid out, before its scale
    int clickPlace;      // 1 for the first landmark clicked
    int errorRow;        // its line number in the landmark error table
};

// The clicked landmarks, in landmark-number order.
const std::array<LandmarkInfo, kLandmarkCount>& Landmarks();
const LandmarkInfo& Info(Landmark l);

// "N 鼻根點：額鼻縫的最前點": one line on what the landmark is, for the clinician at
// the radiograph.
std::string Definition(Landmark l);

// The click order: S first (it fixes the zoom), then N to Po, then PNS and the molars.
inline constexpr Landmark kFirstClicked = Landmark::S;
inline constexpr Landmark kLastClicked = Landmark::LowerMolar;

// The landmark clicked after / before l; NextClicked(kLastClicked) and
// PreviousClicked(kFirstClicked) are numbers past the ends.
int NextClicked(int number);
int PreviousClicked(int number);

// The landmark pairs the figures join: incisor axes, occlusal and palatal planes, chin
// and mandible, FH, N-A, S-N and A-B.
struct LandmarkPair {
    Landmark from, to;
};
inline constexpr int kFigurePairs = 13;
const std::array<LandmarkPair, kFigurePairs>& FigurePairs();

}  // namespace ceph::model
