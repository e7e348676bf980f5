#include "exec/origine.h"

#include "exec/conduite.h"
#include "exec/manuel.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "machine/cn_algos.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"

#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

namespace virmak {

double VitesseRecherche[3];
int32_t SensRecherche[3];
double OrigineMachine[3];
std::string OrdreRecherche;
double VitessePalpage, CoursePalpage, EpaisseurCale, RetraitPalpage;
bool OrigineFaite[3];
bool ManoeuvreReussie = false;
int64_t DecalageOrigine[3];

namespace {

    constexpr double VitesseRechercheDefaut = 100; // mm/min
    constexpr int32_t SensRechercheDefaut[3] = { -1, -1, 1 }; // Z's switch at the top
    // A switch or a probe still closed after this much backing off is
    // stuck: better to stop than to run away from it.
    constexpr double DegagementMaxi = 10; // mm
    // A switch that never closes (broken, unplugged) must not drive the axis
    // on forever: longer than any hobby machine's travel.
    constexpr double RechercheMaxi = 1000; // mm
    // The slow rate of the back-off, as a fraction of the search's.
    constexpr double FractionDegagement = 0.1;

    const char Lettres[3] = { 'X', 'Y', 'Z' };

    std::string Mm(double v)
    {
        return FormatFixe(v, 0, 3);
    }

    // The input a move seeks, for the length of that move only.
    class Recherche {
    public:
        Recherche(uint8_t masque, bool etat)
        {
            MasqueCherche = masque;
            EtatCherche = etat;
            EntreeTrouvee = false;
        }
        ~Recherche()
        {
            MasqueCherche = 0;
            EntreeTrouvee = false;
        }
        Recherche(const Recherche&) = delete;
        Recherche& operator=(const Recherche&) = delete;
    };

    void Periode(int32_t axe, double avance)
    {
        double d[3] = { 0, 0, 0 };
        d[axe] = 10;
        PeriodePas = CalculPeriode(d[0], d[1], d[2], avance);
    }

    // One step event of one axis, the spindle line as it is.
    void Pas(int32_t axe, int32_t sens)
    {
        const uint8_t motif
            = static_cast<uint8_t>(OctetSortie | (sens > 0 ? MasquePasDir[axe] : MasquePas[axe]));
        if (axe == 2) {
            PasZ(motif, sens);
        } else {
            AxeAffiche = axe;
            PasXY(motif, axe == 0 ? sens : 0, axe == 1 ? sens : 0);
        }
    }

    enum class Issue { Trouvee, Course, Arret };

    // Steps of `axe` in direction `sens` until the input of `masque` reads
    // `etat` (the step that would go past it is not made), at most `maxi`
    // steps, at `avance` mm/min.
    Issue Chercher(int32_t axe, int32_t sens, uint8_t masque, bool etat, double avance, int64_t maxi)
    {
        Periode(axe, avance);
        Recherche recherche(masque, etat);
        for (int64_t n = 0; n < maxi; ++n) {
            Pas(axe, sens);
            if (EntreeTrouvee)
                return Issue::Trouvee;
            if (ArretUrgence || ButeeActivee)
                return Issue::Arret;
        }
        return Issue::Course;
    }

    int64_t NbPasMaxi(double mm, int32_t axe)
    {
        return std::abs(static_cast<int64_t>(PasDe(mm, axe)));
    }

    // Off a closed switch, away from its end, until it releases. The latch
    // is put on the switch's end first: one switch serves both ends, and
    // the back-off must not be taken for a move towards the other.
    bool Degager(int32_t axe)
    {
        const int32_t sens = SensRecherche[axe];
        ButeeMoins[axe] = sens < 0;
        ButeePlus[axe] = sens > 0;
        const Issue issue = Chercher(axe, -sens, MasqueButee[axe], false,
            VitesseRecherche[axe] * FractionDegagement, NbPasMaxi(DegagementMaxi, axe));
        ButeeMoins[axe] = ButeePlus[axe] = false;
        if (issue == Issue::Course) {
            const std::string texte = std::string("Prise d'origine ") + Lettres[axe]
                + " arrêtée : la butée reste fermée après " + Mm(DegagementMaxi) + " mm de dégagement.";
            DefinirMesEtat(texte);
            MsgHistorique(texte);
        }
        return issue == Issue::Trouvee;
    }

    // The reference of one axis: the steps counted where its switch
    // releases, or nothing when the move was stopped.
    std::optional<int32_t> ChercherButee(int32_t axe)
    {
        if (EntreeActive(MasqueButee[axe]) && !Degager(axe))
            return std::nullopt;
        if (ArretUrgence)
            return std::nullopt;
        const Issue issue = Chercher(axe, SensRecherche[axe], MasqueButee[axe], true, VitesseRecherche[axe],
            NbPasMaxi(RechercheMaxi, axe));
        if (issue == Issue::Course) {
            const std::string texte = std::string("Prise d'origine ") + Lettres[axe]
                + " arrêtée : la butée ne s'est pas fermée en " + Mm(RechercheMaxi) + " mm.";
            DefinirMesEtat(texte);
            MsgHistorique(texte);
        }
        if (issue != Issue::Trouvee || !Degager(axe))
            return std::nullopt;
        return PosPas[axe];
    }

