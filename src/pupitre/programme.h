#pragma once
// Loading a file into the program list, saving the list with its analysis
// listing, and redrawing the preview after either.

#include <string>

namespace virmak {

// Loads a file into the program list as the "Charger" button does, once
// the file is chosen. False, with a French message, when it cannot be read:
// the list and the program in memory are then left as they were.
bool ChargerProgramme(const std::string& chemin);

// "Charger" and "Fichiers" -> "Ouvrir".
void BitBtnChargerClick();

// Writes `nom`.ISO and `nom`.MCH. False, with a French message, when either
// is refused; files already on disk are then left whole.
bool SauverProgramme(const std::string& nom);

// The operator selects line `rang` of the program list (-1: none).
void ListBoxProg1Click(int rang);

// "Sauver".
void BitBtnEnregistrerClick();

// Redraws the preview from the program list, analysing it first when it
// changed since the last analysis.
void RedessinerApercu();

} // namespace virmak
