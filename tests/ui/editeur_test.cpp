#include "foundation/cn_varia.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

QStringList Textes(const QList<QAction*>& actions)
{
    QStringList l;
    for (const QAction* a : actions)
        l << (a->isSeparator() ? QString("-") : a->text());
    return l;
}

} // namespace

using EditeurQt = AvecConfiguration;

TEST_F(EditeurQt, TheRightButtonOpensTheMenuAtThePointerWithoutMovingTheSelectionAndEnterWritesTheLine)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    SurMachine(f, [] { Form1.ListBoxProg1.Lignes = { "L1", "L2", "L3", "L4", "L5" }; });
    auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
    auto* ligne = f.findChild<QLineEdit*>("EditLigneProg");
    auto* menu = f.findChild<QMenu*>("PopupMenu1");
    ASSERT_TRUE(liste && ligne && menu);
    liste->setCurrentRow(1);
    liste->setFocus();
    const QPoint p = liste->visualItemRect(liste->item(3)).center();
    QMouseEvent droit(QEvent::MouseButtonPress, p, liste->viewport()->mapToGlobal(p), Qt::RightButton,
        Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(liste->viewport(), &droit);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_LE((menu->pos() - liste->viewport()->mapToGlobal(p)).manhattanLength(), 2);
    EXPECT_EQ(Textes(menu->actions()),
        (QStringList { "Editer bloc", "Insérer bloc", "Supprimer bloc", "-", "Démarrer à ce bloc" }));
    menu->hide();
    // The keyboard's menu key opens it too.
    QContextMenuEvent touche(QContextMenuEvent::Keyboard, QPoint(2, 2), liste->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(liste, &touche);
    EXPECT_TRUE(menu->isVisible());
    // The menu closes, then its entry acts.
    menu->hide();
    f.findChild<QAction*>("Insrerbloc1")->trigger();
    f.AttendreMachine();
    EXPECT_EQ(liste->item(1)->text(), "");
    EXPECT_EQ(liste->item(2)->text(), "L2");
    EXPECT_EQ(liste->currentRow(), 1);
    // The offscreen platform leaves no window active after a popup.
    EXPECT_TRUE(AttendreQue([&] { return f.focusWidget() == ligne; }));
    // Typed, then Enter: the text goes ahead of the key.
    for (const QChar c : QString("G1 X5")) {
        QKeyEvent touche(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(ligne, &touche);
    }
    QKeyEvent entree(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(ligne, &entree);
    f.AttendreMachine();
    EXPECT_EQ(liste->item(1)->text(), "G1 X5");
    liste->setCurrentRow(4);
    emit liste->itemDoubleClicked(liste->item(4));
    f.AttendreMachine();
    EXPECT_EQ(ligne->text(), "L4");
}

TEST_F(EditeurQt, TheMainMenusComeInTheirOrderWithHelpLast)
{
    TForm1 f;
    f.AttendreMachine();
    const QStringList menus = Textes(f.menuBar()->actions());
    EXPECT_EQ(menus.mid(0, 4), (QStringList { "Fichiers", "Outils", "Paramètres", "Historique" }));
    EXPECT_EQ(menus.back(), "Aide");
    EXPECT_EQ(
        Textes(f.findChild<QMenu*>("MenuAide1")->actions()), (QStringList { "Aide", "A propos de..." }));
    EXPECT_TRUE(f.findChild<QAction*>("Aide1") && f.findChild<QAction*>("Aproposde1"));
}

TEST_F(EditeurQt, AfterADeletionTheMenuActsOnNoLineEvenWhenTheListTakesTheFocusBack)
{
    TForm1 f;
    f.show();
    f.activateWindow();
    SurMachine(f, [] { Form1.ListBoxProg1.Lignes = { "%", "G1 X1", "G1 X2" }; });
    auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
    liste->setCurrentRow(2);
    f.AttendreMachine();
    f.findChild<QAction*>("Supprimerbloc1")->trigger();
    f.AttendreMachine();
    ASSERT_EQ(liste->count(), 2);
    EXPECT_TRUE(liste->selectedItems().isEmpty());
    // Qt makes the first line current as the list gets the focus back:
    // that is no choice of the operator's.
    f.findChild<QLineEdit*>("EditLigneProg")->setFocus();
    liste->setFocus();
    for (const char* commande : { "Supprimerbloc1", "Editerbloc1" }) {
        f.findChild<QAction*>(commande)->trigger();
        QMessageBox* boite = BoiteMontree(f);
        ASSERT_TRUE(boite) << commande;
        EXPECT_EQ(boite->text(), "Pas de bloc sélectionné !");
        boite->accept();
        f.AttendreMachine();
    }
    ASSERT_EQ(liste->count(), 2);
    EXPECT_EQ(liste->item(0)->text(), "%");
    EXPECT_EQ(f.findChild<QLineEdit*>("EditLigneProg")->text(), "");
}
