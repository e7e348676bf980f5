#pragma once
// The dated history of machine events: the file "Virmak.His" beside the
// configuration and the list of the history window, always fed together.

#include "foundation/pupitre.h"

#include <string>
#include <vector>

namespace virmak {

inline constexpr const char* EnteteHistorique1 = "HISTORIQUE des MESSAGES MACHINE CN";
inline constexpr const char* EnteteHistorique2 = "**********************************";
inline constexpr const char* BanniereLancement = "***** LANCEMENT DU LOGICIEL CNC *****";
inline constexpr const char* BanniereArret = "***** ARRET DU LOGICIEL CNC *****";

// Model of the history window.
struct FenetreHistorique {
    std::string Caption = "Virmak - Historique des messages";
    Liste ListBoxHist;
    Controle BtnHistEffacer { "Effacer", "", true, true };
    bool Visible = false;
    int Left = 0, Top = 0;
};

extern FenetreHistorique FormHist;

std::string CheminHistorique();

// Date as day/month/year with four digits and time on 24 hours, whatever
// the locale (every text is French), " à ", " --> " and the text.
std::string LigneHistorique(const std::string& texte);

// Adds the dated line to the list, then appends it to the file. A refused
// write never stops the caller (an emergency stop must not be cut short by
// a log file): the line stays in the list and the failure is said there once.
void MsgHistorique(const std::string& texte);

// For what the start-up finds before the history window exists (a value
// refused in a key file): kept until the window is created, then written
// after its start banner; straight to the history afterwards.
void MsgHistoriqueDiffere(const std::string& texte);
// Lines kept so far; the start-up load empties the list, virmak-cli shows
// them on standard error since it writes no history.
const std::vector<std::string>& HistoriqueEnAttente();
void ViderHistoriqueEnAttente();

// Window creation at start-up: the file's lines, an empty line, the start
// banner. A missing file is created with its header first.
void CreerHistorique();

// Window destruction at shut-down: the stop banner.
void DetruireHistorique();

// "Effacer": the list and the file hold the two header lines only.
void BtnHistEffacerClick();

// Main menu "Historique" -> "Voir".
void Voir1Click();

// The close box of the history window only hides it.
void FormHistClose();

} // namespace virmak
