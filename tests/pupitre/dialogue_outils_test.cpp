#include "pupitre/dialogue_outils.h"

#include "foundation/cn_varia.h"
#include "foundation/texte.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Outils : public AvecConfiguration {
protected:
    std::string Ini() const { return Fichier("CncOutil.Ini"); }
    std::string Out() const { return Fichier("Virmak.Out"); }
    void Demarrer(const std::string& ini = "")
    {
        if (!ini.empty())
            EcrireTout(Ini(), ini);
        ChargerConfiguration();
        CreerDialogueOutils();
    }
    FenetreOutils& F() { return FormCorrecteursOutils; }
    std::string& Cellule(int colonne, int outil) { return F().StringGridOutils.Cells(colonne, outil + 1); }
    std::string& CelluleCor(int colonne, int outil) { return F().StringGridCorDyn.Cells(colonne, outil + 1); }
    static double Rayon(int outil) { return TabOutils[outil].Jauge[0] / 2 + TabOutils[outil].CorDyn[0]; }
};

} // namespace

TEST_F(Outils, StartUpReadsEveryToolAndMissingKeysGiveEmptyAndZero)
{
    TabOutils[5].CorDyn[0] = 1;
    Demarrer("[OUTIL(3)]\r\nDesignation=Fraise 2 tailles\r\nJauge(0)=6\r\nJauge(1)=42,5\r\n"
             "[outil(99)]\r\njauge(1)=12.25\r\n[OUTIL(7)]\r\nJauge(0)=rien\r\n");
    EXPECT_EQ(TabOutils[3].Designation, "Fraise 2 tailles");
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[1], 42.5);
    EXPECT_DOUBLE_EQ(TabOutils[99].Jauge[1], 12.25);
    EXPECT_EQ(TabOutils[7].Designation, "");
    EXPECT_DOUBLE_EQ(TabOutils[7].Jauge[0], 0);
    EXPECT_DOUBLE_EQ(TabOutils[5].CorDyn[0], 0);
    EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(Outils, ABinaryToolFileGivesAnEmptyTableAndSaysSoAtStartUp)
{
    const char binaire[] = "\0\x01\xFF[OUTIL(0)]\0Jauge(0)=3";
    Demarrer(std::string(binaire, sizeof binaire - 1));
    for (const TOutil& o : TabOutils) {
        EXPECT_EQ(o.Designation, "");
        EXPECT_DOUBLE_EQ(o.Jauge[0], 0);
    }
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0],
        "Le fichier " + Ini() + " était illisible (ce n'est pas du texte) ; il est conservé sous " + Ini()
            + ".illisible et les valeurs par défaut sont utilisées.");
    EXPECT_EQ(LireTout(Ini() + ".illisible"), std::string(binaire, sizeof binaire - 1));
}

TEST_F(Outils, AToolWithOnlyJauge0Of6HasRadius3UntilAWearIsEnteredAndAProgramLoadCancelsIt)
{
    Demarrer("[OUTIL(4)]\r\nJauge(0)=6\r\n");
    EXPECT_DOUBLE_EQ(Rayon(4), 3);
    Correcteurs1Click();
    CelluleCor(1, 4) = "0.05";
    ASSERT_TRUE(F().BitBtnOKClick());
    EXPECT_DOUBLE_EQ(Rayon(4), 3.05);
    AnnulerCorDyn();
    EXPECT_DOUBLE_EQ(Rayon(4), 3);
    // The wear corrections never reach the key file.
    EXPECT_EQ(LireTout(Ini()).find("CorDyn"), std::string::npos);
}

TEST_F(Outils, RowsAreLabelledT00ToT99UnderTheirHeadings)
{
    EXPECT_EQ(LibelleOutil(0), "T00");
    EXPECT_EQ(LibelleOutil(9), "T09");
    EXPECT_EQ(LibelleOutil(10), "T10");
    EXPECT_EQ(LibelleOutil(99), "T99");
    EXPECT_EQ(SectionOutil(7), "OUTIL(7)");
    Demarrer();
    for (Grille* g : { &F().StringGridOutils, &F().StringGridCorDyn }) {
        EXPECT_EQ(g->RowCount(), 101);
        EXPECT_EQ(g->Cells(0, 0), "");
        EXPECT_EQ(g->Cells(0, 1), "T00");
        EXPECT_EQ(g->Cells(0, 10), "T09");
        EXPECT_EQ(g->Cells(0, 11), "T10");
        EXPECT_EQ(g->Cells(0, 100), "T99");
    }
    const Grille& g = F().StringGridOutils;
    EXPECT_EQ(g.ColWidths, (std::vector<int> { 25, 149, 50, 51 }));
    EXPECT_EQ(g.Cells(1, 0), "Description");
    EXPECT_EQ(g.Cells(2, 0), "X / D");
    EXPECT_EQ(g.Cells(3, 0), "Y / Z");
    const Grille& c = F().StringGridCorDyn;
    EXPECT_EQ(c.ColWidths, (std::vector<int> { 25, 52, 51 }));
    EXPECT_EQ(c.Cells(1, 0), "DX / DR");
    EXPECT_EQ(c.Cells(2, 0), "DY / DZ");
    EXPECT_EQ(F().Caption, "Définition des outils et correcteurs");
    EXPECT_FALSE(F().Visible);
}

