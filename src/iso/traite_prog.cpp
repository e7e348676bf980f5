#include "iso/traite_prog.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/analyse_ligne.h"
#include "iso/cn_outils.h"
#include "iso/trace_prog.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace virmak {

namespace {

    bool EstCercleComplet(const LigneProg& ligne, const LigneProg& precedente)
    {
        return (ligne.CodeG[0] == 2 || ligne.CodeG[0] == 3) && ligne.X == precedente.X
            && ligne.Y == precedente.Y;
    }

    void Elargir(BoiteProg& boite, const LigneProg& ligne)
    {
        const double v[3] = { ligne.X, ligne.Y, ligne.Z };
        for (int i = 0; i < 3; ++i) {
            if (v[i] > boite.Max[i])
                boite.Max[i] = v[i];
            if (v[i] < boite.Min[i])
                boite.Min[i] = v[i];
        }
    }

    // Radius of the tool a block calls; tools outside the table have none.
    double RayonOutil(int32_t numero, bool& horsTable)
    {
        if (numero < 0 || numero >= NbOutils) {
            horsTable = true;
            return 0;
        }
        return TabOutils[numero].Jauge[0] / 2 + TabOutils[numero].CorDyn[0];
    }

    // Entries the list needs: the start block, one per line, one more per full
    // circle. Counted without touching TabProg, for the refusal message.
    size_t EntreesNecessaires(size_t depuisLigne, LigneProg precedente)
    {
        size_t n = 0;
        LigneProg courante;
        // The warnings of these lines were already given, or will be on a fix.
        const bool avertir = MesAvert;
        MesAvert = false;
        const auto& lignes = Form1.ListBoxProg1.Lignes;
        for (size_t l = depuisLigne; l < lignes.size(); ++l) {
            AnalyseLigne(lignes[l], precedente, courante);
            n += EstCercleComplet(courante, precedente) ? 2 : 1;
            precedente = courante;
        }
        MesAvert = avertir;
        return n;
    }

    // Nothing of a refused program is kept: it cannot run or draw half.
    void Refuser(const std::string& raison)
    {
        NbLignesProg = 0;
        ProgAnalyse = false;
        VueActive().Message(raison + " Le programme ne peut être ni dessiné ni exécuté.");
    }

    void RefuserTropLong(size_t entrees)
    {
        Refuser("Programme trop long : il demande " + std::to_string(entrees)
            + " blocs d'analyse et la table n'en contient que " + std::to_string(MaxLProg)
            + " (clé MaxLProg de CncParam.Ini).");
    }

    void RefuserBloc(DefautBloc defaut, size_t ligne)
    {
        const std::string ou = "Ligne " + std::to_string(ligne) + " : ";
        if (defaut == DefautBloc::ArcRayonSansLongueur)
            Refuser(ou
                + "un arc donné par son rayon R ne peut pas finir à son point de départ "
                  "(un cercle complet se programme avec I et J).");
        else
            Refuser(ou
                + "le rayon R de l'arc est plus court que la moitié de la distance "
                  "entre son point de départ et son point d'arrivée.");
    }

    bool Bouge(const LigneProg& avant, const LigneProg& l)
    {
        return l.X != avant.X || l.Y != avant.Y || l.Z != avant.Z;
    }

    bool Perce(const LigneProg& l)
    {
        const int32_t c = l.CodeG[1];
        return (c == 81 || c == 82 || c == 83) && l.ZCycle < 0;
    }

    // The first axis of entry i whose position, or move from entry i - 1,
    // counts more steps than the counters hold; -1 when none. An arc is
    // judged on its whole circle.
    int AxeHorsCompteurs(const LigneProg& avant, const LigneProg& l)
    {
        const auto horsCompteurs
            = [](double mm, int axe) { return !(std::fabs(mm / ValPas[axe]) <= PasMaxi); };
        const double rayon
            = (l.CodeG[0] == 2 || l.CodeG[0] == 3) ? std::hypot(avant.X - l.I, avant.Y - l.J) : 0;
        const double centre[3] = { l.I, l.J, 0 };
        const double v[3] = { l.X, l.Y, l.Z }, a[3] = { avant.X, avant.Y, avant.Z };
        for (int i = 0; i < 3; ++i) {
            if (horsCompteurs(v[i], i) || horsCompteurs(v[i] - a[i], i))
                return i;
            if (i < 2 && rayon > 0
                && (horsCompteurs(std::fabs(centre[i]) + rayon, i) || horsCompteurs(2 * rayon, i)))
                return i;
        }
        return -1;
    }

} // namespace

