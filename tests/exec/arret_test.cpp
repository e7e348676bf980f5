// Every stop reaches the machine before its next step, wherever it waits,
// and leaves the spindle at rest.

#include "apercu/cn_dessins.h"
#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "exec/manuel.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/cn_algos.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Arret : public AvecMachineCablee {
protected:
    void Programme(std::vector<std::string> lignes)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = ParcoursCalcule = false;
    }
    // The instant of the last step decoded, in ticks (-1: none).
    int64_t DernierPas() const { return m->Pas().empty() ? -1 : m->Pas().back().instant; }
    // Back to rest between cases: stop released, axes at 0, a new record.
    void Remettre()
    {
        horloge.pendantAttente = nullptr;
        m->DefinirArretUrgence(false);
        MesRazClick();
        ModePasAPas = StopFinBloc = false;
        vue.script.clear();
        vue.pendantBoite = nullptr;
        for (int i = 0; i < 3; ++i) {
            m->DefinirPosition(i, 0);
            PosPas[i] = 0;
            AfficherAxe(i);
        }
        m->Enregistrer(100000);
        FormHist.ListBoxHist.Vider();
    }
};

} // namespace

TEST_F(Arret, APressOfUrgenceStopsTheRunBeforeItsNextStepWhereverTheMachineWaits)
{
    const auto appui = [] { Entrees().DemanderUrgence(); };
    const struct {
        const char* ou;
        std::vector<std::string> programme;
        double t; // virtual seconds; < 0: pressed in the operator's wait
        bool pasAPas;
        int64_t z; // Z steps at the end: the retract of a stopped dwell never comes
    } cas[] = {
        // One step every 150 ms.
        { "entre deux pas", { "M3 G1 X10 F1" }, 1.0, false, 0 },
        { "pendant la temporisation", { "M3 G1 X1 F600", "G82 X1 Z-1 R0 P600000 F600" }, 60, false, -400 },
        { "dans l'attente du pas à pas", { "M3 G1 X1 F600", "G1 X2" }, -1, true, 0 },
        { "dans l'attente après le dernier bloc", { "M3 G1 X1 F600" }, -1, true, 0 },
        { "devant la boîte de M0", { "M3 G1 X1 F600", "M0", "G1 X2" }, -1, false, 0 },
    };
    for (const auto& c : cas) {
        Remettre();
        Programme(c.programme);
        if (c.t >= 0)
            Pendant(c.t, appui);
        vue.script = { appui };
        vue.pendantBoite = appui;
        const auto avant = static_cast<int64_t>((c.t < 0 ? 0 : c.t) * static_cast<double>(horloge.frequence));
        if (c.pasAPas)
            BitBtnPasPasClick();
        else
            EXPECT_EQ(CycleUsinage(), FinCycle::Urgence) << c.ou;
        EXPECT_EQ(Form1.MesEtat.Texte, TexteFinUrgence) << c.ou;
        EXPECT_EQ(Form1.BoutonArretTag, 1) << c.ou;
        if (c.t >= 0) {
            EXPECT_LE(DernierPas(), avant + horloge.frequence / 500) << c.ou;
            EXPECT_LE(horloge.maintenant, avant + horloge.frequence / 100) << c.ou; // the wait ended at once
        } else
            EXPECT_EQ(PosPas[0], 400) << c.ou; // the first block only
        EXPECT_EQ(m->Position(0), PosPas[0]) << c.ou;
        EXPECT_EQ(m->Position(2), c.z) << c.ou;
        EXPECT_FALSE(BrocheEnMarche) << c.ou;
        EXPECT_EQ(m->LatchA() & MasqueBroche, 0) << c.ou;
        EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 0) << c.ou;
    }
    // A second press while engaged changes nothing; only RAZ releases.
    appui();
    BoutonArretClick();
    EXPECT_TRUE(ArretUrgence);
    EXPECT_EQ(Form1.BoutonArretTag, 1);
    MesRazClick();
    EXPECT_FALSE(ArretUrgence);
    EXPECT_FALSE(Entrees().PrendreUrgence());
}

