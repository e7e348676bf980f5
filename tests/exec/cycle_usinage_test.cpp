#include "exec/cycle_usinage.h"

#include "exec/conduite.h"
#include "exec/manuel.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "iso/cn_outils.h"
#include "iso/trace_prog.h"
#include "support/machine.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

using namespace virmak;
using namespace virmak::test;

namespace {

class Cycle : public AvecMachineCablee {
protected:
    void Programme(std::vector<std::string> lignes)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = ParcoursCalcule = false;
    }
    long Historique(const std::string& texte)
    {
        const auto& l = FormHist.ListBoxHist.Lignes;
        return std::count_if(l.begin(), l.end(), [&](const std::string& s) { return s.ends_with(texte); });
    }
};

const std::vector<std::string> Contour = { "T1 M3", "G0 X0 Y0 Z2", "G1 Z-1 F300", "G41 G1 X20 Y0",
    "G3 X30 Y10 I20 J10", "G1 Y20", "G2 X20 Y30 I20 J20", "G40 G1 X0 Y30", "G0 Z2 M5",
    "G81 X40 Y0 Z-3 R-1 F100", "X45", "X50", "G80 G0 Z5" };

} // namespace

TEST_F(Cycle, AContourWithArcsAndADrillingRowRunsThroughEveryRecordOfTheToolPath)
{
    IniOutil.EcrireChaine("OUTIL(1)", "Designation", "Fraise 4");
    IniOutil.EcrireReel("OUTIL(1)", "Jauge(0)", 4);
    ChargerOutils();
    Programme(Contour);
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteCycleTermine);
    EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 1);
    EXPECT_FALSE(Form1.GaugeProg.Visible);
    EXPECT_TRUE(Form1.Timer1.Actif);
    EXPECT_TRUE(Form1.BitBtnCycle.Actif);
    // The spindle line went down with M5.
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    EXPECT_FALSE(BrocheEnMarche);

    // Every record of the tool path is a point the decoded motion went by.
    std::set<std::tuple<int64_t, int64_t, int64_t>> vus { { 0, 0, 0 } };
    int64_t p[3] = { 0, 0, 0 };
    for (const PasVirtuel& s : m->Pas()) {
        p[s.axe] += s.sens;
        vus.insert({ p[0], p[1], p[2] });
    }
    for (size_t i = 1; i <= NbLignesCorr; ++i) {
        const LigneProg& b = TabProgCorr[i];
        const int64_t cible[3]
            = { std::llround(b.X / ValPas[0]), std::llround(b.Y / ValPas[1]), std::llround(b.Z / ValPas[2]) };
        bool proche = false;
        for (const auto& [x, y, z] : vus)
            proche = proche
                || (std::llabs(x - cible[0]) <= 1 && std::llabs(y - cible[1]) <= 1
                    && std::llabs(z - cible[2]) <= 1);
        EXPECT_TRUE(proche) << "record " << i << " " << b.X << " " << b.Y << " " << b.Z;
    }
    // The traces are those of the analysed program and of the tool path.
    EXPECT_EQ(LireTout(Fichier(NomFichierProgramme)), TexteTrace(TabProg, NbLignesProg));
    EXPECT_EQ(LireTout(Fichier(NomFichierParcours)), TexteTrace(TabProgCorr, NbLignesCorr));
}

TEST_F(Cycle, BlocksThatDoNotMoveStillRunTheirMCodeAndOnlyTheFirst)
{
    Programme({ "M0 M3", "M3 M5", "G1 X1 F100" });
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(vue.messages, (std::vector<std::string> { TexteArretProgramme }));
    EXPECT_TRUE(BrocheEnMarche);
    EXPECT_EQ(m->LatchA() & MasqueBroche, MasqueBroche);

    // An empty program ends at once, normally.
    Programme({});
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 2);
}

