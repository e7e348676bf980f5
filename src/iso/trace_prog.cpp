#include "iso/trace_prog.h"

#include "foundation/nombres.h"

#include <algorithm>

namespace virmak {

namespace {

    // " X" and the value: a label, then a real in 8 characters, 3 decimals.
    void Champ(TexteRapide& s, std::string_view etiquette, double v)
    {
        s.Ajouter(etiquette);
        s.Fixe(v, 8, 3);
    }

    void Entier(TexteRapide& s, std::string_view etiquette, int64_t v, int largeur)
    {
        s.Ajouter(etiquette);
        s.Entier(v, largeur);
    }

    void AjouterLigneTrace(TexteRapide& s, const LigneProg& l)
    {
        AjouterDebutLigneBloc(s, l);
        Champ(s, "  I", l.I);
        Champ(s, "  J", l.J);
        Champ(s, "  K", l.K);
        Entier(s, " > ENT=", l.NumSegment, 3);
        Champ(s, " COR=", l.CorRayon);
        Entier(s, " Cycle  G", l.CodeG[1], 2);
        Champ(s, " EX", l.XCycle);
        Champ(s, " EY", l.YCycle);
        Champ(s, " EZ", l.ZCycle);
        Champ(s, "  P", l.P);
        Champ(s, "  Q", l.Q);
        Champ(s, "  R", l.R);
    }

} // namespace

void AjouterDebutLigneBloc(TexteRapide& s, const LigneProg& l)
{
    Entier(s, "L", l.IndexLigne, 3);
    Entier(s, "  G", l.CodeG[0], 2);
    Champ(s, "  X", l.X);
    Champ(s, "  Y", l.Y);
    Champ(s, "  Z", l.Z);
}

std::string LigneTrace(const LigneProg& l)
{
    std::string texte;
    TexteRapide s(texte);
    AjouterLigneTrace(s, l);
    s.Vider();
    return texte;
}

std::string TexteTrace(std::span<const LigneProg> table, std::size_t nb)
{
    std::string texte;
    if (table.empty())
        return texte;
    nb = std::min(nb, table.size() - 1);
    texte.reserve(nb * 180);
    TexteRapide s(texte);
    for (std::size_t i = 1; i <= nb; ++i) {
        AjouterLigneTrace(s, table[i]);
        s.Ajouter("\r\n");
    }
    s.Vider();
    return texte;
}

} // namespace virmak
