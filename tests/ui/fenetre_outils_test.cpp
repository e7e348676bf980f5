#include "ui/fenetre_outils.h"

#include "foundation/cn_varia.h"
#include "iso/cn_outils.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FenetreOutilsQt : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        EcrireTout(Fichier("CncOutil.Ini"),
            "[OUTIL(3)]\r\nDesignation=Fraise 6\r\nJauge(0)=6\r\nJauge(1)=40.0004\r\n");
    }
    // Opens the dialog from the main menu, as the operator does.
    static TFormCorrecteursOutils* Ouvrir(TForm1& f)
    {
        auto* correcteurs = f.findChild<QAction*>("Correcteurs1");
        EXPECT_TRUE(correcteurs);
        if (correcteurs)
            correcteurs->trigger();
        f.AttendreMachine();
        return f.findChild<TFormCorrecteursOutils*>("FormCorrecteursOutils");
    }
    static QString Titre(QTableWidget* t, int colonne) { return t->horizontalHeaderItem(colonne)->text(); }
    static QString Outil(QTableWidget* t, int rang) { return t->verticalHeaderItem(rang)->text(); }
    static void Cliquer(TForm1& f, QWidget* d, const char* bouton)
    {
        d->findChild<QPushButton*>(bouton)->click();
        f.AttendreMachine();
    }
};

} // namespace

TEST_F(FenetreOutilsQt, CorrecteursShowsTheTwoGridsWithTheirHeadingsWidthsAndTheTable)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    auto* d = f.findChild<TFormCorrecteursOutils*>("FormCorrecteursOutils");
    ASSERT_TRUE(d);
    EXPECT_FALSE(d->isVisible());
    d = Ouvrir(f);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Définition des outils et correcteurs");
    QStringList etiquettes;
    for (QLabel* l : d->findChildren<QLabel*>())
        etiquettes << l->text();
    EXPECT_TRUE(etiquettes.contains("Caractérisation des outils."));
    EXPECT_TRUE(etiquettes.contains("Correcteurs dynamiques"));

    auto* outils = d->findChild<QTableWidget*>("StringGridOutils");
    auto* corDyn = d->findChild<QTableWidget*>("StringGridCorDyn");
    ASSERT_TRUE(outils && corDyn);
    EXPECT_EQ(outils->rowCount(), 100);
    EXPECT_EQ(outils->columnCount(), 3);
    EXPECT_EQ(corDyn->columnCount(), 2);
    EXPECT_EQ(Titre(outils, 0), "Description");
    EXPECT_EQ(Titre(outils, 1), "X / D");
    EXPECT_EQ(Titre(outils, 2), "Y / Z");
    EXPECT_EQ(Titre(corDyn, 0), "DX / DR");
    EXPECT_EQ(Titre(corDyn, 1), "DY / DZ");
    EXPECT_EQ(Outil(outils, 0), "T00");
    EXPECT_EQ(Outil(outils, 9), "T09");
    EXPECT_EQ(Outil(corDyn, 10), "T10");
    EXPECT_EQ(outils->verticalHeader()->width(), 25);
    EXPECT_EQ(outils->columnWidth(0), 149);
    EXPECT_EQ(outils->columnWidth(1), 50);
    EXPECT_EQ(outils->columnWidth(2), 51);
    EXPECT_EQ(corDyn->columnWidth(0), 52);
    EXPECT_EQ(corDyn->columnWidth(1), 51);
    EXPECT_EQ(outils->item(3, 0)->text(), "Fraise 6");
    EXPECT_EQ(outils->item(3, 1)->text(), "6.000");
    EXPECT_EQ(corDyn->item(3, 0)->text(), "0.000");
    EXPECT_EQ(d->findChild<QPushButton*>("BtnAide")->property("tag").toInt(), 31);
}

TEST_F(FenetreOutilsQt, OKTakesTheEditsInEvenACellStillBeingTyped)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TFormCorrecteursOutils* d = Ouvrir(f);
    auto* outils = d->findChild<QTableWidget*>("StringGridOutils");
    auto* corDyn = d->findChild<QTableWidget*>("StringGridCorDyn");
    outils->item(3, 0)->setText("Fraise 3 dents");
    corDyn->item(3, 0)->setText("0,05");
    // Making a cell current opens its editor, as a click does.
    outils->setCurrentCell(3, 1);
    auto* editeur = qobject_cast<QLineEdit*>(outils->indexWidget(outils->currentIndex()));
    ASSERT_TRUE(editeur);
    editeur->setText("6.35");
    Cliquer(f, d, "BitBtnOK");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(TabOutils[3].Designation, "Fraise 3 dents");
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6.35);
    EXPECT_DOUBLE_EQ(TabOutils[3].CorDyn[0], 0.05);
    // A cell left alone keeps the finer value the grid shows rounded.
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[1], 40.0004);
    EXPECT_NE(LireTout(Fichier("Virmak.Out")).find("T03\r\nFraise 6\r\n     6.000    40.000\r\n"),
        std::string::npos);
}

TEST_F(FenetreOutilsQt, CancelEscapeAndTheCloseBoxDropTheEditsAndReopeningShowsTheTable)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    for (int maniere = 0; maniere < 3; ++maniere) {
        TFormCorrecteursOutils* d = Ouvrir(f);
        auto* outils = d->findChild<QTableWidget*>("StringGridOutils");
        outils->item(3, 1)->setText("8");
        if (maniere == 0) {
            Cliquer(f, d, "BitBtnAnnuler");
        } else if (maniere == 1) {
            QKeyEvent echap(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(d, &echap);
        } else {
            d->close();
        }
        f.AttendreMachine();
        EXPECT_FALSE(d->isVisible()) << maniere;
        EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6) << maniere;
        Ouvrir(f);
        EXPECT_EQ(outils->item(3, 1)->text(), "6.000") << maniere;
        Cliquer(f, d, "BitBtnAnnuler");
    }
    EXPECT_FALSE(std::filesystem::exists(Fichier("Virmak.Out")));
}

TEST_F(FenetreOutilsQt, ARefusedWriteKeepsTheDialogOpenWithItsEditsAndHelpAsksFor1031)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TFormCorrecteursOutils* d = Ouvrir(f);
    SurMachine(f, [this] { DefinirVue(&vue); }); // record instead of opening boxes
    std::filesystem::create_directory(Fichier("Virmak.Out"));
    auto* outils = d->findChild<QTableWidget*>("StringGridOutils");
    outils->item(3, 1)->setText("8");
    Cliquer(f, d, "BitBtnOK");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(outils->item(3, 1)->text(), "8");
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_NE(vue.messages[0].find("Virmak.Out"), std::string::npos);
    Cliquer(f, d, "BtnAide");
    EXPECT_EQ(vue.aides, (std::vector<int> { 1031 }));
}

TEST_F(FenetreOutilsQt, ACellLeftBeingTypedAtCancelIsNotBroughtBackAtTheNextShowing)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TFormCorrecteursOutils* d = Ouvrir(f);
    auto* outils = d->findChild<QTableWidget*>("StringGridOutils");
    outils->setCurrentCell(3, 1);
    auto* editeur = qobject_cast<QLineEdit*>(outils->indexWidget(outils->currentIndex()));
    ASSERT_TRUE(editeur);
    editeur->setText("9");
    Cliquer(f, d, "BitBtnAnnuler");
    Ouvrir(f);
    EXPECT_EQ(outils->item(3, 1)->text(), "6.000");
    Cliquer(f, d, "BitBtnOK");
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
}
