// The layout of the main window and of the parameters dialog, which the
// fonts decide: the test script runs these tests again under two font sets
// (VIRMAK_POLICES), DejaVu alone and DejaVu with the URW fonts.

#include "foundation/cn_varia.h"
#include "foundation/partage.h"
#include "pupitre/programme.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Agencement : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        if (!PolicesDeLaFenetre())
            GTEST_SKIP() << "DejaVu absente (fonts-dejavu-core) : la fenêtre n'a pas ses polices.";
        // Under a font set of the test script, its fonts must be the ones
        // in use; a machine without them cannot run that set.
        const char* jeu = std::getenv("VIRMAK_POLICES");
        if (!jeu)
            return;
        // Qt names it with its foundry when two folders hold it.
        const bool urw
            = !QFontDatabase::families().filter(QRegularExpression("^Nimbus Sans( \\[|$)")).isEmpty();
        const bool avecUrw = std::string(jeu) == "dejavu_urw";
        if (avecUrw && !urw)
            GTEST_SKIP() << "Polices URW absentes (fonts-urw-base35).";
        EXPECT_EQ(urw, avecUrw);
    }

    static void Agencer() { QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); }

    // Every named control of the window lies inside it, at least as large
    // as it asks to be (a control squeezed below that is cut).
    static void ToutSeVoit(QWidget& fenetre)
    {
        const QRect dedans = fenetre.rect();
        for (QWidget* w : fenetre.findChildren<QWidget*>()) {
            if (!w->isVisible() || w->isWindow() || w->objectName().isEmpty()
                || w->objectName().startsWith("qt_"))
                continue;
            const QRect place(w->mapTo(&fenetre, QPoint(0, 0)), w->size());
            EXPECT_TRUE(dedans.contains(place)) << w->objectName().toStdString();
            // The least the layout may give it: its own minimum when set.
            const QSize demande
                = w->minimumSize().expandedTo(QSize(w->minimumWidth() > 0 ? 0 : w->minimumSizeHint().width(),
                    w->minimumHeight() > 0 ? 0 : w->minimumSizeHint().height()));
            if (w->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
                EXPECT_GE(w->width(), demande.width()) << w->objectName().toStdString();
            }
            EXPECT_GE(w->height(), demande.height()) << w->objectName().toStdString();
        }
    }
};

} // namespace

TEST_F(Agencement, TheWholeWindowFitsA1024By768ScreenAndNeitherAProgramNorARunMakesItGrow)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Agencer();
    EXPECT_EQ(f.TaillePoliceAppliquee(), TForm1::TaillePolice);
    // Room for a frame, a title bar and a desktop's panel.
    const QSize mini = f.minimumSizeHint(), taille = f.size();
    EXPECT_LE(mini.width(), 1024 - 8);
    EXPECT_LE(mini.height(), 768 - 68);
    const std::string chemin = dossier + "p.iso";
    EcrireTout(chemin, "%\r\nG1 X10 F100\r\nG1 Y10\r\nM5\r\n");
    // Loaded, then as a run shows itself: gauge, label, comment, message.
    SurMachine(f, [chemin] {
        ChargerProgramme(chemin);
        Form1.GaugeProg.Max = 4;
        Form1.GaugeProg.Visible = true;
        Form1.LabelGaugeProg.Texte = "Exécution";
        Form1.PanelInfo.Texte = " Com : " + std::string(300, 'c');
        Form1.MesEtat.Texte = std::string(300, 'm');
    });
    Agencer();
    EXPECT_EQ(f.minimumSizeHint(), mini);
    EXPECT_EQ(f.size(), taille);
    ToutSeVoit(f);
}

TEST_F(Agencement, AReadoutKeepsItsWidthAndShowsAWholeNumber)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Agencer();
    auto* visue = f.findChild<QLabel*>("StaticTextY");
    const int largeur = visue->width();
    PublierVisue(1, -1234.567);
    ASSERT_TRUE(AttendreQue([&] { return visue->text() == "-1234.567"; }));
    Agencer();
    EXPECT_EQ(visue->width(), largeur);
    EXPECT_LE(visue->fontMetrics().horizontalAdvance(visue->text()), visue->contentsRect().width());
    PublierVisue(1, 0);
}

TEST_F(Agencement, OnASmallerScreenTheTextShrinksUntilEverythingFits)
{
    TForm1 f;
    f.AttendreMachine();
    const QSize petit(800, 560);
    EXPECT_TRUE(f.AjusterAEcran(petit));
    EXPECT_LT(f.TaillePoliceAppliquee(), TForm1::TaillePolice);
    EXPECT_LE(f.minimumSizeHint().width(), petit.width());
    EXPECT_LE(f.minimumSizeHint().height(), petit.height());
    // Too small for anything: the smallest text, and the window says so.
    EXPECT_FALSE(f.AjusterAEcran(QSize(200, 150)));
    EXPECT_EQ(f.TaillePoliceAppliquee(), TForm1::TaillePoliceMini);
}

TEST_F(Agencement, NoFieldOrListEntryOfTheParametersDialogIsCut)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    f.findChild<QAction*>("EntresSorties1")->trigger();
    f.AttendreMachine();
    auto* d = f.findChild<QDialog*>("Form3");
    ASSERT_TRUE(d && d->isVisible());
    Agencer();
    auto* pages = d->findChild<QTabWidget*>("PageControl1");
    for (int page = 0; page < 3; ++page) {
        pages->setCurrentIndex(page);
        Agencer();
        ToutSeVoit(*d);
    }
    // The speeds page with its ramps too: room for a frame and a panel.
    EXPECT_LE(d->width(), 1024 - 8);
    EXPECT_LE(d->height(), 768 - 68);
    // Each list shows its longest entry ("b12 = Paper Out") whole, its
    // arrow beside it.
    for (const QComboBox* liste : d->findChildren<QComboBox*>())
        for (int i = 0; i < liste->count(); ++i)
            EXPECT_GE(liste->width(), liste->fontMetrics().horizontalAdvance(liste->itemText(i)) + 20)
                << liste->objectName().toStdString() << " " << liste->itemText(i).toStdString();
}