size_t AvanceManquante(const std::vector<LigneProg>& table, size_t nb)
{
    nb = std::min(nb, table.empty() ? 0 : table.size() - 1);
    for (size_t i = 1; i <= nb; ++i) {
        const LigneProg& l = table[i];
        const bool avance = l.CodeG[0] >= 1 && l.CodeG[0] <= 3 && Bouge(table[i - 1], l);
        if ((avance || Perce(l)) && !(l.Avance > 0))
            return i;
    }
    return 0;
}

std::string TexteAvanceManquante(const LigneProg& ligne)
{
    const std::string quoi = Perce(ligne) ? "cycle de perçage G" + std::to_string(ligne.CodeG[1])
                                          : "déplacement en avance G" + std::to_string(ligne.CodeG[0]);
    return "Ligne " + std::to_string(ligne.IndexLigne + 1) + " : " + quoi
        + " sans vitesse d'avance F positive : les axes iraient aussi vite que possible. Programmer F avant "
          "ce bloc.";
}

std::string MouvementHorsCompteurs(const std::vector<LigneProg>& table, size_t nb)
{
    nb = std::min(nb, table.empty() ? 0 : table.size() - 1);
    for (size_t i = 1; i <= nb; ++i) {
        const int axe = AxeHorsCompteurs(table[i - 1], table[i]);
        if (axe >= 0)
            return "Ligne " + std::to_string(table[i].IndexLigne + 1) + " : le déplacement en " + "XYZ"[axe]
                + " demande plus de 2 000 000 000 pas (" + FormatGeneral(ValPas[axe])
                + " mm par pas) : les compteurs de position ne peuvent pas le suivre. Le programme n'est pas "
                  "exécuté.";
    }
    return {};
}

std::string NomPourAffichage(const std::string& chemin)
{
    if (chemin.size() <= LongueurNomAffiche)
        return chemin;
    const size_t derniere = chemin.rfind('/');
    const std::string fichier = derniere == std::string::npos ? chemin : chemin.substr(derniere + 1);
    // The first folder stands where a drive stood: "/home/ ... /piece.iso".
    const size_t debut = chemin.empty() || chemin[0] != '/' ? 0 : 1;
    const size_t premiere = chemin.find('/', debut);
    const std::string premier
        = premiere == std::string::npos ? std::string() : chemin.substr(0, premiere + 1);
    return premier + " ... /" + fichier;
}