TEST_F(Arret, TheMachinesInputOrALimitEndsARunAJogOrAGoToWithTheSpindleAtRestAndALine)
{
    const auto urgence = [this] { m->DefinirArretUrgence(true); };
    // The emergency input during a move of a run, and in the step wait.
    for (bool attente : { false, true }) {
        Remettre();
        Programme({ "M3 G1 X10 F600", "G1 X20" });
        if (attente) {
            vue.script = { urgence };
            BitBtnPasPasClick();
        } else {
            Pendant(0.5, urgence);
            EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
            EXPECT_LE(DernierPas(), horloge.frequence / 2 + horloge.frequence / 500);
        }
        EXPECT_EQ(Form1.MesEtat.Texte, TexteFinUrgence) << attente;
        EXPECT_EQ(PosPas[0], attente ? 4000 : m->Position(0)) << attente;
        EXPECT_EQ(Historique(TexteArretMachine), 1) << attente;
        EXPECT_TRUE(Form1.LedArret.Allume);
        EXPECT_FALSE(BrocheEnMarche || Form1.LedBroche.Allume) << attente;
        EXPECT_EQ(m->LatchA() & MasqueBroche, 0) << attente;
        EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 0) << attente;
    }

    // A jog into a limit switch with the spindle running.
    Remettre();
    BtBrocheClick();
    ASSERT_TRUE(BrocheEnMarche);
    m->DefinirCourse(0, 100);
    Form1.CmbIncrement.Lignes = { "Continu", "1 mm" };
    Form1.CmbIncrement.Selection = 1;
    ValIncrement[1] = 1;
    XPlusMouseDown();
    EXPECT_TRUE(ButeeActivee);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteButeeActivee);
    EXPECT_EQ(m->Position(0), 101);
    EXPECT_EQ(Historique("butée X activée, mouvement arrêté."), 1);
    EXPECT_FALSE(BrocheEnMarche || Form1.LedBroche.Allume);
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    EXPECT_TRUE(Form1.LedButeeX.Allume);
    // Held in continuous mode: the jog ends at the switch, the button still down.
    Remettre();
    Form1.CmbIncrement.Selection = 0;
    int lectures = 0;
    Jog(0, 1, [&] { return ++lectures < 1000000; });
    EXPECT_TRUE(ButeeActivee);
    EXPECT_EQ(m->Position(0), 101);
    EXPECT_LT(lectures, 200);

    // The emergency input during a go-to.
    Remettre();
    m->DefinirCourse(0, 0);
    BtBrocheClick();
    Form1.EditGoX.Texte = "50";
    Pendant(0.5, urgence);
    GoXYZClick();
    EXPECT_EQ(Form1.MesEtat.Texte, TexteArretDeclenche);
    EXPECT_FALSE(BrocheEnMarche);
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    EXPECT_EQ(Historique(TexteArretMachine), 1);
    EXPECT_LT(m->Position(0), 20000);

    // The emergency input during a ten-minute dwell ends it at once.
    Remettre();
    Programme({ "G82 X0 Z-1 R0 P600000 F600" });
    Pendant(60, urgence);
    EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
    EXPECT_LT(horloge.maintenant, 61 * horloge.frequence);

    // A limit reached during a backlash take-up ends it there.
    Remettre();
    m->DefinirCourse(0, 5);
    CompJeu[0] = true;
    NPasJ[0] = 20;
    SensAxe[0] = -1;
    Form1.EditGoX.Texte = "1";
    GoXYZClick();
    EXPECT_EQ(m->Position(0), 6);
    EXPECT_EQ(Historique("butée X activée, mouvement arrêté."), 1);
}

TEST_F(Arret, ALimitDuringADrillingCycleEndsTheRunWithoutItsRetract)
{
    m->DefinirCourse(2, 800); // 2 mm below zero
    SensAxe[2] = -1;
    Programme({ "G0 X1", "G81 X1 Z-5 R0 F600", "G0 X2" });
    EXPECT_EQ(CycleUsinage(), FinCycle::Butee);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteFinButee);
    EXPECT_EQ(m->Position(2), -801);
    EXPECT_EQ(m->Position(0), 400); // the last block never came
    EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 0);
}

TEST_F(Arret, NoAxisStepsFasterThanItsMaximumWhateverThePeriodOrTheOverride)
{
    AvMax[1] = 200;
    const auto ecartMini = [this](int axe) {
        int64_t precedent = -1, mini = INT64_MAX;
        for (const PasVirtuel& p : m->Pas()) {
            if (p.axe != axe)
                continue;
            if (precedent >= 0)
                mini = std::min(mini, p.instant - precedent);
            precedent = p.instant;
        }
        return mini;
    };
    // No period at all, as a move with no feed would have had.
    PeriodePas = 0;
    LigneXY(0, 50, 50);
    EXPECT_EQ(m->Position(0), 50);
    EXPECT_GE(ecartMini(0), TabPeriodes[200]);
    EXPECT_GE(ecartMini(1), TabPeriodes[200]);
    // At the axis's maximum, the override raised to 120 % during the move.
    m->Enregistrer(100000);
    PeriodePas = CalculPeriode(10, 0, 0, 6000);
    ASSERT_EQ(PeriodePas, TabPeriodes[1000]);
    Pendant(0.2, [] { Form1.TrackBarTAv.DefinirPosition(12); });
    vue.repeints.clear();
    LigneXY(0, 1000, 0);
    EXPECT_LT(PeriodePas, TabPeriodes[1000]);
    EXPECT_GE(ecartMini(0), TabPeriodes[1000]);
    EXPECT_NE(std::find(vue.repeints.begin(), vue.repeints.end(), "LabelTAv"), vue.repeints.end());
}

