#pragma once
// Model of the "Entrées / Sorties" page of the parameters dialog: the port
// list, one row per input and output slot (pin list, inversion and enable
// boxes), and the dialog's "Restaurer" and "Appliquer" buttons that every
// change on the page enables. Pin and port choices act on the globals at
// once; the tick boxes are read when the assignment is written.

#include "foundation/entrees_sorties.h"
#include "foundation/pupitre.h"

#include <string>

namespace virmak {

inline constexpr const char* TexteEntreeUtilisee = "Cette entrée est déjà utilisée";
inline constexpr const char* TexteAutrePort = "Désolé, cette option n'est pas encore disponible.";
inline constexpr const char* TexteInverse = "Signal inversé";
inline constexpr const char* TexteEntreeActivee = "Entrée activée";
inline constexpr const char* TexteSortieActivee = "Sortie activée";
inline constexpr const char* ConseilCablageUsuel
    = "Met sur la page le câblage habituel : pas et sens de X, Y, Z sur D0 à D5, broche sur D6 ;\r\n"
      "butées X, Y, Z sur Error, Select, Paper Out, arrêt d'urgence sur ACK ; rien d'inversé.\r\n"
      "Il est écrit par « Appliquer » ou « Valider / Sortir ».";
inline constexpr const char* ConseilPort
    = "Choix du port LPT, si vous n'êtes pas sous W98 choisissez \"Port DESACTIVE\"";

struct LigneSignal {
    std::string Libelle; // row label; empty on the reserved row
    int Tag = 0; // slot number, carried by the list and both boxes
    Liste CB; // pin list
    CaseACocher Inverse; // "Signal inversé" column
    CaseACocher Active; // "Entrée activée" / "Sortie activée" column
};

struct PageEntreesSorties {
    PageEntreesSorties(); // the page as designed: lists filled, nothing chosen

    std::string Caption = "Entrées / Sorties";
    std::string GroupeEntrees = "Entrées";
    std::string GroupeSorties = "Sorties";
    std::string GroupePort = "Port parallèle";
    std::string LibellePort = "Adresse du port";
    Liste CBPort;

    // Inputs in page order: emergency stop, limits X, Y, Z, reserved row.
    LigneSignal Entrees[NbEntrees];
    // Outputs in slot order.
    LigneSignal Sorties[NbSorties];

    Controle BitBtnRestore, BitBtnAppli;
    Controle BitBtnCablageUsuel { "Câblage usuel", ConseilCablageUsuel, true, true };

    LigneSignal& Entree(int slot); // row of an input slot
    LigneSignal& Sortie(int slot) { return Sorties[slot]; }

    void Initialiser() { *this = PageEntreesSorties {}; }
};

extern PageEntreesSorties PageES;

// The operator picks choice `choix` in the pin list of input (output) slot
// `slot`: a pin already taken by another slot is refused with a message and
// the list goes back; otherwise the slot takes it at once.
void CBInChange(int slot, int choix);
void CBOutChange(int slot, int choix);

// "Câblage usuel": every slot of the page takes its pin of the usual wiring,
// enabled and not inverted. Like any change on the page, it reaches the
// file only through "Appliquer" or "Valider / Sortir".
void BitBtnCablageUsuelClick();

// The operator picks entry `entree` of the port list.
void CBPortChange(int entree);

// The operator ticks or clears one of the page's boxes.
void CheckBoxESClick(CaseACocher& boite, bool cochee);

// Inversion and enable bytes from the page's tick boxes, then every key of
// PORT, ENTREES and SORTIES in one rewrite.
void EcrireParamEntreeSortie();

// The globals onto the "Entrées / Sorties" page.
void UpdatePageEntreeSortie();

} // namespace virmak
