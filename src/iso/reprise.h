#pragma once
// Starting a run from a chosen line: the record of the tool path it starts
// at, why it cannot start there, and the safe approach from where the tool
// is to where the blocks before it would have left it.

#include "foundation/ligne_prog.h"

#include <string>
#include <vector>

namespace virmak {

struct Reprise {
    size_t premier = 0; // first record of TabProgCorr to run; 0 when refused
    std::string refus; // why not, in the operator's words
    std::vector<LigneProg> approche; // moves to the state before `premier`
    size_t descente = 0; // index in `approche` of the move down, before which the spindle starts
    bool broche = false; // the spindle runs at that point of the program
    std::string texte; // the approach as the operator is shown it
};

// For the program list line `ligne` (from 0), with the tool at `position`
// and `zSure` the height it travels at (raised to the current and the
// target Z when below them).
Reprise PreparerReprise(size_t ligne, const double position[3], double zSure);

// The height the tool travels at over the part: HauteurSecurite of [CYCLES]
// when set, else the highest Z of the tool path TabProgCorr.
double HauteurSure();

} // namespace virmak