    // What a reference found, for the message line: the lost steps first,
    // as they matter most and the line is short.
    struct Bilan {
        std::vector<std::string> pertes; // "X 37 (0.092 mm)"
        bool compare = false; // an axis was referenced before
        std::string sansButee; // letters
        std::string Texte() const
        {
            std::string texte;
            if (!pertes.empty()) {
                texte = "Pas perdus :";
                for (size_t k = 0; k < pertes.size(); ++k)
                    texte += (k == 0 ? " " : " ; ") + pertes[k];
                texte += ".";
            } else {
                texte = compare ? "Origine prise, aucun pas perdu." : "Origine prise.";
            }
            if (!sansButee.empty()) {
                texte += " Sans butée :";
                for (char c : sansButee)
                    texte += std::string(" ") + c;
                texte += ".";
            }
            return texte;
        }
    };

    // The switch's point takes OrigineMachine; the difference with the
    // position counted tells the steps lost since the previous reference.
    void Conclure(int32_t axe, int32_t compte, Bilan& bilan)
    {
        const int32_t trouve = PasDe(OrigineMachine[axe], axe);
        std::string histoire = std::string("PRISE D'ORIGINE ") + Lettres[axe] + " : ";
        if (!OrigineFaite[axe]) {
            histoire += "origine à " + Mm(OrigineMachine[axe]) + " mm.";
        } else {
            bilan.compare = true;
            const int64_t ecart = static_cast<int64_t>(compte) - DecalageOrigine[axe] - trouve;
            if (ecart == 0) {
                histoire += "aucun pas perdu.";
            } else {
                const std::string pas = std::to_string(ecart) + " pas ("
                    + Mm(static_cast<double>(ecart) * ValPas[axe]) + " mm)";
                bilan.pertes.push_back(std::string(1, Lettres[axe]) + " " + pas);
                histoire += "écart de " + pas + " entre la position comptée et la position trouvée.";
            }
        }
        MsgHistorique(histoire);
        PosPas[axe] = trouve;
        AfficherAxe(axe);
        OrigineFaite[axe] = true;
        DecalageOrigine[axe] = 0;
    }

    void AllumerPalpeur(bool allume)
    {
        Form1.LedPalOT.Allume = allume;
        VueActive().Repeindre("LedPalOT");
    }

} // namespace

void LireParamOrigine()
{
    for (int i = 0; i < 3; ++i) {
        VitesseRecherche[i]
            = IniParam.LireReel("AXES", CleIndexee("VitesseRecherche", i), VitesseRechercheDefaut);
        const int32_t sens
            = IniParam.LireEntier("AXES", CleIndexee("SensRecherche", i), SensRechercheDefaut[i]);
        SensRecherche[i] = sens == 1 || sens == -1 ? sens : SensRechercheDefaut[i];
        OrigineMachine[i] = IniParam.LireReel("AXES", CleIndexee("OrigineMachine", i), 0);
    }
    OrdreRecherche = IniParam.LireChaine("AXES", "OrdreRecherche", OrdreRechercheDefaut);
    for (char& c : OrdreRecherche)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!OrdreRechercheValide(OrdreRecherche))
        OrdreRecherche = OrdreRechercheDefaut;
    VitessePalpage = IniParam.LireReel("AXES", "VitessePalpage", 20);
    CoursePalpage = IniParam.LireReel("AXES", "CoursePalpage", 20);
    EpaisseurCale = IniParam.LireReel("AXES", "EpaisseurCale", 0);
    RetraitPalpage = IniParam.LireReel("AXES", "RetraitPalpage", 5);
}

void EcrireParamOrigine()
{
    IniParam.DebutLot();
    for (int i = 0; i < 3; ++i) {
        IniParam.EcrireReel("AXES", CleIndexee("VitesseRecherche", i), VitesseRecherche[i]);
        IniParam.EcrireEntier("AXES", CleIndexee("SensRecherche", i), SensRecherche[i]);
        IniParam.EcrireReel("AXES", CleIndexee("OrigineMachine", i), OrigineMachine[i]);
    }
    IniParam.EcrireChaine("AXES", "OrdreRecherche", OrdreRecherche);
    IniParam.EcrireReel("AXES", "VitessePalpage", VitessePalpage);
    IniParam.EcrireReel("AXES", "CoursePalpage", CoursePalpage);
    IniParam.EcrireReel("AXES", "EpaisseurCale", EpaisseurCale);
    IniParam.EcrireReel("AXES", "RetraitPalpage", RetraitPalpage);
    IniParam.FinLot();
}

bool OrdreRechercheValide(const std::string& ordre)
{
    if (ordre.empty() || ordre.size() > 3)
        return false;
    bool vu[3] = { false, false, false };
    for (char c : ordre) {
        if (c < 'X' || c > 'Z' || vu[c - 'X'])
            return false;
        vu[c - 'X'] = true;
    }
    return true;
}

