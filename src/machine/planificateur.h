#pragma once
// Acceleration ramps with look-ahead, used only when an axis has them
// (RampesActives). The planner gives each straight move of a run (a line,
// an arc's chord) the speed it may end at, with a backward and a forward
// pass over the moves known in advance; the follower turns that into one
// period per step event. Every move starts and ends with each axis at or
// below AvMax, a junction changes no axis's rate by more than AvMax, and
// in between no axis accelerates by more than Acceleration nor runs above
// VitesseRampe or the feed. The stops are not ramped: the emitter's checks
// do not change.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace virmak {

struct Troncon {
    int32_t n[3] = { 0, 0, 0 }; // signed steps
    double avance = 0; // feed, mm/s, with the override of the plan's time; 0: none
    bool arret = false; // the machine stops at its end
    size_t bloc = 0; // the program block it belongs to
    // Set by Planifier.
    double sortie = 0; // speed at its end, mm/s
    double longueur = 0, depart = 0, acceleration = 0; // mm; its start/stop speed, mm/s; mm/s²
};

// Fills `sortie` (and the geometry) of every move: from rest at the first,
// to rest at the last. `sens`: each axis's last direction before the first
// (SensAxe), for the backlash take-ups on the way.
void Planifier(std::vector<Troncon>& t, const int32_t sens[3]);

// The run's next moves, `dernier` the last block they cover (blocks
// without motion have none). Each line that starts takes the next one when
// it is that move; any other motion drops the plan.
void ChargerPlan(std::vector<Troncon> t, size_t dernier);
void OublierPlan();
bool PlanCouvre(size_t bloc);
// The last move ended at speed, going on into the next: the machine cannot
// stop here. Always false without ramps.
bool MachineLancee();

// Around the events of a straight move (LigneXY, LigneZ, LigneXYZ).
void DebutLigne(int32_t nX, int32_t nY, int32_t nZ);
void FinLigne();
// A held jog: a move of one axis whose end is not known.
void DebutLigneOuverte(int32_t axe, int32_t sens);
// The jog released: braking from now on; true while steps are still
// needed to come down to AvMax.
bool Freiner();

// The period of the next step event; `periodePas` is the feed's
// (CalculPeriode, rescaled by the override). Unchanged outside a ramped
// move.
int64_t PeriodeEvenement(int64_t periodePas);
// A ramped move is running: the emitter's floor is the axes' top rates.
bool RampeEnCours();
// A backlash take-up inside a move: the ramp goes on from AvMax.
void ApresRattrapage();

// Braking distance of a held jog of `axe` from its top rate, mm.
double DistanceFreinage(int32_t axe);

} // namespace virmak
