#include "iso/reprise.h"

#include "foundation/cn_varia.h"
#include "foundation/fichier_ini.h"
#include "foundation/nombres.h"
#include "iso/courses.h"

#include <algorithm>

namespace virmak {

namespace {

    bool Percage(const LigneProg& l)
    {
        const int32_t c = l.CodeG[1];
        return (c == 81 || c == 82 || c == 83) && l.ZCycle < 0;
    }

    std::string Refus(size_t ligne, const std::string& raison)
    {
        return "Démarrage impossible à la ligne " + std::to_string(ligne + 1) + " : " + raison;
    }

    LigneProg Deplacement(const LigneProg& etat, int32_t g, double x, double y, double z)
    {
        LigneProg l = etat;
        l.CodeG[0] = g;
        l.CodeG[1] = 0;
        l.CodeM.fill(MSlotVide);
        l.X = x;
        l.Y = y;
        l.Z = z;
        return l;
    }

    std::string Mm(double v)
    {
        return FormatFixe(v, 0, 3);
    }

} // namespace

double HauteurSure()
{
    if (IniParam.CleExiste("CYCLES", "HauteurSecurite"))
        return IniParam.LireReel("CYCLES", "HauteurSecurite", 0);
    return EtendueParcours(TabProgCorr, NbLignesCorr).Max[2];
}

Reprise PreparerReprise(size_t ligne, const double position[3], double zSure)
{
    Reprise r;
    const size_t nb = std::min<size_t>(NbLignesCorr, TabProgCorr.empty() ? 0 : TabProgCorr.size() - 1);
    size_t k = 1;
    while (k <= nb && TabProgCorr[k].IndexLigne < ligne)
        ++k;
    if (k > nb) {
        r.refus = Refus(ligne, "le programme n'a plus de bloc à exécuter à partir de cette ligne.");
        return r;
    }
    const LigneProg& avant = TabProgCorr[k - 1];
    const LigneProg& bloc = TabProgCorr[k];
    // The offset path of an entry or an exit depends on the block before
    // the contour: started there, the tool would cut across the part.
    if (bloc.CorRayon != avant.CorRayon) {
        r.refus = Refus(ligne,
            "ce bloc prend ou quitte la correction de rayon (G41, G42, G40) ; le parcours décalé ne peut "
            "pas y être repris. Choisir un bloc avant l'entrée dans le contour ou après sa sortie.");
        return r;
    }
    // A block that only changes the depth or the feed drills again the
    // hole of the block before: it belongs to that hole's cycle.
    if (Percage(bloc) && k > 1 && Percage(avant) && bloc.X == avant.X && bloc.Y == avant.Y) {
        r.refus = Refus(ligne,
            "ce bloc est au milieu du cycle de perçage du trou précédent. Choisir le bloc qui place le "
            "trou.");
        return r;
    }
    r.premier = k;
    // M3 or M5 of the blocks before, the first M code of each as the run
    // executes it.
    for (size_t i = 1; i < k; ++i)
        if (TabProgCorr[i].CodeM[1] == 3 || TabProgCorr[i].CodeM[1] == 5)
            r.broche = TabProgCorr[i].CodeM[1] == 3;
    const double z = std::max({ zSure, position[2], avant.Z });
    const bool ailleurs = position[0] != avant.X || position[1] != avant.Y || position[2] != avant.Z;
    if (!ailleurs)
        return r;
    if (z != position[2])
        r.approche.push_back(Deplacement(avant, 0, position[0], position[1], z));
    if (position[0] != avant.X || position[1] != avant.Y)
        r.approche.push_back(Deplacement(avant, 0, avant.X, avant.Y, z));
    r.descente = r.approche.size();
    // Down at the feed in force; with none, every move before was a rapid.
    if (z != avant.Z)
        r.approche.push_back(Deplacement(avant, avant.Avance > 0 ? 1 : 0, avant.X, avant.Y, avant.Z));
    // Only the moves made are told.
    std::vector<std::string> etapes;
    if (z != position[2])
        etapes.push_back("Z monte à " + Mm(z) + " en rapide");
    if (position[0] != avant.X || position[1] != avant.Y)
        etapes.push_back("X et Y vont à " + Mm(avant.X) + " " + Mm(avant.Y) + " en rapide");
    if (r.broche)
        etapes.push_back("la broche démarre");
    if (z != avant.Z)
        etapes.push_back("Z descend à " + Mm(avant.Z)
            + (avant.Avance > 0 ? " à " + FormatGeneral(avant.Avance) + " mm/mn" : " en rapide"));
    r.texte = "Approche avant la ligne " + std::to_string(ligne + 1) + " :";
    for (size_t i = 0; i < etapes.size(); ++i)
        r.texte += (i == 0 ? " " : (i + 1 == etapes.size() ? ", puis " : ", ")) + etapes[i];
    r.texte += ". Le cycle continue ensuite.";
    return r;
}

} // namespace virmak
