// The stops go from the window's own events to the machine at once: no
// step follows them, wherever the machine is.

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "pupitre/duree_programme.h"
#include "support/support.h"
#include "ui/calcul_duree.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

void Souris(QWidget* w, QEvent::Type type, Qt::MouseButton bouton, QPointF p = { -1, -1 })
{
    if (p.x() < 0)
        p = QPointF(w->width() / 2.0, w->height() / 2.0);
    const Qt::MouseButtons tenus
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(bouton);
    QMouseEvent e(
        type, p, w->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : bouton, tenus, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Echap(QWidget* w)
{
    for (QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
        QKeyEvent e(type, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

class ArretFenetre : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        std::string ini = "[PORT]\r\nPortLPT=1\r\n[SORTIES]\r\nOutEnable=127\r\n";
        for (int slot = 0; slot < 7; ++slot)
            ini += "CBOutItem(" + std::to_string(slot) + ")=" + std::to_string(slot + 1) + "\r\n";
        EcrireTout(Fichier("CncParam.Ini"), ini + "[BOOLEAN]\r\nSimulation=0\r\nDebogage=0\r\nAvertOK=1\r\n");
        MachineVirtuelleDemandee = true;
        DefinirPlateforme(&fenetre);
    }
    void TearDown() override
    {
        fenetre.pendantAttente = nullptr;
        AvecConfiguration::TearDown();
    }
    // Runs `action` on the window thread from the machine's wait that passes
    // `t` virtual seconds from now, and the machine waits for it. Returns
    // that instant.
    int64_t Pendant(TForm1& f, double t, std::function<void()> action)
    {
        const auto instant
            = fenetre.maintenant + static_cast<int64_t>(t * static_cast<double>(fenetre.frequence));
        fenetre.pendantAttente = [&f, instant, action, fait = false](int64_t, int64_t fin) mutable {
            if (fin < instant || fait)
                return;
            fait = true;
            QMetaObject::invokeMethod(&f, action, Qt::BlockingQueuedConnection);
        };
        return instant;
    }
    // Stop released, axes at 0, the program given, the record emptied.
    MachineVirtuelle* Preparer(TForm1& f, std::vector<std::string> programme)
    {
        fenetre.pendantAttente = nullptr;
        SurMachine(f, [programme] {
            MesRazClick();
            ModePasAPas = StopFinBloc = false;
            Form1.ListBoxProg1.Lignes = programme;
            ProgAnalyse = false;
            Form1.BitBtnCycle.Actif = Form1.BitBtnPasPas.Actif = true;
            for (int i = 0; i < 3; ++i) {
                MachineVirtuelleActive()->DefinirPosition(i, 0);
                PosPas[i] = 0;
                AfficherAxe(i);
            }
            MachineVirtuelleActive()->Enregistrer(100000);
        });
        return MachineVirtuelleActive();
    }
    QPushButton* Bouton(TForm1& f, const char* nom) { return f.findChild<QPushButton*>(nom); }
    // The run started as the operator would, and followed to its end.
    void Lancer(TForm1& f, const char* bouton)
    {
        Souris(Bouton(f, bouton), QEvent::MouseButtonPress, Qt::LeftButton);
        Souris(Bouton(f, bouton), QEvent::MouseButtonRelease, Qt::LeftButton);
    }
    bool Fini(TForm1& f) { return f.Etat().Form1.MesEtat.Texte == TexteFinUrgence; }

    HorlogeFenetre fenetre;
};

} // namespace

TEST_F(ArretFenetre, AShortClickATapOrASecondPressStopASlowMoveBeforeItsNextStep)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    f.AttendreMachine();
    QPushButton* urgence = Bouton(f, "BoutonArret");
    const struct {
        const char* quoi;
        std::function<void()> action;
    } cas[] = {
        // Pressed and released between two steps: shorter than one step period.
        { "clic bref",
            [&] {
                Souris(urgence, QEvent::MouseButtonPress, Qt::LeftButton);
                Souris(urgence, QEvent::MouseButtonRelease, Qt::LeftButton);
            } },
        { "clic droit", [&] { Souris(urgence, QEvent::MouseButtonPress, Qt::RightButton); } },
        { "tape d'Échap", [&] { Echap(Bouton(f, "XPlus")); } },
        { "deux clics",
            [&] {
                for (int i = 0; i < 2; ++i) {
                    Souris(urgence, QEvent::MouseButtonPress, Qt::LeftButton);
                    Souris(urgence, QEvent::MouseButtonRelease, Qt::LeftButton);
                }
            } },
    };
    for (const auto& c : cas) {
        // One step every 150 ms.
        MachineVirtuelle* m = Preparer(f, { "M3 G1 X10 F1" });
        const int64_t appui = Pendant(f, 1.0, c.action);
        Lancer(f, "BitBtnCycle");
        ASSERT_TRUE(AttendreQue([&] { return Fini(f); })) << c.quoi;
        f.AttendreMachine();
        const std::vector<PasVirtuel> pas = m->Pas();
        ASSERT_FALSE(pas.empty()) << c.quoi;
        EXPECT_LE(pas.back().instant, appui + fenetre.frequence / 500) << c.quoi;
        int32_t x = 0, tag = 0;
        bool arret = false;
        SurMachine(f, [&] {
            x = PosPas[0];
            tag = Form1.BoutonArretTag;
            arret = ArretUrgence;
        });
        EXPECT_EQ(x, m->Position(0)) << c.quoi;
        EXPECT_EQ(tag, 1) << c.quoi;
        EXPECT_TRUE(arret) << c.quoi;
        EXPECT_FALSE(f.Etat().Form1.LedBroche.Allume) << c.quoi;
        EXPECT_EQ(m->LatchA() & 0x40, 0) << c.quoi;
    }
}

TEST_F(ArretFenetre, APressInTheDwellTheM0BoxOrTheStepWaitEndsTheRunWithTheSpindleAtRest)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    f.AttendreMachine();
    QPushButton* urgence = Bouton(f, "BoutonArret");
    const auto appui = [urgence] { Souris(urgence, QEvent::MouseButtonPress, Qt::LeftButton); };
    const auto boite = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
    const auto boiteM0 = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w);
                b && b->isVisible() && b->text() == TexteArretProgramme)
                return b;
        return static_cast<QMessageBox*>(nullptr);
    };
    const struct {
        const char* ou;
        std::vector<std::string> programme;
        const char* bouton;
        std::function<bool()> pret; // when to press, outside the virtual clock
        std::function<void()> action;
        int64_t z;
    } cas[] = {
        { "temporisation", { "M3 G1 X1 F600", "G82 X1 Z-1 R0 P600000 F600" }, "BitBtnCycle", nullptr, appui,
            -400 },
        { "boîte de M0", { "M3 G1 X1 F600", "M0", "G1 X2" }, "BitBtnCycle",
            [&] { return boiteM0() != nullptr; }, appui, 0 },
        { "Échap dans la boîte de M0", { "M3 G1 X1 F600", "M0", "G1 X2" }, "BitBtnCycle",
            [&] { return boiteM0() != nullptr; }, [&] { Echap(boiteM0()); }, 0 },
        { "attente du pas à pas", { "M3 G1 X1 F600", "G1 X2" }, "BitBtnPasPas",
            [&] { return f.Etat().Form1.MesEtat.Texte == TexteAttentePasAPas; }, appui, 0 },
    };
    for (const auto& c : cas) {
        MachineVirtuelle* m = Preparer(f, c.programme);
        if (!c.pret)
            Pendant(f, 60, c.action);
        Lancer(f, c.bouton);
        if (c.pret) {
            ASSERT_TRUE(AttendreQue(c.pret)) << c.ou;
            if (QMessageBox* b = boiteM0()) {
                EXPECT_EQ(b->windowModality(), Qt::NonModal) << c.ou; // URGENCE stays within reach
            }
            c.action();
        }
        ASSERT_TRUE(AttendreQue([&] { return Fini(f); })) << c.ou;
        f.AttendreMachine();
        EXPECT_EQ(m->Position(0), 400) << c.ou;
        EXPECT_EQ(m->Position(2), c.z) << c.ou;
        EXPECT_EQ(boiteM0(), nullptr) << c.ou;
        EXPECT_EQ(boite(), nullptr) << c.ou;
        EXPECT_FALSE(f.Etat().Form1.LedBroche.Allume) << c.ou;
        EXPECT_EQ(m->LatchA() & 0x40, 0) << c.ou;
    }
}

