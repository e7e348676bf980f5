// The reference on the limit switches and the tool-setting probe, on the
// virtual machine: where the axes end, what the operator is told, and that
// every stop still holds.

#include "exec/conduite.h"
#include "exec/manuel.h"
#include "exec/origine.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/cn_algos.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// Switches 1 mm (400 steps) either side of zero on every axis; the probe on
// Busy.
class Origine : public AvecMachineCablee {
protected:
    void SetUp() override
    {
        AvecMachineCablee::SetUp();
        IniParam.EcrireEntier("ENTREES", CleIndexee("CBInItem", EntreePalpeur), 5);
        IniParam.EcrireEntier("ENTREES", "InEnable", 0xF8);
        LireParamEntreeSortie();
        for (int i = 0; i < 3; ++i)
            m->DefinirCourse(i, 400);
        VitesseRecherche[0] = VitesseRecherche[1] = VitesseRecherche[2] = 150;
        OrigineMachine[0] = -1;
        OrigineMachine[1] = -2;
        OrigineMachine[2] = 1.5;
        m->Enregistrer(1000000);
    }
    void Placer(int64_t x, int64_t y, int64_t z)
    {
        const int64_t p[3] = { x, y, z };
        for (int i = 0; i < 3; ++i) {
            m->DefinirPosition(i, p[i]);
            PosPas[i] = static_cast<int32_t>(p[i]);
            AfficherAxe(i);
        }
    }
};

} // namespace

TEST_F(Origine, AReferenceFromAnyStartingPointEndsWhereEachSwitchReleases)
{
    const struct {
        int64_t x, y, z;
        int32_t sensX; // the last direction X moved in
    } departs[] = { { 0, 0, 0, 1 }, { 300, -399, 399, -1 }, { -450, 0, 401, 1 } }; // the last two closed
    for (const auto& d : departs) {
        Placer(d.x, d.y, d.z);
        SensAxe[0] = d.sensX;
        OublierOrigines();
        m->Enregistrer(1000000);
        BtOrigineClick();
        // The switches close beyond 400 steps: each releases at 400.
        EXPECT_EQ(m->Position(0), -400) << d.x;
        EXPECT_EQ(m->Position(1), -400) << d.x;
        EXPECT_EQ(m->Position(2), 400) << d.x;
        EXPECT_EQ(PosPas[0], -400);
        EXPECT_EQ(PosPas[1], -800);
        EXPECT_EQ(PosPas[2], 600);
        EXPECT_EQ(Form1.StaticTextY.Texte, "  -2.000");
        EXPECT_EQ(Form1.MesEtat.Texte, "Origine prise.");
        EXPECT_TRUE(ManoeuvreReussie);
        EXPECT_FALSE(ArretUrgence || ButeeActivee);
        ASSERT_FALSE(m->Pas().empty());
        EXPECT_EQ(m->Pas().front().axe, 2) << "Z first";
        EXPECT_TRUE(Form1.XPlus.Actif && Form1.BtOrigine.Actif);
    }
    // The switches it sought are no fault.
    EXPECT_EQ(Historique("mouvement arrêté."), 0);
    EXPECT_EQ(Historique("PRISE D'ORIGINE X : origine à -1.000 mm."), 3);
}

TEST_F(Origine, NoAxisSeeksItsSwitchFasterThanItsMaximum)
{
    VitesseRecherche[0] = 10000; // mm/min: 66 667 steps/s asked
    OrdreRecherche = "X";
    BtOrigineClick();
    int64_t precedent = -1, mini = INT64_MAX;
    for (const PasVirtuel& p : m->Pas()) {
        if (precedent >= 0)
            mini = std::min(mini, p.instant - precedent);
        precedent = p.instant;
    }
    EXPECT_GE(mini, TabPeriodes[AvMax[0]]);
    EXPECT_EQ(m->Position(0), -400);
}

