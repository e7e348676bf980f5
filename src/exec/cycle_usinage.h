#pragma once
// The machining cycle: runs the compensated program block by block, with
// the step-by-step and block-stop waits, to its normal, emergency or limit
// ending.

#include <cstddef>

namespace virmak {

inline constexpr const char* TexteArretProgramme = "Arrêt programmé, OK pour continuer";
inline constexpr const char* TexteCycleTermine = "Cycle terminé.";
inline constexpr const char* TexteFinUrgence = "ARRET URGENCE ACTIVE ! ";
inline constexpr const char* TexteFinButee = "FIN DE COURSE ACTIVE ! ";
inline constexpr const char* TexteAttentePasAPas = "PAS à PAS ou CYCLE pour repartir";
inline constexpr const char* TexteAttenteBloc = "ARRET BLOC, CYCLE pour repartir";
inline constexpr const char* TexteAttentePause = "PAUSE, outil dégagé : CYCLE pour repartir";
inline constexpr const char* TexteConfirmerBroche = "La broche va démarrer : OK pour la lancer.";

enum class FinCycle { Normale, Urgence, Butee, Refus };

// Runs the loaded program; returns how it ended.
FinCycle CycleUsinage();

// The run from program list line `ligne` (from 0), the blocks before it
// taken as run: refused where it cannot start, else the approach is shown,
// made (spindle started after a confirmation when the program has it on
// there), and the run goes on as Cycle.
FinCycle CycleDepuisLigne(size_t ligne);

// Asked by "Pause": at the end of the current block the tool is lifted and
// the spindle stopped; Cycle brings both back before the run goes on.
extern bool PauseDemandee;

// Told the number of each block of TabProgCorr as it ends, before any wait
// (virmak-cli execute --temps); none by default.
extern void (*BlocTermine)(size_t bloc);

// True while CycleUsinage runs.
bool CycleUsinageEnCours();

} // namespace virmak
