#include "ui/fenetre_historique.h"

#include "foundation/cn_historique.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FenetreHistoriqueQt : public AvecConfiguration {
protected:
    static QStringList Menus(TForm1& f)
    {
        QStringList titres;
        for (QAction* a : f.menuBar()->actions())
            titres << a->text();
        return titres;
    }
    static QString Derniere(QListView* liste)
    {
        QAbstractItemModel* m = liste->model();
        return m->data(m->index(m->rowCount() - 1, 0)).toString();
    }
};

} // namespace

TEST_F(FenetreHistoriqueQt, MenusComeInTheirOrderAfterFichiers)
{
    TForm1 f;
    f.AttendreMachine();
    const QStringList menus = Menus(f);
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0], "Fichiers");
    EXPECT_LT(menus.indexOf("Outils"), menus.indexOf("Historique"));
    EXPECT_GT(menus.indexOf("Outils"), 0);
}

TEST_F(FenetreHistoriqueQt, VoirShowsTheHiddenWindowAtTheTopLeftWithTheWholeHistory)
{
    EcrireTout(Fichier("Virmak.His"),
        std::string(EnteteHistorique1) + "\r\n" + EnteteHistorique2
            + "\r\n\r\n07/12/06 \xE0 03:46:17 --> CYCLE TERMINE avec succ\xE8s.\r\n");
    TForm1 f;
    f.show();
    f.AttendreMachine();
    auto* fenetre = f.findChild<TFormHist*>("FormHist");
    ASSERT_TRUE(fenetre);
    EXPECT_FALSE(fenetre->isVisible());
    auto* voir = f.findChild<QAction*>("Voir1");
    ASSERT_TRUE(voir);
    EXPECT_EQ(voir->text(), "Voir");
    voir->trigger();
    f.AttendreMachine();
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_EQ(fenetre->windowTitle(), "Virmak - Historique des messages");
    EXPECT_EQ(fenetre->pos(), QPoint(0, 0));

    auto* liste = fenetre->findChild<QListView*>("ListBoxHist");
    ASSERT_TRUE(liste);
    const QFontMetrics chasse(liste->font());
    EXPECT_EQ(chasse.horizontalAdvance('i'), chasse.horizontalAdvance('M'));
    EXPECT_EQ(chasse.horizontalAdvance('.'), chasse.horizontalAdvance('W'));
    QAbstractItemModel* m = liste->model();
    ASSERT_EQ(m->rowCount(), 6);
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), EnteteHistorique1);
    EXPECT_EQ(m->data(m->index(3, 0)).toString(), "07/12/06 à 03:46:17 --> CYCLE TERMINE avec succès.");
    EXPECT_EQ(m->data(m->index(4, 0)).toString(), "");
    EXPECT_TRUE(Derniere(liste).endsWith(BanniereLancement));
    // The list scrolls sideways over 1000 pixels at least.
    EXPECT_GE(liste->horizontalScrollBar()->maximum() + liste->viewport()->width(), 1000);

    fenetre->close();
    f.AttendreMachine();
    EXPECT_FALSE(fenetre->isVisible());
    EXPECT_FALSE(FormHist.Visible);
    voir->trigger();
    f.AttendreMachine();
    EXPECT_TRUE(fenetre->isVisible());
}

TEST_F(FenetreHistoriqueQt, LinesWrittenLaterAppearInTheOpenWindow)
{
    TForm1 f;
    f.AttendreMachine();
    f.findChild<QAction*>("Voir1")->trigger();
    f.AttendreMachine();
    auto* liste = f.findChild<QListView*>("ListBoxHist");
    ASSERT_TRUE(liste);
    // A line written in the middle of a handler shows at its next repaint.
    f.Poster([] {
        MsgHistorique("DEPART cycle par bouton fenetre principale.");
        VueActive().Repeindre("ListBoxHist");
    });
    EXPECT_TRUE(
        AttendreQue([&] { return Derniere(liste).endsWith("DEPART cycle par bouton fenetre principale."); }));
    SurMachine(f, [] { MsgHistorique("CYCLE TERMINE avec succès."); });
    EXPECT_TRUE(Derniere(liste).endsWith("CYCLE TERMINE avec succès."));
    EXPECT_EQ(liste->model()->rowCount(), static_cast<int>(FormHist.ListBoxHist.Lignes.size()));
}

TEST_F(FenetreHistoriqueQt, EffacerLeavesTheTwoHeaderLines)
{
    TForm1 f;
    f.AttendreMachine();
    f.findChild<QAction*>("Voir1")->trigger();
    f.AttendreMachine();
    auto* effacer = f.findChild<QPushButton*>("BtnHistEffacer");
    ASSERT_TRUE(effacer);
    EXPECT_EQ(effacer->text(), "Effacer");
    effacer->click();
    f.AttendreMachine();
    QAbstractItemModel* m = f.findChild<QListView*>("ListBoxHist")->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->data(m->index(1, 0)).toString(), EnteteHistorique2);
    EXPECT_EQ(LireTout(Fichier("Virmak.His")),
        std::string(EnteteHistorique1) + "\r\n" + EnteteHistorique2 + "\r\n");
    SurMachine(f, [] { MsgHistorique("ARRET demandé par la machine."); });
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_TRUE(m->data(m->index(2, 0)).toString().endsWith("ARRET demandé par la machine."));
}

TEST_F(FenetreHistoriqueQt, ALongLineWidensTheScrolledWidth)
{
    TForm1 f;
    f.AttendreMachine();
    f.findChild<QAction*>("Voir1")->trigger();
    f.AttendreMachine();
    auto* liste = f.findChild<QListView*>("ListBoxHist");
    const int avant = liste->horizontalScrollBar()->maximum();
    SurMachine(f, [] { MsgHistorique("Chargement de /" + std::string(300, 'x') + ".iso"); });
    EXPECT_GT(liste->horizontalScrollBar()->maximum(), avant);
}