TEST_F(Origine, AnAxisWithNoSwitchIsSkippedAndSaid)
{
    IniParam.EcrireEntier("ENTREES", CleIndexee("CBInItem", 1), 0);
    LireParamEntreeSortie();
    Placer(0, 123, 0);
    BtOrigineClick();
    EXPECT_EQ(m->Position(1), 123);
    EXPECT_EQ(m->Position(0), -400);
    EXPECT_EQ(Form1.MesEtat.Texte, "Origine prise. Sans butée : Y.");
    EXPECT_EQ(Historique("PRISE D'ORIGINE Y : aucune butée câblée, axe ignoré."), 1);

    // A switch the virtual machine does not have is skipped too; one that
    // never closes ends the search after 1000 mm, with nothing taken.
    IniParam.EcrireEntier("ENTREES", CleIndexee("CBInItem", 1), 2);
    LireParamEntreeSortie();
    m->DefinirCourse(2, 0);
    m->DefinirCourse(0, 1000000000);
    Placer(0, 0, 7);
    BtOrigineClick();
    EXPECT_EQ(m->Position(2), 7);
    EXPECT_EQ(
        Historique("PRISE D'ORIGINE Z : la machine virtuelle n'a pas de butée sur cet axe (sa course n'est "
                   "pas réglée), axe ignoré."),
        1);
    EXPECT_EQ(m->Position(0), -400000);
    EXPECT_EQ(
        Form1.MesEtat.Texte, "Prise d'origine X arrêtée : la butée ne s'est pas fermée en 1000.000 mm.");
    EXPECT_EQ(Historique("PRISE D'ORIGINE interrompue."), 1);
    m->DefinirCourse(0, 400);
    m->DefinirCourse(2, 400);

    // In simulation, on a real port, no input is read: nothing moves.
    Simulation = true;
    MachineVirtuelleDemandee = false;
    m->Enregistrer(1000);
    BtOrigineClick();
    MachineVirtuelleDemandee = true;
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_TRUE(Form1.MesEtat.Texte.starts_with("Prise d'origine impossible."));
}

TEST_F(Origine, StepsLostSinceTheLastReferenceAreCountedPresetsAside)
{
    OrdreRecherche = "XY";
    BtOrigineClick();
    PeriodePas = TabPeriodes[1000];
    m->PerdrePas(0, 37);
    LigneXY(OctetSortie, 600, 600);
    // A preset and a reset move nothing: they are not lost steps.
    Form1.StaticTextX.Visible = false;
    Form1.EditX.Visible = true;
    Form1.EditX.Texte = "12.5";
    PresetX();
    ResetY();
    BtOrigineClick();
    EXPECT_EQ(Form1.MesEtat.Texte, "Pas perdus : X 37 pas (0.092 mm).");
    EXPECT_EQ(Historique("PRISE D'ORIGINE X : écart de 37 pas (0.092 mm) entre la position comptée et la "
                         "position trouvée."),
        1);
    EXPECT_EQ(Historique("PRISE D'ORIGINE Y : aucun pas perdu."), 1);
    EXPECT_EQ(PosPas[0], -400);
    BtOrigineClick();
    EXPECT_EQ(Form1.MesEtat.Texte, "Origine prise, aucun pas perdu.");
}

TEST_F(Origine, URgenceDuringAReferenceStopsBeforeTheNextStepWithTheSpindleAtRest)
{
    for (const int64_t z : { 0, 420 }) { // searching Z, backing off Z
        const double t = 0.1;
        Placer(0, 0, z);
        OublierOrigines();
        MesRazClick();
        BtBrocheClick();
        ASSERT_TRUE(BrocheEnMarche);
        m->Enregistrer(1000000);
        horloge.maintenant = 0;
        InstantPas = 0;
        Pendant(t, [] { Entrees().DemanderUrgence(); });
        BtOrigineClick();
        const auto instant = static_cast<int64_t>(t * static_cast<double>(horloge.frequence));
        ASSERT_FALSE(m->Pas().empty());
        EXPECT_LE(m->Pas().back().instant, instant + horloge.frequence / 500) << z;
        EXPECT_EQ(Form1.MesEtat.Texte, TexteArretDeclenche) << z;
        EXPECT_FALSE(OrigineFaite[2] || ManoeuvreReussie) << z;
        EXPECT_FALSE(BrocheEnMarche) << z;
        EXPECT_EQ(m->LatchA() & MasqueBroche, 0) << z;
        EXPECT_EQ(m->Position(0), 0) << z;
        EXPECT_TRUE(Form1.BtOrigine.Actif) << z;
        horloge.pendantAttente = nullptr;
    }
    EXPECT_EQ(Historique("PRISE D'ORIGINE interrompue."), 2);
}

