#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "iso/traite_prog.h"
#include "pupitre/programme.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QToolTip>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FenetrePrincipale : public AvecConfiguration {
protected:
    std::string Param() const { return Fichier("CncParam.Ini"); }
};

QString Titre(QWidget& w, const char* nom)
{
    auto* g = w.findChild<QGroupBox*>(nom);
    return g ? g->title() : QString("(absent)");
}

} // namespace

TEST_F(FenetrePrincipale, ShowsTheEightGroupsWithTheirCaptions)
{
    TForm1 f;
    f.AttendreMachine();
    EXPECT_EQ(f.windowTitle(), "VIRMAK Version 2.03");
    EXPECT_EQ(Titre(f, "GroupeVisue"), "Coordonnées programme");
    EXPECT_EQ(Titre(f, "GroupBox3"), "Commandes manuelles");
    EXPECT_EQ(Titre(f, "GroupBox7"), "Vitesse d'avance");
    EXPECT_EQ(Titre(f, "GroupBox2"), "Etat  machine");
    EXPECT_EQ(Titre(f, "GroupBox6"), "Déplacements multiaxes manuels");
    EXPECT_EQ(Titre(f, "GroupBox1"), "Messages machine");
    EXPECT_EQ(Titre(f, "GroupBox4"), "Parcours outil");
    EXPECT_EQ(Titre(f, "GroupBox5"), "Programme : Aucun");
}

TEST_F(FenetrePrincipale, ControlsCarryTheirNamesAndStartUpState)
{
    TForm1 f;
    f.AttendreMachine();
    auto* avance = f.findChild<QSlider*>("TrackBarVitAv");
    ASSERT_TRUE(avance);
    EXPECT_EQ(avance->maximum(), 260);
    EXPECT_EQ(avance->tickInterval(), 26);
    auto* correction = f.findChild<QSlider*>("TrackBarTAv");
    ASSERT_TRUE(correction);
    EXPECT_EQ(correction->minimum(), 1);
    EXPECT_EQ(correction->maximum(), 12);
    EXPECT_EQ(correction->value(), 10);
    EXPECT_EQ(f.findChild<QLabel*>("LabelAvMax")->text(), "260");
    EXPECT_EQ(f.findChild<QLabel*>("StaticTextX")->text(), "   0.000");
    for (const char* nom : { "BitBtnCycle", "BitBtnPasPas", "BitBtnEnregistrer", "BitBtnBloc" }) {
        auto* b = f.findChild<QPushButton*>(nom);
        ASSERT_TRUE(b) << nom;
        EXPECT_FALSE(b->isEnabled()) << nom;
    }
    auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
    ASSERT_TRUE(liste);
    ASSERT_EQ(liste->count(), 3);
    EXPECT_EQ(liste->item(2)->text(), "Cliquez sur le bouton \"Charger\"");
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(f.findChild<QPushButton*>(QString("BtnAide%1").arg(n))) << n;
}

TEST_F(FenetrePrincipale, FitsA1024By768ScreenAndALongProgramNameOrCommentNeverWidensIt)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    // Layouts follow hidden and shown controls at their next request.
    const auto agencer = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); };
    agencer();
    if (PolicesDeLaFenetre()) {
        EXPECT_LE(f.minimumSizeHint().width(), 1000);
        EXPECT_LE(f.minimumSizeHint().height(), 700);
    }
    const QSize mini = f.centralWidget()->minimumSizeHint();
    const std::string chemin = dossier + std::string(120, 'p') + ".iso";
    EcrireTout(chemin, "G1 X10 F100 (" + std::string(200, 'c') + ")\r\n");
    SurMachine(f, [chemin] {
        ChargerProgramme(chemin);
        Form1.PanelInfo.Texte = " Com : " + std::string(200, 'c');
        Form1.MesEtat.Texte = std::string(200, 'm');
    });
    agencer();
    EXPECT_EQ(f.centralWidget()->minimumSizeHint(), mini);
    // The title is cut to the group and whole in its tooltip, above the
    // extents of the tool path.
    auto* groupe = f.findChild<QGroupBox*>("GroupBox5");
    EXPECT_LE(groupe->fontMetrics().horizontalAdvance(groupe->title()), groupe->width());
    const QStringList conseil = groupe->toolTip().split('\n');
    EXPECT_EQ(conseil.front().toStdString(), "Programme : " + NomPourAffichage(chemin));
    EXPECT_EQ(conseil.mid(1).join('\n').toStdString(),
        "Parcours du centre de l'outil :\nX de 0.000 à 10.000 mm,\nY de 0.000 à 0.000 mm,\nZ de 0.000 à "
        "0.000 mm");
    EXPECT_EQ(f.findChild<QLabel*>("PanelInfo")->toolTip().size(), 207);
}

