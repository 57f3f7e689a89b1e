#pragma once
// Where the radiograph lies under the schematic figure: its scale and the twips of its
// top-left corner in the figure panel. Each number keeps the text it was typed or stored
// as, since the record line keeps that text byte for byte ("0.250" stays "0.250") and
// the boxes show what the clinician typed.

#include <optional>
#include <string>
#include <utility>

#include "model/numbers.h"

namespace ceph::model {

// A number kept as its text. Its value is the text's leading number (0 when it has
// none), the way a box or a record field has always been read; it is read from the text
// each time, so the two cannot disagree.
struct TypedNumber {
    std::string text;

    TypedNumber() = default;
    explicit TypedNumber(std::string typed) : text(std::move(typed)) {}
    double Value() const { return TextToNumber(text); }
    bool operator==(const TypedNumber&) const = default;
};

struct FigureAlignment {
    TypedNumber scale{"1"}, left{"0"}, top{"0"};
    // How many of the three fields a record line held. Lines this program and cephtool
    // write hold all three; one edited elsewhere may hold the top offset alone (1) or the
    // scale and the top offset (2), the others read as their defaults. Kept so that such
    // a line is written back as it was read.
    int fields = 3;
    bool operator==(const FigureAlignment&) const = default;
};

// A scale that reads as 0 becomes 1: a picture scaled by nothing would vanish. Every
// alignment the figure panel takes, typed or computed, passes through here.
void GuardScale(FigureAlignment& alignment);

// The alignment as the figure panel uses a tracing's stored one (none: never aligned,
// scale 1 at the panel's corner): the scale guarded and the top offset written as a
// general number, as the boxes have always shown a stored line.
FigureAlignment ShownAlignment(const std::optional<FigureAlignment>& stored);

}  // namespace ceph::model