TEST_F(Outils, CellsShowRealsWithThreeDecimalsRightAlignedInEight)
{
    Demarrer("[OUTIL(2)]\r\nDesignation=Foret\r\nJauge(0)=2.5\r\nJauge(1)=-123.4567\r\n");
    TabOutils[2].CorDyn[1] = -0.02;
    Correcteurs1Click();
    EXPECT_EQ(Cellule(1, 2), "Foret");
    EXPECT_EQ(Cellule(2, 2), "   2.500");
    EXPECT_EQ(Cellule(3, 2), "-123.457");
    EXPECT_EQ(CelluleCor(1, 2), "   0.000");
    EXPECT_EQ(CelluleCor(2, 2), "  -0.020");
}

TEST_F(Outils, TheExportShowsTheTableFromBeforeTheEditsAndEqualsItAfterASecondConfirmation)
{
    Demarrer("[OUTIL(7)]\r\nDesignation=Fraise\r\nJauge(0)=6\r\nJauge(1)=40\r\n");
    Correcteurs1Click();
    Cellule(1, 7) = "Foret 3";
    Cellule(2, 7) = "3";
    Cellule(3, 7) = "55.5";
    ASSERT_TRUE(F().BitBtnOKClick());
    EXPECT_FALSE(F().Visible);
    const std::string premier = LireTout(Out());
    EXPECT_NE(premier.find("T07\r\nFraise\r\n     6.000    40.000\r\nT08\r\n"), std::string::npos);
    EXPECT_EQ(DecouperLignes(premier).size(), 300u);
    EXPECT_EQ(premier.substr(0, 29), "T00\r\n\r\n     0.000     0.000\r\n");

    Correcteurs1Click();
    ASSERT_TRUE(F().BitBtnOKClick());
    const std::string second = LireTout(Out());
    EXPECT_NE(second.find("T07\r\nForet 3\r\n     3.000    55.500\r\n"), std::string::npos);
    Correcteurs1Click();
    ASSERT_TRUE(F().BitBtnOKClick());
    EXPECT_EQ(LireTout(Out()), second);

    FichierIni lu;
    lu.Ouvrir(Ini());
    EXPECT_EQ(lu.LireChaine("OUTIL(7)", "Designation", "?"), "Foret 3");
    EXPECT_DOUBLE_EQ(lu.LireReel("OUTIL(7)", "Jauge(1)", 0), 55.5);
    EXPECT_EQ(lu.Sections().size(), 100u);
}

TEST_F(Outils, CellsAcceptBlanksAndACommaAndJunkKeepsThePreviousValue)
{
    Demarrer("[OUTIL(1)]\r\nDesignation=Fraise\r\nJauge(0)=6\r\nJauge(1)=40\r\n");
    TabOutils[1].CorDyn[0] = 0.1;
    TabOutils[1].CorDyn[1] = 0.2;
    Correcteurs1Click();
    Cellule(1, 1) = "  Fraise 3 dents  ";
    Cellule(2, 1) = "  3,175 ";
    Cellule(3, 1) = "4O"; // letter O typed for a zero
    CelluleCor(1, 1) = "";
    CelluleCor(2, 1) = "1e999";
    ASSERT_TRUE(F().BitBtnOKClick());
    const TOutil& o = TabOutils[1];
    EXPECT_EQ(o.Designation, "Fraise 3 dents");
    EXPECT_DOUBLE_EQ(o.Jauge[0], 3.175);
    EXPECT_DOUBLE_EQ(o.Jauge[1], 40);
    EXPECT_DOUBLE_EQ(o.CorDyn[0], 0);
    EXPECT_DOUBLE_EQ(o.CorDyn[1], 0.2);
    EXPECT_TRUE(vue.messages.empty());

    EXPECT_DOUBLE_EQ(LireCellule("   ", 5), 0);
    EXPECT_DOUBLE_EQ(LireCellule("-0,5", 5), -0.5);
    EXPECT_DOUBLE_EQ(LireCellule("1.2.3", 5), 5);
    EXPECT_DOUBLE_EQ(LireCellule("nan", 5), 5);
}