TEST_F(FenetrePrincipale, AProgramLineCutByTheListShowsWholeInItsTooltipAndAShortOneHasNone)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    const std::string longue = "G1 X10 (" + std::string(300, 'c') + ")";
    SurMachine(f, [longue] { Form1.ListBoxProg1.Lignes = { "G1 X1", longue }; });
    auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
    ASSERT_EQ(liste->count(), 2);
    auto bulle = [&](int rang) {
        const QPoint p = liste->visualItemRect(liste->item(rang)).center();
        QHelpEvent aide(QEvent::ToolTip, p, liste->viewport()->mapToGlobal(p));
        QApplication::sendEvent(liste->viewport(), &aide);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    EXPECT_EQ(bulle(0), "");
    EXPECT_EQ(bulle(1), longue);
}

TEST_F(FenetrePrincipale, MovingTheOverrideSliderUpdatesTheModelAndLabel)
{
    TForm1 f;
    f.AttendreMachine();
    f.findChild<QSlider*>("TrackBarTAv")->setValue(5);
    f.AttendreMachine();
    EXPECT_EQ(CorrAvance, 5);
    EXPECT_EQ(f.findChild<QLabel*>("LabelTAv")->text(), " 50%");
}

TEST_F(FenetrePrincipale, QuitSavesTheParametersAndClosingWritesTheStopBanner)
{
    {
        TForm1 f;
        f.show();
        f.AttendreMachine();
        auto* quitter = f.findChild<QAction*>("Quitter1");
        ASSERT_TRUE(quitter);
        quitter->trigger();
        EXPECT_TRUE(AttendreQue([&] { return !f.isVisible(); }));
    }
    FichierIni lu;
    lu.Ouvrir(Param());
    EXPECT_TRUE(lu.CleExiste("FORM1", "Width"));
    EXPECT_EQ(lu.LireEntier("AXES", "LarCreneau", 0), 10);
    const std::string historique = LireTout(Fichier("Virmak.His"));
    EXPECT_NE(historique.find(BanniereLancement), std::string::npos);
    EXPECT_NE(historique.find(BanniereArret), std::string::npos);
}

TEST_F(FenetrePrincipale, TerminateSignalOrTheTerminalClosingClosesTheProgramLikeItsCloseBox)
{
    for (int signal : { SIGTERM, SIGHUP }) {
        std::filesystem::remove(Fichier("Virmak.His"));
        EcrireTout(Param(), "[BOOLEAN]\r\nAvertOK=1\r\n");
        const pid_t pid = LancerVirmak(dossier);
        ASSERT_GT(pid, 0);
        // Wait until the start-up has written the history banner, then ask it to stop.
        for (int i = 0;
             i < 200 && LireTout(Fichier("Virmak.His")).find(BanniereLancement) == std::string::npos; ++i)
            ::usleep(50000);
        ::kill(pid, signal);
        int statut = 0;
        ASSERT_EQ(::waitpid(pid, &statut, 0), pid);
        EXPECT_TRUE(WIFEXITED(statut)) << signal;
        EXPECT_EQ(WEXITSTATUS(statut), 0);
        FichierIni lu;
        lu.Ouvrir(Param());
        EXPECT_TRUE(lu.CleExiste("FORM1", "Top")) << signal;
        EXPECT_NE(LireTout(Fichier("Virmak.His")).find(BanniereArret), std::string::npos) << signal;
    }
}

