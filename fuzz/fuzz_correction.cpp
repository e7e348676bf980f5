// Turns arbitrary text into a program list, analyses it into TabProg (and,
// for the same listing, without it) and runs the compensation pass on it,
// then checks that the tool path stays in its table, holds only numbers,
// keeps every block and, without any radius compensation, keeps the
// programmed XY exactly.

#include "commun_fuzz.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"
#include "iso/trace_prog.h"
#include "iso/traite_prog.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace virmak;

using fuzz::Verifier;
using fuzz::VueSilencieuse;

VueSilencieuse vue;

// Small enough for inputs to overflow it now and then.
constexpr uint16_t TailleTable = 512;

bool Fini(const LigneProg& l)
{
    return std::isfinite(l.X) && std::isfinite(l.Y) && std::isfinite(l.Z) && std::isfinite(l.I)
        && std::isfinite(l.J);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PreparerAnalyse(vue);
    MaxLProg = TailleTable;
    TabProg.assign(MaxLProg, LigneProg {});
    TabProgCorr.assign(MaxLProg, LigneProg {});
    LigneDefaut = LigneProg {};
    LigneDefaut.CodeM.fill(MSlotVide);
    // Tool 0 has no diameter; the others reach radii larger than short moves.
    for (int i = 0; i < NbOutils; ++i) {
        TabOutils[i].Jauge[0] = 0.25 * i;
        TabOutils[i].Jauge[1] = 1.5 * i;
        TabOutils[i].CorDyn[0] = i % 7 == 3 ? -0.01 : 0;
        TabOutils[i].CorDyn[1] = i % 5 == 1 ? 0.2 : 0;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    Form1.ListBoxProg1.Lignes = DecouperLignes(texte);
    BoiteProg boite;
    const bool analyse = TraiteIso(boite);
    // The listing written as it goes, without the table, gives the same
    // verdict and, when there is one, the same bytes.
    const std::string listing = analyse ? Listing() : std::string();
    LecteurLignes lignes(texte);
    std::string ecrit;
    Verifier(ListingIso(lignes, [&ecrit](std::string_view morceau) { ecrit += morceau; }) == analyse);
    Verifier(ecrit == listing);
    if (!analyse)
        return 0;
    Verifier(NbLignesProg < TabProg.size());

    bool compense = false;
    for (int i = 0; i <= NbLignesProg; ++i) {
        Verifier(Fini(TabProg[i]));
        compense = compense || TabProg[i].CorRayon != 0;
    }

    if (!CorrectionOutils()) {
        Verifier(NbLignesCorr == 0);
        return 0;
    }
    Verifier(NbLignesCorr < TabProgCorr.size());
    Verifier(NbLignesCorr >= NbLignesProg && NbLignesCorr <= 2 * NbLignesProg + 1);
    Verifier(!Form1.GaugeProg.Visible && Form1.LabelGaugeProg.Texte.empty());
    for (int i = 0; i <= NbLignesCorr; ++i) {
        Verifier(Fini(TabProgCorr[i]));
        Verifier(TabProgCorr[i].IndexLigne <= Form1.ListBoxProg1.Lignes.size());
    }
    if (!compense) {
        Verifier(NbLignesCorr == NbLignesProg);
        for (int i = 0; i <= NbLignesProg; ++i)
            Verifier(TabProgCorr[i].X == TabProg[i].X && TabProgCorr[i].Y == TabProg[i].Y);
    }
    Verifier(TexteTrace(TabProgCorr, NbLignesCorr).size() >= NbLignesCorr * 177u);
    return 0;
}
