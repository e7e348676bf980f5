#pragma once
// The machining cycle: runs the compensated program block by block, with
// the step-by-step and block-stop waits, to its normal, emergency or limit
// ending.

namespace virmak {

inline constexpr const char* TexteArretProgramme = "Arrêt programmé, OK pour continuer";
inline constexpr const char* TexteCycleTermine = "Cycle terminé.";
inline constexpr const char* TexteFinUrgence = "ARRET URGENCE ACTIVE ! ";
inline constexpr const char* TexteFinButee = "FIN DE COURSE ACTIVE ! ";
inline constexpr const char* TexteAttentePasAPas = "PAS à PAS ou CYCLE pour repartir";
inline constexpr const char* TexteAttenteBloc = "ARRET BLOC, CYCLE pour repartir";

enum class FinCycle { Normale, Urgence, Butee, Refus };

// Runs the loaded program; returns how it ended.
FinCycle CycleUsinage();

// True while CycleUsinage runs.
bool CycleUsinageEnCours();

} // namespace virmak
