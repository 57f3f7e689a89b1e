#include "tools/learning_commands.h"

#include <cstdint>

// The learning commands' usage is the same in every build, whether it learns or not, so
// that every cephtool tells the same.
namespace ceph::tools {

namespace {

constexpr OptionRule kTrainOptions[] = {
    {.name = "--out", .required = true},
    {.name = "--data", .repeats = true},
    {.name = "--spacing", .repeats = true},
    {.name = "--scale"},
    {.name = "--trees", .kind = OptionRule::Number, .min = 1, .max = 5000},
    {.name = "--folds", .kind = OptionRule::Number, .min = 0, .max = 20},
    {.name = "--threads", .kind = OptionRule::Number, .min = 1, .max = 256},
};

constexpr OptionRule kSuggestOptions[] = {
    {.name = "--model", .required = true},
    {.name = "--spacing"},
};

}  // namespace

const CommandRules kTrainRules{
    .command = "train",
    .synopsis =
        "cephtool train --out MODEL [--scale MM] [--trees N] [--folds N] [--threads N]\n"
        "               [--data DIR]... [[--spacing MM] LIST.csv]...\n",
    .details =
        "  learns where the landmarks lie from the films the stored tracings of each\n"
        "  data folder were traced on (where their film positions still count) and\n"
        "  the films of the lists, and writes the model to MODEL;\n"
        "  a list is CSV with a header: picture, then \"NAME x\" and\n"
        "  \"NAME y\" for landmarks by their abbreviations, in any order (an empty\n"
        "  field or a missing column: not marked), pictures relative to the list's\n"
        "  folder, coordinates in the picture's pixels; --spacing MM gives the\n"
        "  millimetres per pixel of the lists after it (else the pictures' own, as\n"
        "  DICOM tells it); films are learnt at --scale MM per pixel (default 0.4),\n"
        "  with --trees trees per cascade (default 500; a fifth of that for the\n"
        "  closer look at each landmark, at twice the detail); --folds rounds of\n"
        "  cross-validation measure each landmark's expected error (default 3);\n"
        "  --threads N learns on N threads (default 1)\n",
    .options = kTrainOptions,
    .maxOperands = SIZE_MAX,
};

const CommandRules kSuggestRules{
    .command = "suggest",
    .synopsis = "cephtool suggest --model MODEL [--spacing MM] PICTURE...\n",
    .details =
        "  prints, as CSV with a header, where the model suggests the landmarks on each\n"
        "  picture, in its pixels to one decimal (the columns a training list has);\n"
        "  the picture's millimetres per pixel are --spacing, else its own (DICOM),\n"
        "  else it is taken to be as wide as the films the model learnt from\n",
    .options = kSuggestOptions,
    .maxOperands = SIZE_MAX,
};

}  // namespace ceph::tools
