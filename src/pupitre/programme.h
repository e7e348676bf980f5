#pragma once
// Loading a file into the program list, saving the list with its analysis
// listing, and redrawing the preview after either.

#include "foundation/texte.h"

#include <string>
#include <vector>

namespace virmak {

// The open dialog's first filter: the extensions part programs go by.
inline constexpr const char* FiltreProgrammes
    = "Programmes ISO (*.iso *.nc *.ngc *.gcode *.tap *.txt)|*.iso *.nc *.ngc *.gcode *.tap *.txt";

// A program file opened for reading its lines, or false with the French
// message to show: only a regular file of text within the size limit is a
// program; one with NUL bytes (a binary file) is not.
bool OuvrirProgramme(const std::string& chemin, LecteurLignes& lignes, std::string& erreur);
// The same file as the lines of the program list.
bool LireProgramme(const std::string& chemin, std::vector<std::string>& lignes, std::string& erreur);

// Loads a file into the program list as the "Charger" button does, once
// the file is chosen. False, with a French message, when it cannot be read:
// the list and the program in memory are then left as they were. "Cycle",
// "Pas à Pas", "Sauver" and "Arrêt bloc" are enabled only when the program
// could be analysed.
bool ChargerProgramme(const std::string& chemin);

// "Charger" and "Fichiers" -> "Ouvrir": the dialog opens on the last
// folder used, at first on the example programs.
void BitBtnChargerClick();

// Writes `nom`.ISO and `nom`.MCH. False, with a French message, when either
// is refused or the program cannot be analysed; files already on disk are
// then left whole.
bool SauverProgramme(const std::string& nom);

// The operator selects line `rang` of the program list (-1: none).
void ListBoxProg1Click(int rang);

// "Sauver": the dialog opens on the last folder used, or at home when that
// one cannot be written to (the installed examples).
void BitBtnEnregistrerClick();

// Redraws the preview from the program list, analysing it first when it
// changed since the last analysis.
void RedessinerApercu();

} // namespace virmak