TEST_F(Arret, ARunAfterTheMachineMovedStartsFromWhereTheToolIsAndADwellIsNoLateStep)
{
    Programme({ "G0 Z1", "G1 X10 F600", "G82 X10 Z-1 R0 P250 F600" });
    DessinePiece();
    ASSERT_TRUE(ProgAnalyse);
    // Moved by hand after the analysis: the first block must not go back.
    Form1.CmbIncrement.Lignes = { "Continu", "5 mm" };
    Form1.CmbIncrement.Selection = 1;
    ValIncrement[1] = 5;
    XPlusMouseDown();
    ASSERT_EQ(PosPas[0], 2000);
    m->Enregistrer(100000);
    FormHist.ListBoxHist.Vider();
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    const std::vector<PasVirtuel> pas = m->Pas();
    EXPECT_EQ(std::count_if(pas.begin(), pas.end(), [](const PasVirtuel& p) { return p.axe == 0; }), 2000);
    EXPECT_EQ(m->Position(0), 4000);
    EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 1);
    for (const std::string& l : FormHist.ListBoxHist.Lignes)
        EXPECT_EQ(l.find("pas en retard"), std::string::npos) << l;
}

TEST_F(Arret, NoManualMoveStartsWithoutAFeed)
{
    Form1.TrackBarVitAv.DefinirPosition(0);
    ASSERT_EQ(AvanceCourante, 0);
    Form1.EditGoX.Texte = "5";
    for (auto* commande : { &XPlusMouseDown, &GoXYZClick, &XY_ZeroClick }) {
        Form1.MesEtat.Texte.clear();
        commande();
        EXPECT_EQ(Form1.MesEtat.Texte, TexteAvanceNulle);
    }
    EXPECT_TRUE(m->Pas().empty());
}

TEST_F(Arret, APortThatStopsAnsweringStopsTheMoveIsSaidOnceAndNoMoveStartsUntilItAnswers)
{
    const auto defauts = [this] {
        return std::count_if(vue.messages.begin(), vue.messages.end(), [](const std::string& t) {
            return t.find("machine virtuelle ne répond plus") != std::string::npos;
        });
    };
    Programme({ "M3 G1 X10 F600" });
    m->Tomber(600); // some 50 steps in
    EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
    EXPECT_GT(m->Position(0), 0);
    EXPECT_LT(m->Position(0), 100);
    EXPECT_LE(std::abs(PosPas[0] - m->Position(0)), 1);
    EXPECT_EQ(defauts(), 1);
    EXPECT_EQ(Historique(
                  "Arrêt : le port machine virtuelle ne répond plus (écriture des données : panne simulée)."),
        1);
    EXPECT_EQ(Historique("CYCLE TERMINE avec succès."), 0);
    EXPECT_FALSE(BrocheEnMarche);

    // Idle: a status read that fails is the emergency input; the failure
    // was said already.
    for (int tick = 0; tick < 3; ++tick) {
        ScruterEntrees();
        EXPECT_TRUE(ArretUrgence);
        EXPECT_TRUE(Form1.LedArret.Allume);
    }
    EXPECT_EQ(defauts(), 1);
    const int64_t x = m->Position(0);
    Form1.CmbIncrement.Selection = 0;
    XPlusMouseDown();
    EXPECT_EQ(m->Position(0), x);
    // It answers again: the monitor lets go, and a new failure is said again.
    m->Reparer();
    ScruterEntrees();
    EXPECT_FALSE(ArretUrgence);
    XPlusMouseDown();
    EXPECT_EQ(m->Position(0), x + 1);
    m->Tomber();
    ScruterEntrees();
    ScruterEntrees();
    EXPECT_EQ(defauts(), 2);
    EXPECT_EQ(Form1.MesEtat.Texte,
        "Arrêt : le port machine virtuelle ne répond plus (lecture des entrées : panne simulée).");
}
