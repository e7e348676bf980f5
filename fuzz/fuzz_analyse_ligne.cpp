// Feeds arbitrary text to the line parser, one line after another, each
// record chained into the next call as the analysis pass does, and checks
// that every record stays a sound machine state.

#include "commun_fuzz.h"
#include "foundation/cn_varia.h"
#include "foundation/vue.h"
#include "iso/analyse_ligne.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace virmak;

using fuzz::Verifier;
using fuzz::VueSilencieuse;

VueSilencieuse vue;

void VerifierBloc(const LigneProg& r)
{
    for (double v : { r.X, r.Y, r.Z, r.I, r.J, r.K, r.XCycle, r.YCycle, r.ZCycle, r.Avance, r.P, r.Q, r.R })
        Verifier(std::isfinite(v));
    Verifier(r.CodeG[0] >= 0 && r.CodeG[0] <= 3);
    Verifier(r.CodeG[1] == 0 || (r.CodeG[1] >= 81 && r.CodeG[1] <= 83));
    for (std::size_t i = 2; i < r.CodeG.size(); ++i)
        Verifier(r.CodeG[i] == 0);
    Verifier(r.CodeM[0] == MSlotVide);
    Verifier(r.CorRayon == 0.0 || r.CorRayon == 1.0 || r.CorRayon == -1.0);
    Verifier(r.Avance == std::nearbyint(r.Avance) && r.Avance >= 0);
    Verifier(r.NumBloc >= 0 && r.VitBroche >= 0 && r.NumOutil >= 0);
    Verifier(FacteurUnite == 1.0 || FacteurUnite == 25.4);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PreparerAnalyse(vue);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    std::string_view texte(reinterpret_cast<const char*>(donnees), taille);
    FacteurUnite = 1.0;
    LigneDefaut = LigneProg {};
    LigneDefaut.CodeM.fill(MSlotVide);
    LigneProg precedente = LigneDefaut;
    LigneProg courante;
    for (;;) {
        const std::size_t fin = texte.find('\n');
        const std::string_view ligne = texte.substr(0, fin);
        const double facteur = FacteurUnite;
        AnalyseLigne(ligne, precedente, courante);
        VerifierBloc(courante);
        // The result may also overwrite the record it starts from.
        const double facteurApres = FacteurUnite;
        FacteurUnite = facteur;
        AnalyseLigne(ligne, precedente, precedente);
        Verifier(FacteurUnite == facteurApres);
        Verifier(precedente.X == courante.X && precedente.Z == courante.Z
            && precedente.CodeG == courante.CodeG && precedente.CodeM == courante.CodeM
            && precedente.Commentaire == courante.Commentaire);
        if (fin == std::string_view::npos)
            break;
        texte.remove_prefix(fin + 1);
    }
    return 0;
}
