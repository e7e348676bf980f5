#pragma once
// The reference on the limit switches ("Prise d'origine"), with the report
// of the steps lost since the previous one, and the tool-setting probe
// ("Palpage Z") on its touch plate.

#include <cstdint>
#include <string>

namespace virmak {

// Settings, section AXES of "CncParam.Ini"; written only by the parameters
// dialog.
extern double VitesseRecherche[3]; // mm/min towards the switch
extern int32_t SensRecherche[3]; // -1 or +1: where the switch is
extern double OrigineMachine[3]; // mm: the coordinate of the switch's point
extern std::string OrdreRecherche; // axes in their order, "ZXY"
extern double VitessePalpage; // mm/min down to the plate
extern double CoursePalpage; // mm: the longest descent looking for it
extern double EpaisseurCale; // mm: the plate's thickness
extern double RetraitPalpage; // mm above the plate after probing

inline constexpr const char* OrdreRechercheDefaut = "ZXY";

// Reads them (a value out of range takes its default) and writes them.
void LireParamOrigine();
void EcrireParamOrigine();

// An order of reference as the operator types it: one to three of the
// letters X, Y, Z, each once; nothing else.
bool OrdreRechercheValide(const std::string& ordre);

// Per axis: whether it was referenced since start-up, and the steps by
// which its readout was shifted without a move since (presets, "RAZ",
// probing), so that the position counted compares with the one found.
extern bool OrigineFaite[3];
extern int64_t DecalageOrigine[3];
void NoterDecalage(int32_t axe, int64_t pas);
// At start-up: no axis referenced.
void OublierOrigines();

// "Prise d'origine": each axis of OrdreRecherche in turn towards its switch
// at VitesseRecherche, back off slowly until it releases, that point taking
// OrigineMachine. An axis with no switch wired is skipped.
void BtOrigineClick();

// "Palpage Z": Z down at VitessePalpage until the probe input trips (at most
// CoursePalpage), back off until it releases, the Z readout takes
// EpaisseurCale, then up RetraitPalpage above the plate.
void BtPalpageClick();

// Whether the last reference or probing went to its end.
extern bool ManoeuvreReussie;

inline constexpr const char* TexteSansMachine
    = "Aucune entrée n'est lue en mode simulation ou sans port : réglez le port et décochez la "
      "simulation (Paramètres).";
inline constexpr const char* TextePalpeurAbsent
    = "Palpage impossible : aucune entrée n'est choisie et activée pour le palpeur outil (Paramètres, "
      "Entrées / Sorties).";
inline constexpr const char* TextePalpeurEnContact = "Palpage refusé : palpeur en contact.";
inline constexpr const char* TextePalpageBroche = "Palpage refusé : broche en marche.";

} // namespace virmak
