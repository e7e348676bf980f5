#pragma once
// A copy of the core's window models, made on the machine thread and
// handed to the window thread, which shows it and never reads the core.

#include "foundation/cn_historique.h"
#include "foundation/pupitre.h"
#include "pupitre/a_propos.h"
#include "pupitre/dialogue_outils.h"
#include "pupitre/page_entrees_sorties.h"
#include "pupitre/parametrage.h"
#include "pupitre/test_latence.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace virmak {

// The lines of a long list as the copies carry them: blocks shared by every
// copy and never changed once handed over, so that a copy costs a few
// pointers, and lines added at the end of a long history a copy of its last
// block only.
class LignesPartagees {
public:
    size_t size() const { return taille_; }
    bool empty() const { return taille_ == 0; }
    const std::string& operator[](size_t i) const { return (*blocs_[i / TailleBloc])[i % TailleBloc]; }
    // Those of the list followed (0 before the first Suivre).
    uint64_t Revision() const { return revision_; }
    uint64_t Refonte() const { return refonte_; }

    // Machine thread: brings these lines to `lignes`. Nothing is copied
    // when its revision is the one held, only the new lines when lines were
    // only added, all of them otherwise.
    void Suivre(const LignesRevisees& lignes);

private:
    static constexpr size_t TailleBloc = 1024;
    std::vector<std::shared_ptr<const std::vector<std::string>>> blocs_;
    size_t taille_ = 0;
    uint64_t revision_ = 0, refonte_ = 0;
};

struct Instantane {
    uint64_t Sequence = 0; // last window action the machine had run
    Pupitre Form1; // its program list's lines are in LignesProg
    LignesPartagees LignesProg;
    FenetreOutils Outils;
    FenetreParametres Form3;
    PageEntreesSorties ES;
    FenetreHistorique Hist; // its list's lines are in LignesHist
    LignesPartagees LignesHist;
    std::string RepExe; // the configuration folder, where the help is looked for first
    uint64_t RevisionCles = 0; // of the key files written there
    std::string NomAide;
    FenetreAPropos APropos;
    FenetreLatence Latence;
    double ValPas[3] = { 0, 0, 0 };
    int32_t AvMax[3] = { 0, 0, 0 };
    int32_t PortLPT = 0;
    bool Simulation = true;
    bool CablageUsuel = false; // the usual wiring stands in for an empty assignment
};

} // namespace virmak