TEST_F(ArretFenetre, AJogHeldOnAButtonStopsWhenThePointerLeavesIt)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    f.AttendreMachine();
    MachineVirtuelle* m = Preparer(f, {});
    QPushButton* xPlus = Bouton(f, "XPlus");
    const int64_t sortie = Pendant(f, 0.5, [xPlus] {
        Souris(
            xPlus, QEvent::MouseMove, Qt::LeftButton, QPointF(xPlus->width() + 20.0, xPlus->height() / 2.0));
    });
    Souris(xPlus, QEvent::MouseButtonPress, Qt::LeftButton);
    f.AttendreMachine();
    const std::vector<PasVirtuel> pas = m->Pas();
    ASSERT_GT(pas.size(), 1u);
    EXPECT_LE(pas.back().instant, sortie + fenetre.frequence / 100);
    Souris(xPlus, QEvent::MouseButtonRelease, Qt::LeftButton);
}

// Pause: the block ends, Z goes up to the program's highest Z with the
// spindle at rest, nothing else moves; Cycle starts the spindle, brings Z
// back down and the run ends where the full run ends.
TEST_F(ArretFenetre, PauseLiftsTheToolWithTheSpindleAtRestAndCycleBringsItBack)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    f.AttendreMachine();
    MachineVirtuelle* m = Preparer(f, { "M3 G1 X1 Z-1 F600", "G1 X2", "G1 X3" });
    SurMachine(f, [] { Form1.BitBtnPause.Actif = true; });
    Pendant(f, 0.05, [&] { Souris(Bouton(f, "BitBtnPause"), QEvent::MouseButtonPress, Qt::LeftButton); });
    Lancer(f, "BitBtnCycle");
    // The machine waits in the pause: the lift is made before its text.
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteAttentePause; }));
    EXPECT_EQ(m->Position(2), 0);
    EXPECT_LT(m->Position(0), 1200);
    EXPECT_FALSE(f.Etat().Form1.LedBroche.Allume);
    EXPECT_EQ(m->LatchA() & 0x40, 0);
    Lancer(f, "BitBtnCycle");
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteCycleTermine; }));
    f.AttendreMachine();
    EXPECT_EQ(m->Position(0), 1200);
    EXPECT_EQ(m->Position(2), -400);
    EXPECT_NE(m->LatchA() & 0x40, 0);
    // No X step between the lift and the tool back at its depth.
    int64_t z = 0;
    bool leve = false;
    for (const PasVirtuel& p : m->Pas()) {
        z += p.axe == 2 ? p.sens : 0;
        leve = leve || (p.axe == 2 && p.sens > 0);
        if (leve && z != -400) {
            EXPECT_NE(p.axe, 0) << "X pendant la pause, Z à " << z;
        }
    }
    EXPECT_TRUE(leve);
}

