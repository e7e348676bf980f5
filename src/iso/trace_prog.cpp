#include "iso/trace_prog.h"

#include "foundation/nombres.h"

#include <algorithm>

namespace virmak {

namespace {

    // " X" and the value: a label, then a real in 8 characters, 3 decimals.
    void Champ(std::string& s, std::string_view etiquette, double v)
    {
        s += etiquette;
        AjouterFixe(s, v, 8, 3);
    }

    void Entier(std::string& s, std::string_view etiquette, int64_t v, int largeur)
    {
        s += etiquette;
        AjouterEntier(s, v, largeur);
    }

    void AjouterLigneTrace(std::string& s, const LigneProg& l)
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

void AjouterDebutLigneBloc(std::string& s, const LigneProg& l)
{
    Entier(s, "L", l.IndexLigne, 3);
    Entier(s, "  G", l.CodeG[0], 2);
    Champ(s, "  X", l.X);
    Champ(s, "  Y", l.Y);
    Champ(s, "  Z", l.Z);
}

std::string LigneTrace(const LigneProg& l)
{
    std::string s;
    s.reserve(176);
    AjouterLigneTrace(s, l);
    return s;
}

std::string TexteTrace(std::span<const LigneProg> table, std::size_t nb)
{
    std::string texte;
    if (table.empty())
        return texte;
    nb = std::min(nb, table.size() - 1);
    texte.reserve(nb * 180);
    for (std::size_t i = 1; i <= nb; ++i) {
        AjouterLigneTrace(texte, table[i]);
        texte += "\r\n";
    }
    return texte;
}

} // namespace virmak
