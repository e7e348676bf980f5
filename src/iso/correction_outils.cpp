#include "iso/correction_outils.h"

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace virmak {

namespace {

    constexpr std::size_t IndexMaxi = std::numeric_limits<uint16_t>::max();

    // Last block of TabProg the pass may read; -1 when there is no table.
    int DernierBloc()
    {
        if (TabProg.empty())
            return -1;
        return std::min<int>(NbLignesProg, static_cast<int>(TabProg.size()) - 1);
    }

    // Next XY move after block a up to `dernier`, or -1.
    int Mouvement(int a, int dernier)
    {
        for (int i = std::max(a, 0) + 1; i <= dernier; ++i)
            if (TabProg[i].NumSegment != TabProg[i - 1].NumSegment)
                return i;
        return -1;
    }

    double Cor(int i)
    {
        return TabProg[i].CorRayon;
    }

    PointXY XY(const LigneProg& l)
    {
        return { l.X, l.Y };
    }

    double LongueurOutil(int32_t numero)
    {
        if (numero < 0 || numero >= NbOutils)
            return 0;
        return TabOutils[numero].Jauge[1] + TabOutils[numero].CorDyn[1];
    }

    // The next record of TabProgCorr made a copy of `source`, the table
    // growing when needed. The reference lives until the next call.
    LigneProg& Place(std::size_t& n, const LigneProg& source)
    {
        if (n < TabProgCorr.size())
            TabProgCorr[n] = source;
        else
            TabProgCorr.push_back(source);
        return TabProgCorr[n++];
    }

    // A copy of a block moved to p, with the tool length under G43.
    void Ajouter(std::size_t& n, const LigneProg& source, PointXY p)
    {
        LigneProg& ligne = Place(n, source);
        ligne.X = p.X;
        ligne.Y = p.Y;
        if (ligne.CorLongueur)
            ligne.Z += LongueurOutil(ligne.NumOutil);
    }

    // Moves added by the pass run no M function and no drilling cycle: the
    // block they come from has already run its own.
    LigneProg MouvementSeul(LigneProg ligne, int32_t mode)
    {
        ligne.CodeG[0] = static_cast<int16_t>(mode);
        ligne.CodeG[1] = 0;
        ligne.CodeM.fill(MSlotVide);
        return ligne;
    }

    // Shifted ends that neither cross nor meet: a straight move, or an arc
    // round the programmed corner q when both ends lie on one circle about it.
    void Raccorder(std::size_t& n, int k, int h, PointXY q, PointXY finA, PointXY debutB)
    {
        const double ecart = Distance(finA, debutB);
        if (ecart < ToleranceJonction)
            return;
        const PointXY u = finA - q, w = debutB - q;
        const double ru = Distance(finA, q), rw = Distance(debutB, q);
        const bool droit = ecart < EcartMaxiDroit || Cor(k) != Cor(h) || ru < ToleranceJonction
            || std::fabs(ru - rw) >= ToleranceJonction;
        int32_t mode = 1;
        if (!droit) {
            const double vectoriel = u.X * w.Y - w.X * u.Y;
            // A half turn leaves the product at zero: go round on the side
            // away from the tool, clockwise when the tool is on the left.
            if (std::fabs(vectoriel) <= 1e-12 * ru * rw && u.X * w.X + u.Y * w.Y < 0)
                mode = Cor(k) < 0 ? 2 : 3;
            else
                mode = vectoriel < 0 ? 2 : 3;
        }
        LigneProg liaison = MouvementSeul(TabProg[k], mode);
        if (!droit) {
            liaison.I = q.X;
            liaison.J = q.Y;
        }
        Ajouter(n, liaison, debutB);
    }

    // Every block of the program, from its first XY move on; returns the next
    // free index of TabProgCorr.
    std::size_t Decaler(std::size_t n, int k, int dernier, ProgressionJauge& jauge)
    {
        int s = 0;
        // The shifted move of segment s-k as computed, before any joining.
        ElementGeo decale = DecaleElement(DecritSegment(s, k), Cor(k));
        // Where the tool stands when that move starts: the blocks between two
        // moves wait there, not at the unjoined shifted start, which at an
        // inside corner lies in the part.
        PointXY depart = decale.Debut;
        for (int h = Mouvement(k, dernier); h >= 0; h = Mouvement(k, dernier)) {
            const ElementGeo b = DecritSegment(k, h);
            const ElementGeo suivant = DecaleElement(b, Cor(h));
            ElementGeo ad = decale, bd = suivant;
            const Intersection inter = InterElements(ad, bd);
            const int valides = Cor(k) == 0 && Cor(h) == 0 ? 0 : inter.NbValides;
            if (valides == 1) {
                ad.Fin = bd.Debut = inter.P1;
            } else if (valides >= 2) {
                if (Distance(ad.Fin, bd.Debut) < ToleranceAlerte)
                    bd.Debut = ad.Fin;
                else
                    VueActive().Message(TextePriseCorrection);
            }
            ad.Debut = depart;
            n = CopieSegment(n, s, k, ad);
            if (valides == 0)
                Raccorder(n, k, h, b.Debut, ad.Fin, bd.Debut);
            jauge.Avancer(h);
            depart = bd.Debut;
            decale = suivant;
            s = k;
            k = h;
        }
        // The last move keeps its shift to its end, whatever follows it.
        ElementGeo ad = decale;
        ad.Debut = depart;
        n = CopieSegment(n, s, k, ad);
        for (int i = k + 1; i <= dernier; ++i)
            Ajouter(n, TabProg[i], ad.Fin);
        return n;
    }

} // namespace

int SegmentSuivant(int a)
{
    const int dernier = DernierBloc();
    const int i = Mouvement(a, dernier);
    return i >= 0 ? i : std::max(dernier - 1, 0);
}

ElementGeo DecritSegment(int a, int b)
{
    const LigneProg& fin = TabProg[b];
    ElementGeo e;
    switch (fin.CodeG[0]) {
    case 0:
    case 1:
        e.Nature = NatureDroite;
        break;
    case 2:
        e.Nature = NatureArcHoraire;
        break;
    case 3:
        e.Nature = NatureArcTrigo;
        break;
    default:
        e.Nature = 0; // neither shifted nor intersected
    }
    e.Debut = XY(TabProg[a]);
    e.Fin = XY(fin);
    if (e.Nature == NatureArcHoraire || e.Nature == NatureArcTrigo)
        e.Centre = { fin.I, fin.J };
    return e;
}

std::size_t CopieSegment(std::size_t n, int s, int k, const ElementGeo& e)
{
    for (int i = s + 1; i < k; ++i)
        Ajouter(n, TabProg[i], e.Debut);
    Ajouter(n, TabProg[k], e.Fin);
    return n;
}

bool CorrectionOutils()
{
    PasseAvertissements passe;
    const int dernier = DernierBloc();
    // Sized once: every block, one joining move per corner and the return
    // to the programmed end at most.
    const std::size_t prevues
        = std::min<std::size_t>(2 * static_cast<std::size_t>(dernier + 1) + 1, IndexMaxi + 2);
    TabProgCorr.reserve(prevues);
    if (TabProgCorr.empty())
        TabProgCorr.resize(1);
    TabProgCorr[0] = dernier >= 0 ? TabProg[0] : LigneDefaut;
    std::size_t n = 1;
    {
        ProgressionJauge jauge(NbLignesProg, "Outils");
        const int premier = Mouvement(0, dernier);
        if (premier < 0) {
            for (int i = 1; i <= dernier; ++i)
                Ajouter(n, TabProg[i], XY(TabProg[i]));
        } else {
            n = Decaler(n, premier, dernier, jauge);
        }

        // Back to the programmed end when the shift left the tool elsewhere
        // in both X and Y.
        if (n > 1) {
            const LigneProg& fin = TabProg[dernier];
            const LigneProg& der = TabProgCorr[n - 1];
            if (der.X != fin.X && der.Y != fin.Y) {
                LigneProg retour = MouvementSeul(der, 0);
                retour.X = fin.X;
                retour.Y = fin.Y;
                Place(n, retour);
            }
        }
    }
    if (n - 1 > IndexMaxi) {
        NbLignesCorr = 0;
        ParcoursCalcule = false;
        VueActive().Message(TexteParcoursTropLong);
        return false;
    }
    NbLignesCorr = static_cast<uint16_t>(n - 1);
    return true;
}

} // namespace virmak