// "Démarrer à ce bloc" from the list's menu: the approach is shown, then
// Z goes up before X and Y move, and the run ends where the full run ends.
TEST_F(ArretFenetre, StartingAtABlockFromTheMenuShowsTheApproachAndRisesBeforeMoving)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    f.AttendreMachine();
    MachineVirtuelle* m = Preparer(f, { "G0 X1", "G0 X2 Z1", "G1 X3 F600" });
    SurMachine(f, [] { Form1.ListBoxProg1.Selection = 2; });
    QAction* demarrer = nullptr;
    for (QAction* a : f.findChild<QMenu*>("PopupMenu1")->actions())
        if (a->text() == "Démarrer à ce bloc")
            demarrer = a;
    ASSERT_NE(demarrer, nullptr);
    demarrer->trigger();
    QMessageBox* approche = nullptr;
    ASSERT_TRUE(AttendreQue([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                approche = b;
        return approche != nullptr;
    }));
    EXPECT_TRUE(approche->text().startsWith("Approche avant la ligne 3 : Z monte à 1.000"))
        << approche->text().toStdString();
    approche->accept();
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteCycleTermine; }));
    f.AttendreMachine();
    EXPECT_EQ(m->Position(0), 1200);
    EXPECT_EQ(m->Position(2), 400);
    int64_t z = 0;
    for (const PasVirtuel& p : m->Pas()) {
        z += p.axe == 2 ? p.sens : 0;
        if (p.axe == 0) {
            EXPECT_EQ(z, 400);
        }
    }
}

