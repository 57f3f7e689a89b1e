#pragma once
// The worked tracing that many tests measure: 19 landmarks in millimetres (S at the
// origin, y downwards), as points and as the coordinates of a record line.

#include <string>

namespace ceph::testing {

// N, Or, ANS, A, U1 Apex, U1 Edge, L1 Edge, L1 Apex, B, Pog, Gn, Me, Go, Ar, Po, S, PNS,
// Upper Molar, Lower Molar.
inline constexpr float kWorkedPoints[19][2] = {{70, 0},   {62, 25},  {75, 45}, {72, 52}, {66, 58},
                                               {74, 74},  {71, 72},  {62, 92}, {66, 95}, {68, 112},
                                               {65, 118}, {60, 120}, {10, 90}, {-5, 35}, {-10, 22},
                                               {0, 0},    {25, 48},  {40, 72}, {42, 74}};

// The same 38 coordinates as a record line spells them after the code.
inline const std::string kWorkedFields =
    "70,0,62,25,75,45,72,52,66,58,74,74,71,72,62,92,66,95,68,112,65,118,60,120,10,90,-5,35,-10,22,"
    "0,0,25,48,40,72,42,74";

}  // namespace ceph::testing