TEST_F(Outils, ConfirmingWithoutEditsKeepsValuesFinerThanTheThreeDecimalsShown)
{
    Demarrer("[OUTIL(0)]\r\nJauge(0)=3.1754\r\n");
    TabOutils[0].CorDyn[0] = 0.0004;
    Correcteurs1Click();
    ASSERT_TRUE(F().BitBtnOKClick());
    EXPECT_DOUBLE_EQ(TabOutils[0].Jauge[0], 3.1754);
    EXPECT_DOUBLE_EQ(TabOutils[0].CorDyn[0], 0.0004);
}

TEST_F(Outils, CancelThenReopenShowsTheTableAgainWhileReopeningAnOpenDialogKeepsItsEdits)
{
    Demarrer("[OUTIL(3)]\r\nJauge(0)=6\r\n");
    Correcteurs1Click();
    Cellule(2, 3) = "8";
    Correcteurs1Click();
    EXPECT_EQ(Cellule(2, 3), "8");
    F().BitBtnAnnulerClick();
    EXPECT_FALSE(F().Visible);
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
    Correcteurs1Click();
    EXPECT_TRUE(F().Visible);
    EXPECT_EQ(Cellule(2, 3), "   6.000");
    EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(Outils, ARefusedExportChangesNothingAndKeepsTheDialogOpen)
{
    const std::string ini = "[OUTIL(3)]\r\nJauge(0)=6\r\n";
    Demarrer(ini);
    std::filesystem::create_directory(Out());
    Correcteurs1Click();
    Cellule(2, 3) = "8";
    EXPECT_FALSE(F().BitBtnOKClick());
    EXPECT_TRUE(F().Visible);
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
    EXPECT_EQ(LireTout(Ini()), ini);
    EXPECT_EQ(Cellule(2, 3), "8");
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], "Impossible d'écrire dans " + Out() + " : les outils n'ont pas été modifiés.");
}

TEST_F(Outils, ARefusedKeyFilePutsTheExportBackAndChangesNothing)
{
    const std::string ini = "[OUTIL(3)]\r\nJauge(0)=6\r\n";
    Demarrer(ini);
    const std::string ancienExport = "ancien export\r\n";
    EcrireTout(Out(), ancienExport);
    ::chmod(Ini().c_str(), 0444);
    Correcteurs1Click();
    Cellule(2, 3) = "8";
    EXPECT_FALSE(F().BitBtnOKClick());
    EXPECT_TRUE(F().Visible);
    EXPECT_EQ(LireTout(Out()), ancienExport);
    EXPECT_EQ(LireTout(Ini()), ini);
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 6);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], "Impossible d'écrire dans " + Ini() + " : les outils n'ont pas été modifiés.");

    // No export existed: none is left behind. Once writable, the same
    // confirmation goes through.
    std::filesystem::remove(Out());
    EXPECT_FALSE(F().BitBtnOKClick());
    EXPECT_FALSE(std::filesystem::exists(Out()));
    ::chmod(Ini().c_str(), 0644);
    EXPECT_TRUE(F().BitBtnOKClick());
    EXPECT_DOUBLE_EQ(TabOutils[3].Jauge[0], 8);
    FichierIni lu;
    lu.Ouvrir(Ini());
    EXPECT_DOUBLE_EQ(lu.LireReel("OUTIL(3)", "Jauge(0)", 0), 8);
}

TEST_F(Outils, AnExportThatCannotBePutBackIsSaid)
{
    Demarrer("[OUTIL(3)]\r\nJauge(0)=6\r\n");
    EcrireTout(Out(), "ancien export\r\n");
    ::chmod(Out().c_str(), 0200); // written, never read back
    ::chmod(Ini().c_str(), 0444);
    Correcteurs1Click();
    Cellule(2, 3) = "8";
    EXPECT_FALSE(F().BitBtnOKClick());
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0],
        "Impossible d'écrire dans " + Ini() + " : les outils n'ont pas été modifiés. " + Out()
            + " n'a pas pu être remis dans son état précédent.");
}

TEST_F(Outils, TheHelpButtonAsksForContext1031)
{
    Demarrer();
    F().BtnAideClick();
    EXPECT_EQ(vue.aides, (std::vector<int> { 1031 }));
}

TEST_F(Outils, StartUpCreatesTheDialogHiddenAndFilled)
{
    EcrireTout(Ini(), "[OUTIL(0)]\r\nDesignation=Fraise\r\n");
    FormCreate();
    CreerFenetresSecondaires();
    EXPECT_FALSE(F().Visible);
    EXPECT_EQ(Cellule(1, 0), "Fraise");
    EXPECT_EQ(CelluleCor(1, 99), "   0.000");
}