TEST_F(ArretFenetre, TheProgramGroupShowsTheTimeFromVirmakCliCountsItDownInARunAndDropsItOnAnEdit)
{
    TForm1 f;
    f.CalculDeDuree().DefinirProgramme(VIRMAK_CLI);
    f.show();
    f.AttendreMachine();
    auto* duree = f.findChild<QLabel*>("LabelDureeProg");
    ASSERT_NE(duree, nullptr);
    const auto texte = [&] {
        f.Rattraper();
        return duree->text().toStdString();
    };
    // 10 mm at 60 mm/min, twice.
    MachineVirtuelle* m = Preparer(f, { "G1 X10 F60", "G1 X20" });
    ASSERT_TRUE(AttendreQue([&] { return texte().starts_with("Durée : "); }, 20000)) << texte();
    const DureeProgramme d = f.CalculDeDuree().Duree();
    ASSERT_EQ(d.FinBloc.size(), 3u);
    EXPECT_NEAR(d.FinBloc[1], 10, 0.5);
    EXPECT_NEAR(d.Totale, 20, 1);
    EXPECT_EQ(texte(), "Durée : " + TexteDuree(d.Totale));

    // In the second block, the first one's time is gone from it.
    std::string pendant;
    Pendant(f, 15, [&] { pendant = texte(); });
    Lancer(f, "BitBtnCycle");
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteCycleTermine; }, 20000));
    EXPECT_EQ(pendant, "Reste : " + TexteDuree(d.Totale - d.FinBloc[1]));
    EXPECT_EQ(m->Position(0), 20 * static_cast<int64_t>(std::lround(1 / ValPas[0])));
    EXPECT_EQ(texte(), "Durée : " + TexteDuree(d.Totale));

    // Time spent in the step-by-step wait is no progress. (A continuous run
    // that ended leaves CycleEnCours set: "Pas à Pas" would start nothing.)
    Preparer(f, { "G1 X1 F60", "G1 X4" });
    SurMachine(f, [] { CycleEnCours = false; });
    ASSERT_TRUE(AttendreQue(
        [&] { return f.CalculDeDuree().Duree().FinBloc.size() == 3 && f.CalculDeDuree().Duree().Totale < 5; },
        20000));
    const DureeProgramme court = f.CalculDeDuree().Duree();
    Lancer(f, "BitBtnPasPas");
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteAttentePasAPas; }, 20000));
    QElapsedTimer attente;
    attente.start();
    AttendreQue([&] { return attente.elapsed() > 1500; });
    EXPECT_EQ(texte(), "Reste : " + TexteDuree(court.Totale - court.FinBloc[1]));
    Lancer(f, "BitBtnCycle");
    ASSERT_TRUE(AttendreQue([&] { return f.Etat().Form1.MesEtat.Texte == TexteCycleTermine; }, 20000));

    // An edited list is timed again: half the length, half the time.
    SurMachine(f, [] { Form1.ListBoxProg1.Lignes = std::vector<std::string> { "G1 X10 F60" }; });
    ASSERT_TRUE(AttendreQue([&] { return f.CalculDeDuree().Duree().FinBloc.size() == 2; }, 20000));
    EXPECT_EQ(texte(), "Durée : " + TexteDuree(f.CalculDeDuree().Duree().Totale));
    EXPECT_NEAR(f.CalculDeDuree().Duree().Totale, d.FinBloc[1], 0.5);
}
