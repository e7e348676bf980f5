#pragma once
// The input monitor (the status lines turned into the limit-switch and
// emergency-stop state and the LEDs of the main window, polled by the
// 250 ms tick of the machine thread) and the step emission with its
// speeds, backlash and readouts.

#include <cstdint>
#include <string>

namespace virmak {

inline constexpr const char* TexteArretMachine = "ARRET demandé par la machine.";

// Limits, emergency stop, their LEDs and the spindle LED from one read of
// the inputs.
void ScruterEntrees();

// The monitor tick: the monitor, then the keyboard jog when the main
// window is active and no field, list or combo has the focus.
void Timer1Timer();

// The keyboard jog run by the tick; none until manual operation sets it.
extern void (*JogClavier)();

// What a press of "URGENCE" or Escape does wherever it is taken: the
// emergency-stop button's engagement, set by run control. Without it the
// stop is engaged directly.
extern void (*ClicBoutonArret)();

// Takes the stops asked from the window thread: the operator's (engaged
// as the button would) and the window closing. True when ArretUrgence is
// in force. Every step and every wait of the machine calls it.
bool PrendreArrets();

// The one wait of the machine (between steps, the dwell): until the
// counter reaches `echeance`, or less when a stop comes first, the
// operator's or the machine's emergency input, read every 2 ms of a long
// wait. False when a stop ended it; `maintenant` is the counter then.
bool Patienter(int64_t echeance, int64_t& maintenant);

// The spindle off and its line at rest at once, as every stop leaves it.
void ArreterBroche();
// The spindle on at once, then its spin-up time (TempoBroche of [CYCLES],
// seconds) before anything cuts. Never during a stop; false when a stop
// came, which leaves it at rest.
bool DemarrerBroche();

// A port access that failed since the last report: said once in the
// message line, a box and the history, until the port answers again.
void SignalerDefautPort();

inline constexpr const char* TexteButeeActivee = "Butée activée";

// A move that seeks an input (a limit switch in a reference, the probe):
// the first step for which the input of mask `MasqueCherche` reads
// `EtatCherche` is not emitted and sets EntreeTrouvee, which ends the move
// as a limit would but quietly. Mask 0: no input sought.
extern uint8_t MasqueCherche;
extern bool EtatCherche;
extern bool EntreeTrouvee;

// One read of the input of `masque` (as the monitor reads it: inverted,
// enabled, nothing in simulation). A port that does not answer stops the
// machine and reads inactive.
bool EntreeActive(uint8_t masque);

// The override slider's top notch (120 %).
inline constexpr int32_t CorrectionMaxi = 12;
// Moves the override slider by `crans` notches (down when negative), within
// its range; its change handler rescales the period of the move.
void CranCorrection(int crans);

// --- Step emission ---

// Waits for `periode` ticks since the previous step (never less than the
// slowest maximum of the axes that step), then emits `motif`: the rest
// byte first so the directions settle, the pulse, the rest byte. A stop
// during the wait, a limit switch latched towards the motion (ButeeActivee,
// "Butée activée"), the emergency-stop input or a port that fails refuse
// the step (ArretUrgence); each leaves the spindle at rest.
void EmettrePas(uint8_t motif, int64_t periode);

// Step events of the interpolation and the jogs: operator polling, the
// step, counting, backlash and one readout.
void PasXY(uint8_t motif, int32_t dx, int32_t dy);
void PasZ(uint8_t motif, int32_t dz);
void PasXYZ(uint8_t motif, int32_t dx, int32_t dy, int32_t dz);

// NPasJ steps of `axe` in direction `sens`, not counted.
void RattraperJeu(int32_t axe, int32_t sens);
// After a downward Z move, the backlash taken up upwards so Z rests on the
// screw's upper flank.
void SoutienZ(int32_t sens);

// The step period of the dominant axis for a move of (dX, dY, dZ) mm at
// `avance` mm/min, no axis faster than its AvMax; "Avance réelle" shows
// the feed it gives. A move shorter than a step or a feed of 0 keeps
// PeriodePas.
int64_t CalculPeriode(double dX, double dY, double dZ, double avance);

// Readouts from PosPas.
void AfficherAxe(int32_t axe);
void AfficherX();
void AfficherY();
void AfficherZ();

// --- Moves ---

// Around every move: real-time priority when granted, memory locked once,
// the count of late steps reset; at the end the late steps are added to
// those the history will be told of, and a note once per run when the
// kernel throttles real-time threads.
// True when real-time priority was granted.
bool DebutMouvement();
void FinMouvement();

// Late steps reach the history summed: those of manual moves in one line a
// minute at most (the monitor tick writes what a minute held back), those
// of a run in one line at its end.
// `maintenant`: whatever the minute, as before a run or at the close.
void SignalerRetards(bool maintenant);
void OuvrirBilanCycle();
void FermerBilanCycle();
// A fresh start: nothing held back.
void OublierRetards();
// After a pause inside a move (a dwell): the next step goes at once and is
// not counted late.
void ReprendreApresPause();

// kernel.sched_rt_runtime_us as the kernel has it ("-1": no throttling).
std::string BridageTempsReel();

// A dry run on the virtual clock: moves take no real-time priority, lock
// no memory and give no note on the system's timing.
extern bool MouvementsVirtuels;

// Steps later than this are counted for the move's report.
inline constexpr int64_t SeuilRetardNs = 100000;
// Lateness of the last step emitted (counter ticks; 0 when on time).
extern int64_t RetardDernierPas;
// Steps later than SeuilRetardNs during the move, and the worst lateness.
extern int64_t PasEnRetard, PireRetard;

} // namespace virmak
