#pragma once
// The About box TAProposDe and its safety warnings: shown at start-up until
// the operator has acknowledged them, and from "Aide" -> "A propos de...".
// While it is shown the main window is disabled.

#include "foundation/pupitre.h"

#include <string>

namespace virmak {

inline constexpr const char* TexteProduit = "VIRMAK";
inline constexpr const char* TexteVersionAPropos = "Version 2.03";
inline constexpr const char* TexteTitreAvertissements = "AVERTISSEMENTS";
inline constexpr const char* TexteDestination
    = "Ce système est destiné à piloter, par le port parallèle, de petites machines-outils à moteurs pas "
      "à pas de construction amateur (fraiseuses, graveuses, perceuses).";
inline constexpr const char* TexteSecurite
    = "Les machines-outils peuvent être dangereuses. Toutes les précautions de sécurité doivent être "
      "prises lors de leur utilisation : protections, arrêt d'urgence, lunettes, vêtements ajustés, "
      "mains éloignées de l'outil en rotation.";
inline constexpr const char* TexteDocumentation
    = "Lire attentivement la documentation PDF avant utilisation.";

struct FenetreAPropos {
    std::string Caption = "Virmak - A propos";
    int Width = 470, Height = 561;
    bool Visible = false;
    CaseACocher AvertissementLu { "J'ai bien pris connaissance des avertissements", false, true };
    Controle BtnOK { "OK", "", true, true };
};

extern FenetreAPropos AProposDe;

// Created hidden at start-up, its tick box on AvertOK; warnings not yet
// acknowledged show it at once, the main window disabled.
void CreerAProposDe();
// "Aide" -> "A propos de...".
void Aproposde1Click();
void AvertissementLuClick(bool cochee);
// "OK": the tick box decides AvertOK, saved at shut-down.
void AProposDeBtnOKClick();
// The close box: AvertOK unchanged.
void AProposDeFormClose();

} // namespace virmak