void NoterDecalage(int32_t axe, int64_t pas)
{
    if (axe >= 0 && axe < 3)
        DecalageOrigine[axe] += pas;
}

void OublierOrigines()
{
    for (int i = 0; i < 3; ++i) {
        OrigineFaite[i] = false;
        DecalageOrigine[i] = 0;
    }
}

void BtOrigineClick()
{
    VERIFIER_FIL_MACHINE();
    if (!MachineLibre() || !Form1.BtOrigine.Actif)
        return;
    if (SimulationEnForce() || !PortEnService()) {
        DefinirMesEtat("Prise d'origine impossible. " + std::string(TexteSansMachine));
        return;
    }
    Occupation occupation;
    ModeAutomatique();
    Bilan bilan;
    bool complete = true;
    ManoeuvreReussie = false;
    Positionner([&] {
        for (char lettre : OrdreRecherche) {
            const int32_t axe = lettre - 'X';
            // The virtual machine's switches exist only where its travel is set.
            const MachineVirtuelle* virtuelle = MachineVirtuelleActive();
            if (!EntreeCablee(MasqueButee[axe]) || (virtuelle && virtuelle->Course(axe) == 0)) {
                bilan.sansButee += lettre;
                MsgHistorique(std::string("PRISE D'ORIGINE ") + lettre
                    + (EntreeCablee(MasqueButee[axe])
                            ? " : la machine virtuelle n'a pas de butée sur cet axe (sa course n'est pas "
                              "réglée), axe ignoré."
                            : " : aucune butée câblée, axe ignoré."));
                continue;
            }
            const std::optional<int32_t> compte = ChercherButee(axe);
            if (!compte) {
                complete = false;
                break;
            }
            Conclure(axe, *compte, bilan);
        }
    });
    if (!complete) {
        MsgHistorique("PRISE D'ORIGINE interrompue.");
        return;
    }
    ManoeuvreReussie = true;
    DefinirMesEtat(bilan.Texte());
}

void BtPalpageClick()
{
    VERIFIER_FIL_MACHINE();
    if (!MachineLibre() || !Form1.BtPalpage.Actif)
        return;
    if (!EntreeCablee(MasquePalpeur)) {
        DefinirMesEtat(TextePalpeurAbsent);
        return;
    }
    if (SimulationEnForce() || !PortEnService()) {
        DefinirMesEtat("Palpage impossible. " + std::string(TexteSansMachine));
        return;
    }
    if (BrocheEnMarche) {
        DefinirMesEtat(TextePalpageBroche);
        return;
    }
    if (EntreeActive(MasquePalpeur)) {
        AllumerPalpeur(true);
        DefinirMesEtat(TextePalpeurEnContact);
        return;
    }
    Occupation occupation;
    ModeAutomatique();
    std::string conclusion;
    bool contact = false;
    ManoeuvreReussie = false;
    Positionner([&] {
        const Issue descente
            = Chercher(2, -1, MasquePalpeur, true, VitessePalpage, NbPasMaxi(CoursePalpage, 2));
        if (descente == Issue::Arret)
            return;
        if (descente == Issue::Course) {
            conclusion = "Palpage Z arrêté : aucun contact sur " + Mm(CoursePalpage) + " mm.";
            return;
        }
        AllumerPalpeur(true);
        const Issue degagement = Chercher(
            2, 1, MasquePalpeur, false, VitessePalpage * FractionDegagement, NbPasMaxi(DegagementMaxi, 2));
        if (degagement == Issue::Arret)
            return;
        if (degagement == Issue::Course) {
            conclusion = "Palpage Z arrêté : le palpeur reste en contact après " + Mm(DegagementMaxi)
                + " mm de dégagement.";
            return;
        }
        AllumerPalpeur(false);
        const int32_t avant = PosPas[2];
        PosPas[2] = PasDe(EpaisseurCale, 2);
        NoterDecalage(2, static_cast<int64_t>(PosPas[2]) - avant);
        AfficherZ();
        MsgHistorique("PALPAGE Z : contact, Z = " + Mm(EpaisseurCale) + " mm (épaisseur de la cale).");
        const double hauteur = EpaisseurCale + RetraitPalpage;
        PeriodePas
            = CalculPeriode(0, 0, RetraitPalpage, AvanceCourante > 0 ? AvanceCourante : VitessePalpage);
        LigneZ(OctetSortie, PasDe(hauteur, 2) - PosPas[2]);
        contact = true;
        if (!ArretUrgence && !ButeeActivee)
            conclusion = "Palpage Z fait, outil à " + Mm(hauteur) + " mm.";
    });
    if (ArretUrgence) {
        MsgHistorique("PALPAGE Z interrompu.");
        return;
    }
    ManoeuvreReussie = contact && !ButeeActivee;
    if (!conclusion.empty()) {
        DefinirMesEtat(conclusion);
        if (!contact)
            MsgHistorique(conclusion);
    }
}

} // namespace virmak
