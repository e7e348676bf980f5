#include "foundation/cn_historique.h"
#include "foundation/file_evenements.h"
#include "foundation/partage.h"
#include "foundation/vue.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FilMachine : public AvecConfiguration { };

} // namespace

TEST_F(FilMachine, TheWindowStaysAliveDuringALongHandlerThatActionsReachOnlyAtItsMessagePoints)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    std::atomic<bool> enCours { false }, auPoint { false }, termine { false };
    std::atomic<int> executeeAuPoint { -1 };
    f.Poster([&] {
        enCours = true;
        PublierVisue(0, 12.345);
        for (int i = 0; i < 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            auPoint = true;
            VueActive().TraiterMessages();
            auPoint = false;
        }
        enCours = false;
        termine = true;
    });
    ASSERT_TRUE(AttendreQue([&] { return enCours.load(); }));

    // A window timer keeps ticking while the machine thread is busy (its
    // regularity depends on the machine's load: not asserted).
    int topsPendant = 0;
    QTimer minuterie;
    QObject::connect(&minuterie, &QTimer::timeout, [&] {
        if (enCours)
            ++topsPendant;
    });
    minuterie.start(10);
    AttendreQue([&] { return topsPendant >= 5; }, 1000);
    f.Poster([&] { executeeAuPoint = auPoint ? 1 : 0; });
    const auto* visue = f.findChild<QLabel*>("StaticTextX");
    ASSERT_TRUE(visue);
    EXPECT_TRUE(AttendreQue([&] { return visue->text() == "  12.345"; }, 1000));
    EXPECT_TRUE(AttendreQue([&] { return termine.load(); }, 5000));
    minuterie.stop();
    EXPECT_GE(topsPendant, 5);
    f.AttendreMachine();
    EXPECT_EQ(executeeAuPoint, 1);
}

TEST_F(FilMachine, KeysAndTheMouseButtonReadReleasedOnceTheApplicationLosesTheFocus)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    for (int cle : { Qt::Key_F1, Qt::Key_Left, Qt::Key_Escape }) {
        QKeyEvent appui(QEvent::KeyPress, cle, Qt::NoModifier);
        QApplication::sendEvent(&f, &appui);
    }
    QMouseEvent clic(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QApplication::sendEvent(&f, &clic);
    EXPECT_TRUE(Entrees().ToucheEnfoncee(Touche::F1));
    EXPECT_TRUE(Entrees().ToucheEnfoncee(Touche::Gauche));
    EXPECT_TRUE(Entrees().ToucheEnfoncee(Touche::Echap));
    EXPECT_TRUE(Entrees().BoutonEnfonce(BoutonSouris::Gauche));
    QKeyEvent relache(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&f, &relache);
    EXPECT_FALSE(Entrees().ToucheEnfoncee(Touche::Gauche));

    QApplicationStateChangeEvent perte(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &perte);
    for (Touche t : { Touche::Gauche, Touche::Droite, Touche::Haut, Touche::Bas, Touche::PagePrecedente,
             Touche::PageSuivante, Touche::F1, Touche::F2, Touche::Echap })
        EXPECT_FALSE(Entrees().ToucheEnfoncee(t)) << static_cast<int>(t);
    EXPECT_FALSE(Entrees().BoutonEnfonce(BoutonSouris::Gauche));
}

TEST_F(FilMachine, AnOlderCopyDoesNotUndoWhatTheOperatorTypedMeanwhile)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    auto* champ = f.findChild<QLineEdit*>("EditGoX");
    ASSERT_TRUE(champ);
    // The machine is busy; the operator types; a copy made before the typing
    // arrives afterwards.
    std::atomic<bool> libere { false };
    f.Poster([&] {
        while (!libere)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    champ->setText("");
    champ->insert("12.5");
    QApplication::processEvents();
    EXPECT_EQ(champ->text(), "12.5");
    libere = true;
    f.AttendreMachine();
    EXPECT_EQ(champ->text(), "12.5");
    EXPECT_EQ(f.Etat().Form1.EditGoX.Texte, "12.5");
}

TEST_F(FilMachine, ASignalDuringAStartUpWarningClosesTheBoxAndShutsDownNormally)
{
    // A binary configuration file is set aside at start-up, with a warning box.
    EcrireTout(Fichier("CncParam.Ini"), std::string("[AXES]\0\x01\x02", 10));
    const pid_t pid = LancerVirmak(dossier);
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 200 && !std::filesystem::exists(Fichier("CncParam.Ini.illisible")); ++i)
        ::usleep(50000);
    ::usleep(300000);
    ::kill(pid, SIGTERM);
    int statut = 0;
    for (int i = 0; i < 200 && ::waitpid(pid, &statut, WNOHANG) == 0; ++i)
        ::usleep(50000);
    if (::waitpid(pid, &statut, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &statut, 0);
        FAIL() << "the program did not stop";
    }
    EXPECT_TRUE(WIFEXITED(statut));
    EXPECT_EQ(WEXITSTATUS(statut), 0);
    const std::string historique = LireTout(Fichier("Virmak.His"));
    EXPECT_NE(historique.find(BanniereLancement), std::string::npos);
    EXPECT_NE(historique.find(BanniereArret), std::string::npos);
}