bool TraiteIso(BoiteProg& boite)
{
    PasseAvertissements passe;
    const auto& lignes = Form1.ListBoxProg1.Lignes;
    ProgressionJauge jauge(static_cast<int>(lignes.size()), "Traite ISO");
    FacteurUnite = 1.0;
    NbLignesProg = 0;
    if (MaxLProg == 0) {
        RefuserTropLong(lignes.size() + 1);
        return false;
    }
    // Room for the start block and one entry per line; a full circle grows
    // the table further, never past MaxLProg.
    const size_t capacite = MaxLProg;
    TabProg.resize(std::min(capacite, std::max(TabProg.size(), lignes.size() + 1)));
    TabProg[0] = LigneDefaut;
    TabProg[0].X = PosMm[0];
    TabProg[0].Y = PosMm[1];
    TabProg[0].Z = PosMm[2];
    TabProg[0].CentresRelatifs = CentresRelatifs;
    for (int i = 0; i < 3; ++i)
        boite.Min[i] = boite.Max[i] = PosMm[i];

    auto assurer = [capacite](size_t index) {
        if (index >= TabProg.size())
            TabProg.resize(std::min(capacite, index + index / 4 + 1));
    };
    size_t h = 0;
    for (size_t l = 0; l < lignes.size(); ++l) {
        if (h + 1 >= capacite) {
            RefuserTropLong(h + 1 + EntreesNecessaires(l, TabProg[h]));
            return false;
        }
        assurer(h + 1);
        LigneProg& courante = TabProg[h + 1];
        const DefautBloc defaut = AnalyseLigne(lignes[l], TabProg[h], courante);
        if (defaut != DefautBloc::Aucun) {
            RefuserBloc(defaut, l + 1);
            return false;
        }
        courante.IndexLigne = static_cast<uint16_t>(l);
        ++h;
        if (EstCercleComplet(TabProg[h], TabProg[h - 1])) {
            if (h + 1 >= capacite) {
                RefuserTropLong(h + 2 + EntreesNecessaires(l + 1, TabProg[h]));
                return false;
            }
            assurer(h + 1);
            TabProg[h + 1] = TabProg[h];
            // The middle point is the one diametrically opposite the start,
            // so both halves stay on the circle wherever the start lies.
            // Saturated, as every program value is: a centre near the
            // largest double would put this point at infinity.
            TabProg[h].X = Sature(2 * TabProg[h].I - TabProg[h].X);
            TabProg[h].Y = Sature(2 * TabProg[h].J - TabProg[h].Y);
            TabProg[h].NumSegment = static_cast<uint16_t>(TabProg[h - 1].NumSegment + 1);
            Elargir(boite, TabProg[h]);
            ++h;
        }
        const LigneProg& avant = TabProg[h - 1];
        TabProg[h].NumSegment = static_cast<uint16_t>(
            avant.NumSegment + ((TabProg[h].X != avant.X || TabProg[h].Y != avant.Y) ? 1 : 0));
        Elargir(boite, TabProg[h]);
        jauge.Avancer(static_cast<int>(l + 1));
    }
    NbLignesProg = static_cast<uint16_t>(h);
    // Mended: such a move stepped as fast as the processor allowed.
    if (const size_t i = AvanceManquante(TabProg, h)) {
        Refuser(TexteAvanceManquante(TabProg[i]));
        return false;
    }

    bool horsTable = false;
    int32_t premierHorsTable = 0;
    for (size_t i = 0; i <= h; ++i) {
        bool ici = false;
        TabProg[i].CorRayon *= RayonOutil(TabProg[i].NumOutil, ici);
        if (ici && !horsTable) {
            horsTable = true;
            premierHorsTable = TabProg[i].NumOutil;
        }
    }
    if (horsTable)
        VueActive().Message("Outil T" + std::to_string(premierHorsTable)
            + " hors de la table (T00 à T99) : son rayon et sa longueur sont pris à 0.");
    ProgAnalyse = true;
    return true;
}

namespace {

    void AjouterLigneListing(std::string& s, const LigneProg& ligne)
    {
        AjouterDebutLigneBloc(s, ligne);
        s += " > ENT=";
        AjouterEntier(s, ligne.NumSegment, 0);
        s += " COR=";
        AjouterFixe(s, ligne.CorRayon, 8, 3);
    }

} // namespace

std::string LigneListing(const LigneProg& ligne)
{
    std::string s;
    AjouterLigneListing(s, ligne);
    return s;
}

void ListingParMorceaux(const std::function<void(std::string_view)>& sortie)
{
    if (TabProg.empty())
        return;
    constexpr size_t Morceau = 1 << 16;
    const size_t fin = std::min<size_t>(NbLignesProg, TabProg.size() - 1);
    std::string s;
    s.reserve(Morceau + 256);
    for (size_t i = 0; i <= fin; ++i) {
        AjouterLigneListing(s, TabProg[i]);
        s += "\r\n";
        if (s.size() >= Morceau || i == fin) {
            sortie(s);
            s.clear();
        }
    }
}

std::string Listing()
{
    std::string s;
    ListingParMorceaux([&s](std::string_view morceau) { s += morceau; });
    return s;
}

} // namespace virmak
