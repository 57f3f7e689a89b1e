#pragma once
// The schematic figure of a tracing, on which a clinician simulates treatment: the
// hard-tissue structures as lines between landmarks, the estimated soft-tissue profile
// as a chain of segments, the landmark-pair figure painted under them, the structure
// chosen in the list and whether the bones are drawn broken. Millimetres map to twips
// of the figure panel as 30 per mm with S at (800, 600). The window shows it on its
// figure panel and cephtool draws it to files, so both show the same lines.

#include <array>
#include <string>

#include "model/colour.h"
#include "model/profile.h"
#include "model/tracing.h"

namespace ceph::model {

inline constexpr float kFigureTwipsPerMm = 30;
inline constexpr float kFigureOriginX = 800, kFigureOriginY = 600;

inline constexpr int kHardTissueLines = 9;   // one per pair 0..8 of FigurePairs()
inline constexpr int kProfileSegments = 15;  // the profile without the mouth opening
inline constexpr int kPairFigureLines = 12;  // pairs 0..11 of FigurePairs()
inline constexpr int kFigureStructures = 9;  // the structures the list offers
// Their names, as the structure list offers them and the full report prints them.
inline constexpr const char* kStructureNames[kFigureStructures] = {
    "Upper Incisor", "Lower Incisor", "Occlusal plane", "Alveolar bone", "Mandibular bone",
    "Nose",          "Upper lip",     "Lower lip",      "Chin"};

// The frames that stand on the figure panel, in twips: the movement frame (its width)
// and the alignment frame (its top and height). The panel grows to hold them; the
// window lays them out at these sizes.
inline constexpr float kMovementFrameWidth = 3900;
inline constexpr float kAlignmentFrameTop = 3240, kAlignmentFrameHeight = 975;

struct FigureLine {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // twips in the panel
    Colour colour = kBlack;
    int width = 1;  // in pixels, whatever the scale
    bool visible = false;
    bool dotted = false;  // the dotted style shows only at width 1
};

// What the clinician's movements of the structures add up to since the figure was
// built: each structure's accumulated turn (degrees, counter-clockwise on the screen
// positive) and shift (millimetres, right and down positive), and the landmarks as the
// structures they belong to carry them (millimetres, S at the origin; those of no moved
// structure where the tracing has them). The measurements recomputed from them are the
// simulated ones; nothing of it is stored.
struct Simulation {
    std::array<double, kFigureStructures> turn{}, shiftX{}, shiftY{};
    PointTable X{}, Y{};
    bool moved = false;
};

struct Figure {
    // Before any tracing: every line hidden at the panel's corner and no structure
    // chosen.
    Figure();

    std::array<FigureLine, kHardTissueLines> hardTissue;
    std::array<FigureLine, kProfileSegments> profile;
    Profile profilePoints;  // millimetres; the segments join them
    Simulation simulation;
    // The landmark-pair figure painted on the panel under the lines.
    std::array<FigureLine, kPairFigureLines> pairLines;
    int selected = -1;  // 0..8 as the list offers them; anything else is none
    bool dotted = false;
    // The panel: its size, and where the movement and alignment frames stand in front
    // of the nose.
    float width = 0, height = 0;
    float movementFrameLeft = 0, alignmentFrameLeft = 0;
    Colour background = kWhite;
};

// A radiograph under the figure, as the figure panel shows it when the picture is switched
// on: the picture file, and where it lies in the panel as the record's figure fields
// align it (its top-left corner in twips, and its scale over one screen pixel of 15 twips
// per picture pixel).
struct FigureRadiograph {
    std::string path;
    float left = 0, top = 0, scale = 1;
};

// Ends of a line from two points in millimetres.
void SetLineEnds(FigureLine& line, float x1, float y1, float x2, float y2);

// The figure as showing a tracing builds it: X and Y hold landmarks 1..19 with the
// occlusal points 29 and 30 derived, the profile as it stands. The upper incisor is
// chosen and the bones are solid.
Figure MakeFigure(const PointTable& X, const PointTable& Y, const Profile& profile);
// The same from a stored tracing: the occlusal points and the profile are derived
// from its landmarks.
Figure FigureOf(const Tracing& tracing);

// Chooses structure s: its bone lines are shown (in green) and its part of the
// profile drawn solid; every other bone line is hidden. Anything but 0..8 shows no bone.
void Select(Figure& figure, int s);
// Broken (thin) or solid (thick) bone lines.
void SetDotted(Figure& figure, bool dotted);
// Joins the profile points with the profile segments again.
void DrawProfile(Figure& figure);

}  // namespace ceph::model
