#pragma once
// The run's moves known in advance, for the ramps' look-ahead: from a
// block on, the lines and arc chords the run will make, up to the first
// place where it must stop for something else than motion (M0, M3, M5, a
// drilling cycle, step by step or block stop, the program's end).

#include "machine/planificateur.h"

#include <cstddef>
#include <vector>

namespace virmak {

// At most this many moves in one plan (an arc of a huge radius may have
// millions of chords).
inline constexpr size_t TronconsMaxi = 200000;

// From block `premier` with the machine where it is now; `dernier` is set
// to the last block covered.
std::vector<Troncon> TronconsCycle(size_t premier, size_t& dernier);

// Before block `bloc`'s motion: a plan of what follows when none covers it.
void PlanifierCycle(size_t bloc);

} // namespace virmak
