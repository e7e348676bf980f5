#pragma once
// Run control: the handlers through which a run is started, paused,
// stepped and stopped. They set the run-state flags, and start a run when
// none is in progress; the running cycle reads the flags at its check
// points.

namespace virmak {

inline constexpr const char* TexteCycleLance = "Cycle lancé.";
inline constexpr const char* TexteStopFinBloc = "STOP FIN BLOC demandé !";
inline constexpr const char* TextePasAPas = "Mode PAS à PAS activé.";
inline constexpr const char* TextePauseDemandee = "PAUSE demandée !";
inline constexpr const char* TexteArretUrgenceBouton = "ARRET URGENCE ACTIVE >> RAZ";

// "Suivi du programme pendant l'exécution": SuiviPrg follows the box.
void CheckBoxSuiviPrgClick(bool cochee);

// "Cycle", "Arrêt bloc" (its press acts first, so one press acts once),
// "Pas à Pas", "URGENCE" (press and click toggle its latch), "RAZ".
void BitBtnCycleClick();
void BitBtnBlocClick();
void BitBtnBlocMouseDown();
void BitBtnPasPasClick();
void BoutonArretClick();
void BoutonArretMouseDown();
void MesRazClick();

// "Pause": like "Arrêt bloc", and the tool lifted with the spindle at rest
// while the run waits.
void BitBtnPauseClick();

// The window locked for a run or a positioning move, and free again.
void ModeAutomatique();
void ModeManuel();

} // namespace virmak
