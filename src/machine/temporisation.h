#pragma once
// Timing base of the step emission: the high-resolution counter, the table
// of step periods and the busy loop that holds a step pulse.

#include <cstdint>

namespace virmak {

inline constexpr int VitesseMaxTable = 20000;

extern int64_t FreqCompteur;
extern int64_t TabPeriodes[VitesseMaxTable + 1]; // [n]: period of n steps per second
extern int64_t PeriodePas;
extern int64_t InstantPas;
extern double DureeBoucle; // microseconds per busy-loop iteration
extern int32_t BouclesCreneau; // iterations that make LarCreneau microseconds

// The busy loop itself; never optimised away.
void BoucleAttente(int32_t iterations);

void CalibrerTemporisation();

// BouclesCreneau from LarCreneau and DureeBoucle.
void CalculerBouclesCreneau();

} // namespace virmak