TEST_F(Cycle, TheEmergencyStopDuringAMoveEmitsNoFurtherStepAndALimitEndsTheRunToo)
{
    // Escape comes while the long move runs.
    struct Echap : HorlogeVirtuelle {
        bool ToucheEnfoncee(Touche t) override { return t == Touche::Echap && maintenant > frequence / 2; }
    } echap;
    DefinirPlateforme(&echap);
    Programme({ "G1 X100 F600" });
    EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteFinUrgence);
    EXPECT_EQ(m->Position(0), PosPas[0]);
    EXPECT_GT(PosPas[0], 0);
    EXPECT_LT(PosPas[0], 40000);
    EXPECT_EQ(Form1.BoutonArretTag, 1);
    EXPECT_TRUE(Form1.GaugeProg.Visible); // the emergency ending keeps the gauge
    DefinirPlateforme(&horloge);

    MesRazClick();
    EXPECT_FALSE(ArretUrgence);
    m->DefinirCourse(0, PosPas[0] + 100);
    SensAxe[0] = 1;
    EXPECT_EQ(CycleUsinage(), FinCycle::Butee);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteFinButee);
}

TEST_F(Cycle, StepByStepAdvancesOneBlockPerPressAndCycleRunsOnToTheEnd)
{
    Programme({ "G1 X1 F600", "G1 X2", "G1 X3", "G1 X4" });
    int32_t x[2] = { -1, -1 }; // where each press found the machine
    vue.script = { [&] {
                      x[0] = PosPas[0];
                      BitBtnPasPasClick();
                  },
        [&] {
            x[1] = PosPas[0];
            BitBtnCycleClick();
        } };
    BitBtnPasPasClick();
    EXPECT_EQ(vue.attentes, 2);
    EXPECT_EQ(x[0], 400);
    EXPECT_EQ(x[1], 800);
    EXPECT_FALSE(vue.scriptEpuise);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteCycleTermine);
    EXPECT_FALSE(ModePasAPas);
    EXPECT_EQ(PosPas[0], 1600);

    // "Arrêt bloc" pressed during the first block, Cycle in the wait.
    Programme({ "G1 X5 F600", "G1 X6" });
    vue.script = { [] { BitBtnCycleClick(); } };
    vue.attentes = 0;
    CycleEnCours = false;
    StopFinBloc = true;
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(vue.attentes, 1);
}

TEST_F(Cycle, InTheOperatorsWaitsAStopBeginsNoOtherBlockAndNeitherRazNorAPresetFreesTheMachine)
{
    const struct {
        bool pasAPas;
        const char* premier;
        int32_t x;
    } cas[] = { { true, "G1 X1 F600", 400 }, { false, "G1 X3 F600", 1200 } };
    for (const auto& c : cas) {
        Programme({ c.premier, "M3 G1 X9 (DEUX)" });
        // A preset field opened before the run, confirmed during it.
        StaticTextXClick();
        Form1.EditX.Texte = "47";
        bool libre = true;
        vue.script = { [&] {
            PresetX();
            MesRazClick();
            libre = Form1.XPlus.Actif || Form1.GoXYZ.Actif || Form1.Raz_X.Actif || Form1.BitBtnCharger.Actif;
            BoutonArretClick();
        } };
        if (c.pasAPas) {
            BitBtnPasPasClick();
        } else {
            CycleEnCours = false;
            StopFinBloc = true;
            EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
        }
        EXPECT_FALSE(libre) << c.premier;
        EXPECT_EQ(PosPas[0], c.x) << c.premier;
        EXPECT_EQ(m->Position(0), c.x) << c.premier;
        EXPECT_EQ(Form1.StaticTextX.Texte, FormatFixe(c.x * ValPas[0], 8, 3)) << c.premier;
        EXPECT_EQ(Form1.EditLigneProg.Texte, c.premier);
        EXPECT_EQ(Form1.PanelInfo.Texte.find("DEUX"), std::string::npos) << c.premier;
        EXPECT_FALSE(BrocheEnMarche) << c.premier;
        EXPECT_EQ(Form1.MesEtat.Texte, TexteFinUrgence) << c.premier;
        // Released, the machine takes "Cycle" as a new run, not as the
        // step-by-step mode's.
        MesRazClick();
        BitBtnCycleClick();
        EXPECT_EQ(Form1.MesEtat.Texte, TexteCycleTermine) << c.premier;
        EXPECT_EQ(PosPas[0], 3600) << c.premier;
    }
}

