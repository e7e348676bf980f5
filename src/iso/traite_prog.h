#pragma once
// Part programs: loading a file into the program list, the analysis of the
// list into TabProg, and saving the list with its analysis listing.

#include "iso/ligne_prog.h"

#include <string>
#include <vector>

namespace virmak {

// Extents of the programmed end points, current position included.
struct BoiteProg {
    double Min[3] = { 0, 0, 0 };
    double Max[3] = { 0, 0, 0 };
};

inline constexpr int LongueurNomAffiche = 50;

// The program name for the "Programme" caption: the whole path up to 50
// characters, else its first folder, " ... /" and the file name.
std::string NomPourAffichage(const std::string& chemin);

// Analyses the program list into TabProg. False when the program does not
// fit in the table: the operator is told, NbLignesProg is 0 and
// ProgAnalyse stays false, so nothing runs or draws half a program.
bool TraiteIso(BoiteProg& boite);

// Loads a file into the program list as the "Charger" button does, once
// the file is chosen. False, with a French message, when it cannot be read:
// the list and the program in memory are then left as they were.
bool ChargerProgramme(const std::string& chemin);

// "Charger" and "Fichiers" -> "Ouvrir".
void BitBtnChargerClick();

// Writes `nom`.ISO and `nom`.MCH. False, with a French message, when either
// is refused; files already on disk are then left whole.
bool SauverProgramme(const std::string& nom);

// "Sauver".
void BitBtnEnregistrerClick();

// One line of the ".MCH" listing, without its line end.
std::string LigneListing(const LigneProg& ligne);

// The whole listing of TabProg[0..NbLignesProg], CR LF line ends.
std::string Listing();

// Redraws the preview from the program list, analysing it first when it
// changed since the last analysis.
void RedessinerApercu();

} // namespace virmak