TEST_F(FenetrePrincipale, AHelpButtonOpensThePageOfItsContextAndTheMenuEntryTheIndex)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    const auto pages = PagesAideOuvertes(f);
    f.findChild<QPushButton*>("BtnAide4")->click();
    f.Aide(0);
    ASSERT_EQ(pages->size(), 2u);
    const std::filesystem::path page(pages->at(0)), index(pages->at(1));
    EXPECT_EQ(page.filename(), "1004.html");
    EXPECT_TRUE(std::filesystem::is_regular_file(page)) << page;
    EXPECT_EQ(index.filename(), "index.html");
    EXPECT_EQ(index.parent_path(), page.parent_path());
}

TEST_F(FenetrePrincipale, AMissingHelpShowsOneMessageNamingThePage)
{
    EcrireTout(Param(), "[BOOLEAN]\r\nAvertOK=1\r\n[FICHIERS]\r\nNomAide=/nulle/part/aide.html\r\n");
    TForm1 f;
    f.show();
    f.AttendreMachine();
    const auto pages = PagesAideOuvertes(f);
    f.findChild<QPushButton*>("BtnAide2")->click();
    const auto boites = f.findChildren<QMessageBox*>();
    ASSERT_EQ(boites.size(), 1);
    EXPECT_EQ(boites[0]->text(), "Fichier d'aide introuvable : /nulle/part/1002.html.");
    EXPECT_TRUE(pages->empty());
    boites[0]->accept();
}

TEST_F(FenetrePrincipale, AMessageTooLongForItsLineEndsWithAnEllipsisAndShowsWholeInItsTooltip)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    auto* ligne = f.findChild<QLabel*>("MesEtat");
    const std::string longue = "Aller à : 'abc' n'est pas une coordonnée X correcte. " + std::string(80, 'x');
    SurMachine(f, [longue] { Form1.MesEtat.Texte = longue; });
    EXPECT_TRUE(ligne->text().endsWith(QChar(0x2026))) << ligne->text().toStdString();
    EXPECT_LE(ligne->fontMetrics().horizontalAdvance(ligne->text()), ligne->contentsRect().width());
    EXPECT_EQ(ligne->toolTip().toStdString(), longue);
    SurMachine(f, [] { Form1.MesEtat.Texte = "Cycle terminé."; });
    EXPECT_EQ(ligne->text(), "Cycle terminé.");
    EXPECT_EQ(ligne->toolTip(), "");
}

TEST_F(FenetrePrincipale, FORM1KeepsThePlaceAndSizeTheWindowHadWhenItClosed)
{
    // The size saved is below what the window needs: it opens larger.
    EcrireTout(
        Param(), "[BOOLEAN]\r\nAvertOK=1\r\n[FORM1]\r\nLeft=20\r\nTop=30\r\nWidth=300\r\nHeight=200\r\n");
    QRect vue;
    {
        TForm1 f;
        f.show();
        f.AttendreMachine();
        vue = f.geometry();
        EXPECT_GT(vue.width(), 300);
        f.close();
        EXPECT_TRUE(AttendreQue([&] { return !f.isVisible(); }));
    }
    FichierIni lu;
    lu.Ouvrir(Param());
    EXPECT_EQ(lu.LireEntier("FORM1", "Left", 0), vue.x());
    EXPECT_EQ(lu.LireEntier("FORM1", "Top", 0), vue.y());
    EXPECT_EQ(lu.LireEntier("FORM1", "Width", 0), vue.width());
    EXPECT_EQ(lu.LireEntier("FORM1", "Height", 0), vue.height());
}
