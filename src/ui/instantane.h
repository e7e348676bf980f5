#pragma once
// A copy of the core's window models, made on the machine thread and
// handed to the window thread, which shows it and never reads the core.

#include "foundation/cn_historique.h"
#include "foundation/pupitre.h"
#include "pupitre/a_propos.h"
#include "pupitre/dialogue_outils.h"
#include "pupitre/page_entrees_sorties.h"
#include "pupitre/parametrage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace virmak {

using Lignes = std::shared_ptr<const std::vector<std::string>>;

struct Instantane {
    uint64_t Sequence = 0; // last window action the machine had run
    Pupitre Form1; // its program list's lines are in LignesProg
    Lignes LignesProg;
    FenetreOutils Outils;
    FenetreParametres Form3;
    PageEntreesSorties ES;
    FenetreHistorique Hist; // its list's lines are in LignesHist
    Lignes LignesHist;
    std::string RepExe; // the configuration folder, where the help is looked for first
    std::string NomAide;
    FenetreAPropos APropos;
    double ValPas[3] = { 0, 0, 0 };
    int32_t PortLPT = 0;
    bool Simulation = true;
};

} // namespace virmak