TEST_F(Cycle, AFeedMoveThatOnlyTheToolOffsetsMakeIsRefusedBeforeAnyStep)
{
    IniOutil.EcrireReel("OUTIL(1)", "Jauge(0)", 4);
    ChargerOutils();
    Programme(Contour);
    ASSERT_EQ(CycleUsinage(), FinCycle::Normale);
    // From the contour's end the offset path reaches line 2 with a feed
    // move, before the program gives any F: the run refuses it rather than
    // step at full speed.
    m->Enregistrer(1000);
    EXPECT_EQ(CycleUsinage(), FinCycle::Refus);
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_TRUE(vue.messages.back().starts_with("Ligne 2 : déplacement en avance G1 sans vitesse"));
}

TEST_F(Cycle, RunControlFlagsFollowTheirSequencesWhenNoRunIsStarted)
{
    // After a continuous run CycleEnCours stays set.
    CycleEnCours = true;
    BitBtnPasPasClick();
    EXPECT_TRUE(ModePasAPas);
    EXPECT_FALSE(CycleEnCours);
    BitBtnPasPasClick();
    EXPECT_TRUE(PasSuivant);
    BitBtnCycleClick();
    EXPECT_FALSE(ModePasAPas);
    EXPECT_TRUE(CycleEnCours);
    BitBtnBlocClick();
    EXPECT_TRUE(StopFinBloc);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteStopFinBloc);
    BitBtnBlocClick(); // no continuous run requested: nothing
    EXPECT_EQ(Historique("STOP FIN BLOC demandé par bouton fenetre principale."), 1);
    BitBtnCycleClick();
    EXPECT_FALSE(StopFinBloc);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteCycleLance);

    // RAZ with the machine's stop input still active stops again.
    BoutonArretClick();
    EXPECT_EQ(Form1.BoutonArretTag, 1);
    EXPECT_FALSE(Form1.BoutonArret.Actif);
    m->DefinirArretUrgence(true);
    MesRazClick();
    EXPECT_TRUE(ArretUrgence);
    EXPECT_EQ(Arrets(), 1);
    EXPECT_EQ(Form1.BoutonArretTag, 0);
}

TEST_F(Cycle, AToolChangeToT0NamesNothingAndASecondRunRewritesTheTraces)
{
    IniOutil.EcrireChaine("OUTIL(2)", "Designation", "Foret 3");
    ChargerOutils();
    Programme({ "T2 G1 X1 F600", "T0 G1 X2" });
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    const std::string premiere = LireTout(Fichier(NomFichierParcours));
    // The block that moves nowhere still says its tool and draws its marker.
    Programme({ "T2 G1 X2 F600" });
    vue.dessins.clear();
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(std::count(vue.dessins.begin(), vue.dessins.end(), 3), 1);
    EXPECT_NE(LireTout(Fichier(NomFichierParcours)), premiere);
    EXPECT_EQ(LireTout(Fichier(NomFichierParcours)), TexteTrace(TabProgCorr, NbLignesCorr));
    // "Foret 3" was shown at the T2 block; the T0 block shows no name.
    Programme({ "T2 G1 X1 F600", "T0 G1 X3" });
    std::vector<std::string> etats;
    struct Vue : VueEnregistreuse {
        std::vector<std::string>* etats;
        void Repeindre(const std::string& c) override
        {
            if (c == "MesEtat")
                etats->push_back(Form1.MesEtat.Texte);
        }
    } vueEtats;
    vueEtats.etats = &etats;
    DefinirVue(&vueEtats);
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    DefinirVue(&vue);
    EXPECT_EQ(etats, (std::vector<std::string> { "Foret 3", TexteCycleTermine }));
}
