#include "ui/fenetre_parametres.h"

#include "support/support.h"
#include "ui/calcul_pas.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <cstdio>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FenetreParametresQt : public AvecConfiguration {
protected:
    // Opens the dialog from the "Paramètres" menu, as the operator does.
    static TForm3* Ouvrir(TForm1& f, const char* entree)
    {
        auto* action = f.findChild<QAction*>(entree);
        EXPECT_TRUE(action);
        if (action)
            action->trigger();
        f.AttendreMachine();
        return f.findChild<TForm3*>("Form3");
    }
    static void Cliquer(TForm1& f, QWidget* d, const char* bouton)
    {
        d->findChild<QPushButton*>(bouton)->click();
        f.AttendreMachine();
    }
    static void Choisir(TForm1& f, QWidget* d, const char* liste, int choix)
    {
        auto* cb = d->findChild<QComboBox*>(liste);
        ASSERT_TRUE(cb) << liste;
        cb->setCurrentIndex(choix);
        emit cb->activated(choix);
        f.AttendreMachine();
    }
    // What virmak-cli prints of the configuration folder.
    std::string Config() const
    {
        std::FILE* p = ::popen((std::string(VIRMAK_CLI) + " --rep '" + dossier + "' config").c_str(), "r");
        std::string sortie;
        char tampon[256];
        while (p && std::fgets(tampon, sizeof tampon, p))
            sortie += tampon;
        if (p)
            ::pclose(p);
        return sortie;
    }
};

} // namespace

TEST_F(FenetreParametresQt, EachMenuEntryShowsTheFixedSizeDialogOnItsPage)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "Vitesses1");
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Paramétrages");
    // The designed size, or more where the fonts need it; fixed either way.
    EXPECT_GE(d->width(), 623);
    EXPECT_GE(d->height(), 426);
    EXPECT_EQ(d->minimumSize(), d->maximumSize());
    auto* pages = d->findChild<QTabWidget*>("PageControl1");
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_EQ(d->findChild<QLabel*>("LabelRampeZ")->text(), "sans rampe");
    EXPECT_EQ(pages->tabText(2), "Entrées / Sorties");
    EXPECT_FALSE(pages->isTabVisible(3));
    EXPECT_TRUE(f.isEnabled());
    Ouvrir(f, "EntresSorties1");
    EXPECT_EQ(pages->currentIndex(), 2);
    Ouvrir(f, "Jeux1");
    EXPECT_EQ(pages->currentIndex(), 0);
}

TEST_F(FenetreParametresQt, TheTitleBarCloseIsRefusedAndCancelHides)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "Jeux1");
    d->close();
    f.AttendreMachine();
    EXPECT_TRUE(d->isVisible());
    Cliquer(f, d, "BitBtnAnnuler");
    EXPECT_FALSE(d->isVisible());
}

TEST_F(FenetreParametresQt, TypedStepsPerMmReachValPasOnApply)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "Jeux1");
    auto* champ = d->findChild<QLineEdit*>("Edit1");
    champ->setText("200");
    emit champ->textEdited("200");
    f.AttendreMachine();
    EXPECT_TRUE(d->findChild<QPushButton*>("BitBtnAppli")->isEnabled());
    Cliquer(f, d, "BitBtnAppli");
    EXPECT_DOUBLE_EQ(f.Etat().ValPas[0], 0.005);
    EXPECT_FALSE(d->findChild<QPushButton*>("BitBtnAppli")->isEnabled());
}

TEST_F(FenetreParametresQt, APortReassignmentReachesTheMasksThatVirmakCliPrints)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "EntresSorties1");
    Choisir(f, d, "CBOut0", 3); // X step on "b4 = D2"
    Choisir(f, d, "CBOut6", 7); // spindle on "b8 = D6"
    Choisir(f, d, "CBIn3", 4); // emergency stop on "b10 = ACK"
    Cliquer(f, d, "BitBtnOK");
    EXPECT_FALSE(d->isVisible());
    const std::string config = Config();
    EXPECT_NE(config.find("MasquePas(0)=0x04\n"), std::string::npos) << config;
    EXPECT_NE(config.find("MasqueBroche=0x40\n"), std::string::npos) << config;
    EXPECT_NE(config.find("MasqueHorsPas=0xFB\n"), std::string::npos) << config;
    EXPECT_NE(config.find("MasqueArret=0x40\n"), std::string::npos) << config;
}

TEST_F(FenetreParametresQt, EachHelpButtonOfTheDialogOpensThePageOfItsTag)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    const auto pages = PagesAideOuvertes(f);
    TForm3* d = Ouvrir(f, "Jeux1");
    ASSERT_TRUE(d);
    for (int tag = 21; tag <= 25; ++tag)
        Cliquer(f, d, QString("BtnAide%1").arg(tag).toUtf8().constData());
    ASSERT_TRUE(AttendreQue([&pages] { return pages->size() == 5; }));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(pages->at(i).ends_with("/aide/" + std::to_string(1021 + i) + ".html")) << pages->at(i);
}

TEST_F(FenetreParametresQt, TheCalculatorOfAnAxisPutsItsStepsPerMmIntoThatAxisField)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "Jeux1");
    d->findChild<QPushButton*>("BtnCalculPasY")->click();
    auto* calcul = d->findChild<CalculPasParMm*>("CalculPasY");
    ASSERT_TRUE(calcul);
    calcul->findChild<QSpinBox*>("PasParTour")->setValue(200);
    calcul->findChild<QComboBox*>("MicroPas")->setCurrentText("8");
    calcul->findChild<QDoubleSpinBox*>("PasVis")->setValue(5);
    EXPECT_EQ(calcul->findChild<QLabel*>("Resultat")->text(), "= 320.0000 pas par mm");
    calcul->findChild<QRadioButton*>("Courroie")->setChecked(true);
    EXPECT_DOUBLE_EQ(calcul->Resultat(), 40); // 20 teeth of 2 mm
    calcul->findChild<QRadioButton*>("Vis")->setChecked(true);
    calcul->findChild<QPushButton*>("Mettre")->click();
    f.AttendreMachine();
    EXPECT_EQ(d->findChild<QLineEdit*>("Edit2")->text(), "320.0000");
    EXPECT_EQ(d->findChild<QLineEdit*>("Edit1")->text(), "400.0000");
    Cliquer(f, d, "BitBtnAppli");
    EXPECT_DOUBLE_EQ(f.Etat().ValPas[1], 1.0 / 320);
}

TEST_F(FenetreParametresQt, TheUsualWiringButtonReachesTheFileOnlyThroughValider)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TForm3* d = Ouvrir(f, "EntresSorties1");
    Cliquer(f, d, "BitBtnCablageUsuel");
    EXPECT_EQ(d->findChild<QComboBox*>("CBOut5")->currentIndex(), 6);
    EXPECT_TRUE(d->findChild<QCheckBox*>("CBOutActive5")->isChecked());
    EXPECT_EQ(d->findChild<QComboBox*>("CBIn3")->currentIndex(), 4);
    EXPECT_EQ(Config().find("CBOutItem(5)=6\n"), std::string::npos);
    Cliquer(f, d, "BitBtnOK");
    const std::string config = Config();
    EXPECT_NE(config.find("CBOutItem(5)=6\n"), std::string::npos) << config;
    EXPECT_NE(config.find("OutEnable=0x7F\n"), std::string::npos) << config;
    EXPECT_NE(config.find("MasqueButees=0x38\n"), std::string::npos) << config;
}
