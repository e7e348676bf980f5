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

    // The program list as a source of lines, as LecteurLignes is for a text.
    class LignesListe {
    public:
        explicit LignesListe(const std::vector<std::string>& lignes)
            : lignes_(lignes)
        {
        }
        std::size_t Nombre() const { return lignes_.size(); }
        bool Suivante(std::string_view& ligne)
        {
            if (suivante_ >= lignes_.size())
                return false;
            ligne = lignes_[suivante_++];
            return true;
        }

    private:
        const std::vector<std::string>& lignes_;
        std::size_t suivante_ = 0;
    };

    // Entries the rest of the program needs (`courante`, a line already
    // taken from the source, then the lines left): one per line, one more
    // per full circle. Counted without touching TabProg, for the refusal
    // message.
    template <class Source>
    size_t EntreesNecessaires(Source& source, const std::string_view* courante, LigneProg precedente)
    {
        size_t n = 0;
        LigneProg suivante;
        // The warnings of these lines were already given, or will be on a fix.
        const bool avertir = MesAvert;
        MesAvert = false;
        auto compter = [&](std::string_view ligne) {
            AnalyseLigne(ligne, precedente, suivante);
            n += EstCercleComplet(suivante, precedente) ? 2 : 1;
            precedente = suivante;
        };
        if (courante)
            compter(*courante);
        for (std::string_view ligne; source.Suivante(ligne);)
            compter(ligne);
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

    // Entry l, after `avant`, moves at the feed (G1, G2, G3, or a drilling
    // cycle that drills) with no positive feed in force.
    bool SansAvance(const LigneProg& avant, const LigneProg& l)
    {
        const bool avance = l.CodeG[0] >= 1 && l.CodeG[0] <= 3 && Bouge(avant, l);
        return (avance || Perce(l)) && !(l.Avance > 0);
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

size_t AvanceManquante(std::span<const LigneProg> table, size_t nb)
{
    nb = std::min(nb, table.empty() ? 0 : table.size() - 1);
    for (size_t i = 1; i <= nb; ++i)
        if (SansAvance(table[i - 1], table[i]))
            return i;
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

std::string MouvementHorsCompteurs(std::span<const LigneProg> table, size_t nb)
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

namespace {

    void AjouterLigneListing(TexteRapide& s, const LigneProg& ligne, double corRayon)
    {
        AjouterDebutLigneBloc(s, ligne);
        s.Ajouter(" > ENT=");
        s.Entier(ligne.NumSegment, 0);
        s.Ajouter(" COR=");
        s.Fixe(corRayon, 8, 3);
    }

    // Listing lines gathered into pieces of about 64 KB: a listing of tens of
    // thousands of lines never sits whole in memory.
    class EcrivainListing {
    public:
        explicit EcrivainListing(const std::function<void(std::string_view)>& sortie)
            : sortie_(sortie)
        {
            texte_.reserve(Morceau + 8192);
        }
        void Ligne(const LigneProg& ligne, double corRayon)
        {
            AjouterLigneListing(rapide_, ligne, corRayon);
            rapide_.Ajouter("\r\n");
            if (rapide_.Taille() >= Morceau)
                Vider();
        }
        void Vider()
        {
            rapide_.Vider();
            if (!texte_.empty())
                sortie_(texte_);
            texte_.clear();
        }

    private:
        static constexpr size_t Morceau = 1 << 16;
        const std::function<void(std::string_view)>& sortie_;
        std::string texte_;
        TexteRapide rapide_ { texte_ };
    };

    void SignalerHorsTable(int32_t outil)
    {
        VueActive().Message("Outil T" + std::to_string(outil)
            + " hors de la table (T00 à T99) : son rayon et sa longueur sont pris à 0.");
    }

    // Where the analysis keeps its entries. TabProg holds them all, sized
    // once for the program: the start block, one entry per line and room for
    // a full circle every eight lines, never past MaxLProg. Only the entries
    // written take memory.
    class TableComplete {
    public:
        void Preparer(size_t nbLignes)
        {
            NbLignesProg = 0;
            const size_t prevues = std::min<size_t>(MaxLProg, nbLignes + 1);
            TabProg.reserve(std::min<size_t>(MaxLProg, prevues + prevues / 8));
            if (TabProg.empty())
                TabProg.emplace_back();
        }
        LigneProg& operator[](size_t index) { return TabProg[index]; }
        // TabProg[index] becomes a copy of the entry before it, the table
        // growing by that entry when needed; the parser then changes it in
        // place.
        LigneProg& CopieSuivante(size_t index)
        {
            if (index < TabProg.size())
                TabProg[index] = TabProg[index - 1];
            else
                TabProg.push_back(TabProg[index - 1]);
            return TabProg[index];
        }
        void Fixee(size_t) { }
        // The feeds checked and the tool radii applied, once every entry is
        // there: CorRayon becomes the signed offset distance.
        bool Terminer(size_t h)
        {
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
                SignalerHorsTable(premierHorsTable);
            ProgAnalyse = true;
            return true;
        }
    };

    // Only the last few entries, each written out as its listing line once
    // complete (its offset computed for the line, the entry itself keeping
    // the side it passes on to the next): the listing of a program of any
    // length without its table. TabProg is not used.
    class TableListing {
    public:
        explicit TableListing(EcrivainListing* ecrivain)
            : ecrivain_(ecrivain)
        {
        }
        void Preparer(size_t) { }
        LigneProg& operator[](size_t index) { return anneau_[index % Taille]; }
        LigneProg& CopieSuivante(size_t index)
        {
            return anneau_[index % Taille] = anneau_[(index - 1) % Taille];
        }
        void Fixee(size_t index)
        {
            const LigneProg& ligne = anneau_[index % Taille];
            if (index > 0 && sansAvance_.empty() && SansAvance(anneau_[(index - 1) % Taille], ligne))
                sansAvance_ = TexteAvanceManquante(ligne);
            bool ici = false;
            const double corRayon = ligne.CorRayon * RayonOutil(ligne.NumOutil, ici);
            if (ici && !horsTable_) {
                horsTable_ = true;
                premierHorsTable_ = ligne.NumOutil;
            }
            if (ecrivain_)
                ecrivain_->Ligne(ligne, corRayon);
        }
        // A refusal found only once every entry is there, as with the table.
        bool Terminer(size_t)
        {
            if (!sansAvance_.empty()) {
                Refuser(sansAvance_);
                return false;
            }
            if (ecrivain_)
                ecrivain_->Vider();
            else if (horsTable_)
                SignalerHorsTable(premierHorsTable_);
            return true;
        }

    private:
        static constexpr size_t Taille = 4; // a full circle reaches back two entries from the new one
        LigneProg anneau_[Taille];
        EcrivainListing* ecrivain_; // none: the messages instead
        std::string sansAvance_; // the refusal of the first feed move without a feed
        bool horsTable_ = false;
        int32_t premierHorsTable_ = 0;
    };

    template <class Source, class Table> bool Analyser(Source& source, Table& table, BoiteProg& boite)
    {
        PasseAvertissements passe;
        const size_t nbLignes = source.Nombre();
        ProgressionJauge jauge(static_cast<int>(nbLignes), "Traite ISO");
        FacteurUnite = 1.0;
        if (MaxLProg == 0) {
            RefuserTropLong(nbLignes + 1);
            return false;
        }
        const size_t capacite = MaxLProg;
        table.Preparer(nbLignes);
        table[0] = LigneDefaut;
        table[0].X = PosMm[0];
        table[0].Y = PosMm[1];
        table[0].Z = PosMm[2];
        table[0].CentresRelatifs = CentresRelatifs;
        table.Fixee(0);
        for (int i = 0; i < 3; ++i)
            boite.Min[i] = boite.Max[i] = PosMm[i];

        size_t h = 0;
        std::string_view ligne;
        for (size_t l = 0; source.Suivante(ligne); ++l) {
            if (h + 1 >= capacite) {
                RefuserTropLong(h + 1 + EntreesNecessaires(source, &ligne, table[h]));
                return false;
            }
            LigneProg& courante = table.CopieSuivante(h + 1);
            const DefautBloc defaut = AnalyseLigne(ligne, courante, courante);
            if (defaut != DefautBloc::Aucun) {
                RefuserBloc(defaut, l + 1);
                return false;
            }
            courante.IndexLigne = static_cast<uint16_t>(l);
            ++h;
            if (EstCercleComplet(table[h], table[h - 1])) {
                if (h + 1 >= capacite) {
                    RefuserTropLong(h + 2 + EntreesNecessaires(source, nullptr, table[h]));
                    return false;
                }
                table.CopieSuivante(h + 1);
                // The middle point is the one diametrically opposite the start,
                // so both halves stay on the circle wherever the start lies.
                // Saturated, as every program value is: a centre near the
                // largest double would put this point at infinity.
                LigneProg& moitie = table[h];
                moitie.X = Sature(2 * moitie.I - moitie.X);
                moitie.Y = Sature(2 * moitie.J - moitie.Y);
                moitie.NumSegment = static_cast<uint16_t>(table[h - 1].NumSegment + 1);
                Elargir(boite, moitie);
                table.Fixee(h);
                ++h;
            }
            const LigneProg& avant = table[h - 1];
            LigneProg& fin = table[h];
            fin.NumSegment
                = static_cast<uint16_t>(avant.NumSegment + ((fin.X != avant.X || fin.Y != avant.Y) ? 1 : 0));
            Elargir(boite, fin);
            table.Fixee(h);
            jauge.Avancer(static_cast<int>(l + 1));
        }
        return table.Terminer(h);
    }

} // namespace

bool TraiteIso(BoiteProg& boite)
{
    LignesListe source(Form1.ListBoxProg1.Lignes);
    TableComplete table;
    return Analyser(source, table, boite);
}

bool TraiteIso(LecteurLignes& lignes, BoiteProg& boite)
{
    TableComplete table;
    return Analyser(lignes, table, boite);
}

bool ListingIso(LecteurLignes& lignes, const std::function<void(std::string_view)>& sortie)
{
    BoiteProg boite;
    TableListing verdict(nullptr);
    if (!Analyser(lignes, verdict, boite) || !lignes.Rembobiner())
        return false;
    // The warnings were given by the first pass.
    const bool avertir = MesAvert;
    MesAvert = false;
    EcrivainListing ecrivain(sortie);
    TableListing listing(&ecrivain);
    const bool ok = Analyser(lignes, listing, boite);
    MesAvert = avertir;
    return ok;
}

std::string LigneListing(const LigneProg& ligne)
{
    std::string texte;
    TexteRapide s(texte);
    AjouterLigneListing(s, ligne, ligne.CorRayon);
    s.Vider();
    return texte;
}

void ListingParMorceaux(const std::function<void(std::string_view)>& sortie)
{
    if (TabProg.empty())
        return;
    const size_t fin = std::min<size_t>(NbLignesProg, TabProg.size() - 1);
    EcrivainListing ecrivain(sortie);
    for (size_t i = 0; i <= fin; ++i)
        ecrivain.Ligne(TabProg[i], TabProg[i].CorRayon);
    ecrivain.Vider();
}

std::string Listing()
{
    std::string s;
    ListingParMorceaux([&s](std::string_view morceau) { s += morceau; });
    return s;
}

} // namespace virmak