TEST_F(Origine, ProbingFindsThePlateWithinOneStepAndLiftsTheTool)
{
    m->DefinirCourse(2, 0);
    EpaisseurCale = 1.5;
    RetraitPalpage = 5;
    m->DefinirCale(true, -800); // 2 mm below
    BtPalpageClick();
    // Released one step above the contact: that point is the plate's top.
    EXPECT_LE(std::abs((PosPas[2] - (m->Position(2) + 800)) - PasDe(1.5, 2)), 1);
    EXPECT_EQ(PosPas[2], PasDe(6.5, 2));
    EXPECT_EQ(Form1.MesEtat.Texte, "Palpage Z fait, outil à 6.500 mm.");
    EXPECT_EQ(Historique("PALPAGE Z : contact, Z = 1.500 mm (épaisseur de la cale)."), 1);
    EXPECT_FALSE(Form1.LedPalOT.Allume);
    EXPECT_NE(std::find(vue.repeints.begin(), vue.repeints.end(), "LedPalOT"), vue.repeints.end());
    // The readout taken is a shift, not a lost step.
    EXPECT_EQ(DecalageOrigine[2], PosPas[2] - m->Position(2));
}

TEST_F(Origine, ProbingRefusesOrStopsWithoutAPlateAndOnUrgence)
{
    // No plate within the travel.
    m->DefinirCourse(2, 0);
    CoursePalpage = 2;
    BtPalpageClick();
    EXPECT_EQ(m->Position(2), -800);
    EXPECT_EQ(Form1.MesEtat.Texte, "Palpage Z arrêté : aucun contact sur 2.000 mm.");
    EXPECT_EQ(Historique("Palpage Z arrêté : aucun contact sur 2.000 mm."), 1);

    // The probe closed already: nothing moves, the LED says why.
    m->Enregistrer(1000);
    m->FermerPalpeur(true);
    BtPalpageClick();
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_EQ(Form1.MesEtat.Texte, TextePalpeurEnContact);
    EXPECT_TRUE(Form1.LedPalOT.Allume);
    m->FermerPalpeur(false);
    ScruterEntrees();
    EXPECT_FALSE(Form1.LedPalOT.Allume);
    // Never with the spindle running.
    BtBrocheClick();
    BtPalpageClick();
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_EQ(Form1.MesEtat.Texte, TextePalpageBroche);
    BtBrocheClick();

    // URGENCE on the way down.
    m->Enregistrer(100000);
    m->DefinirCale(true, -10000);
    CoursePalpage = 20;
    horloge.maintenant = 0;
    InstantPas = 0;
    Pendant(0.5, [] { Entrees().DemanderUrgence(); });
    BtPalpageClick();
    ASSERT_FALSE(m->Pas().empty());
    EXPECT_LE(m->Pas().back().instant, horloge.frequence / 2 + horloge.frequence / 500);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteArretDeclenche);
    EXPECT_EQ(Historique("PALPAGE Z interrompu."), 1);

    // A probe with no input chosen.
    MesRazClick();
    IniParam.EcrireEntier("ENTREES", CleIndexee("CBInItem", EntreePalpeur), 0);
    LireParamEntreeSortie();
    BtPalpageClick();
    EXPECT_EQ(Form1.MesEtat.Texte, TextePalpeurAbsent);
}
