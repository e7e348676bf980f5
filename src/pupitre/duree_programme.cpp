#include "pupitre/duree_programme.h"

#include "foundation/nombres.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace virmak {

double DureeProgramme::Restante(int bloc, double ecoule) const
{
    if (!Connue() || FinBloc.empty())
        return -1;
    const size_t i = static_cast<size_t>(std::clamp<int>(bloc, 0, static_cast<int>(FinBloc.size()) - 1));
    const double suivant = i + 1 < FinBloc.size() ? FinBloc[i + 1] : FinBloc[i];
    const double fait = std::min(FinBloc[i] + std::max(0.0, ecoule), suivant);
    return std::max(0.0, Totale - fait);
}

DureeProgramme LireDureeExecute(std::string_view sortie)
{
    DureeProgramme d;
    std::vector<double> fins { 0 };
    double totale = -1;
    bool normale = false;
    size_t debut = 0;
    while (debut < sortie.size()) {
        size_t fin = sortie.find('\n', debut);
        if (fin == std::string_view::npos)
            fin = sortie.size();
        std::string_view ligne = sortie.substr(debut, fin - debut);
        debut = fin + 1;
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.remove_suffix(1);
        const size_t egal = ligne.find('=');
        if (egal == std::string_view::npos)
            continue;
        const std::string_view nom = ligne.substr(0, egal);
        const std::string_view valeur = ligne.substr(egal + 1);
        if (nom == "Fin")
            normale = valeur == "normale";
        else if (nom == "Duree")
            totale = LireReelTexte(valeur).value_or(-1);
        else if (nom.starts_with("Temps(")) {
            // In block order, one each: a hole means the output is not ours.
            const std::string attendu = "Temps(" + std::to_string(fins.size()) + ")";
            const std::optional<double> t = LireReelTexte(valeur);
            if (nom != attendu || !t)
                return d;
            fins.push_back(*t);
        }
    }
    if (normale && totale >= 0) {
        d.Totale = totale;
        d.FinBloc = std::move(fins);
    }
    return d;
}

std::string TexteDuree(double secondes)
{
    const int64_t s = std::max<int64_t>(0, Arrondi64(secondes));
    const int64_t h = s / 3600, m = s / 60 % 60, r = s % 60;
    char texte[64];
    if (h > 0)
        std::snprintf(texte, sizeof texte, "%lld h %02lld min %02lld s", static_cast<long long>(h),
            static_cast<long long>(m), static_cast<long long>(r));
    else if (m > 0)
        std::snprintf(
            texte, sizeof texte, "%lld min %02lld s", static_cast<long long>(m), static_cast<long long>(r));
    else
        std::snprintf(texte, sizeof texte, "%lld s", static_cast<long long>(r));
    return texte;
}

} // namespace virmak
