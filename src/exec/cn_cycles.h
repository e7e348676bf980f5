#pragma once
// The drilling cycles G81, G82 and G83: the Z motion of one drilling block,
// by relative moves from the Z at which it is called, back to that height
// at the end.

#include <cstdint>

namespace virmak {

// `profondeur` and `r` in mm, used as <= 0; `p` the G82 dwell in ms; `q`
// the G83 peck in mm, used as < 0; `avance` the drilling feed in mm/min.
void CyclePercage(
    int32_t cycle, uint8_t octetSortie, double profondeur, double r, double p, double q, double avance);

} // namespace virmak
