// The window follows a long run on the virtual machine and the virtual
// clock: it never has more than one copy of the models to draw, the machine
// never waits for it, and at the end it shows the last block.

#include "foundation/file_evenements.h"
#include "machine/choix_port.h"
#include "pupitre/programme.h"
#include "support/support.h"
#include "ui/apercu.h"
#include "ui/support_ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace virmak;
using namespace virmak::test;

namespace {

constexpr int NbBlocs = 3000;

class Suivi : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        EcrireTout(Fichier("CncParam.Ini"),
            "[PORT]\r\nPortLPT=1\r\n[BOOLEAN]\r\nAvertOK=1\r\nSimulation=0\r\nDebogage=0\r\n");
        MachineVirtuelleDemandee = true;
        std::string texte;
        for (int i = 0; i < NbBlocs; ++i)
            texte += (i % 2 ? "G1 X0 (RETOUR " : "G1 X0.1 F600 (ALLER ") + std::to_string(i) + ")\r\n";
        EcrireTout(Fichier("long.iso"), texte);
    }

    // Loaded and started by its button, as an operator does.
    void Lancer(TForm1& f)
    {
        SurMachine(f, [chemin = Fichier("long.iso")] { ChargerProgramme(chemin); });
        auto* cycle = f.findChild<QPushButton*>("BitBtnCycle");
        ASSERT_TRUE(cycle && cycle->isEnabled());
        cycle->click();
    }

    static void VerifierDernierBloc(TForm1& f)
    {
        EXPECT_TRUE(AttendreQue([&] { return f.findChild<QLabel*>("MesEtat")->text() == "Cycle terminé."; }));
        const auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
        EXPECT_EQ(liste->currentRow(), NbBlocs - 1);
        EXPECT_EQ(f.findChild<QLineEdit*>("EditLigneProg")->text().toStdString(),
            "G1 X0 (RETOUR " + std::to_string(NbBlocs - 1) + ")");
        // The preview shows the tool marker of the last block.
        EXPECT_EQ(f.findChild<ImageApercu*>("ImageProg")->Bitmaps().CoucheMontree(), 3);
    }
};

} // namespace

TEST_F(Suivi, TheWindowNeverHasMoreThanOneCopyToDrawAndEndsOnTheLastBlock)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    // Sampled far more often than the window draws.
    int attentesMaxi = 0, vivantesMaxi = 0;
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        attentesMaxi = std::max(attentesMaxi, f.VueDuFil().EnAttente());
        vivantesMaxi = std::max(vivantesMaxi, VueMachine::Vivantes());
    });
    sonde.start(1);
    Lancer(f);
    VerifierDernierBloc(f);
    sonde.stop();
    EXPECT_LE(attentesMaxi, 1);
    // The one shown, the one waiting, one being made in its place.
    EXPECT_LE(vivantesMaxi, 3);
}

TEST_F(Suivi, TheMachineRunsToTheEndWhileTheWindowDrawsNothingThenTheWindowCatchesUpAtOnce)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Lancer(f);
    // The window thread now answers nothing until the run is over.
    std::atomic<bool> fini { false };
    std::function<void()> guetter = [&] {
        if (FileMachine().Profondeur() > 1)
            FileMachine().Poster(guetter); // inside the run: again after it
        else
            fini = true;
    };
    FileMachine().Poster(guetter);
    for (int i = 0; i < 6000 && !fini; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fini);
    EXPECT_LE(f.VueDuFil().EnAttente(), 1);
    EXPECT_LE(VueMachine::Vivantes(), 2);
    VerifierDernierBloc(f);
}
