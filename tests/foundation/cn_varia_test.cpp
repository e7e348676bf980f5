#include "foundation/aide.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"

#include "foundation/pupitre.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "pupitre/parametrage.h"
#include "support/support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Configuration : public AvecConfiguration {
protected:
    std::string Param() const { return Fichier("CncParam.Ini"); }
    void Ecrire(const std::string& contenu) { EcrireTout(Param(), contenu); }
    // Start-up as the desktop program runs it, then its shut-down.
    void DemarrerPuisArreter()
    {
        FormCreate();
        CreerFenetresSecondaires();
        FormClose();
    }
};

} // namespace

TEST_F(Configuration, FreshStartUpAndShutDownWriteEveryOwnedSectionWithDefaults)
{
    DemarrerPuisArreter();
    FichierIni lu;
    lu.Ouvrir(Param());
    const auto sections = lu.Sections();
    EXPECT_EQ(sections, (std::vector<std::string> { "FICHIERS", "AXES", "BOOLEAN", "CYCLES", "FORM1" }));
    EXPECT_EQ(lu.LireChaine("FICHIERS", "Version", ""), "V 2.03 - 01/11/2006");
    EXPECT_EQ(lu.LireChaine("FICHIERS", "NomAide", ""), "aide/index.html");
    // The first "Charger" opens on the example programs.
    EXPECT_EQ(lu.LireChaine("FICHIERS", "NomRepProg", ""), DossierExemples(DossiersAide(dossier, "")));
    EXPECT_TRUE(lu.LireChaine("FICHIERS", "NomRepProg", "").ends_with("/exemples/"));
    EXPECT_EQ(lu.LireEntier("AXES", "AvMax(2)", 0), 1000);
    EXPECT_DOUBLE_EQ(lu.LireReel("AXES", "ValPas(1)", 0), 0.0025);
    EXPECT_EQ(lu.LireEntier("AXES", "LarCreneau", 0), 10);
    EXPECT_DOUBLE_EQ(lu.LireReel("AXES", "AvRap", 0), 0.8);
    EXPECT_DOUBLE_EQ(lu.LireReel("AXES", "CreteCir", 0), 0.005);
    EXPECT_EQ(lu.LireChaine("BOOLEAN", "AvertOK", ""), "0");
    EXPECT_EQ(lu.LireChaine("BOOLEAN", "Simulation", ""), "1");
    EXPECT_FALSE(lu.CleExiste("BOOLEAN", "MesAvert"));
    EXPECT_DOUBLE_EQ(lu.LireReel("CYCLES", "G83d", 0), 0.2);
    EXPECT_EQ(lu.LireEntier("FORM1", "Width", 0), 800);
    EXPECT_EQ(lu.LireEntier("FORM1", "Height", 0), 575);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(Configuration, SaveOrderFollowsTheParameterSave)
{
    DemarrerPuisArreter();
    const std::string contenu = LireTout(Param());
    const char* ordre[] = { "AvMax(0)", "ValPas(0)", "NPasJ(0)", "AvMax(1)", "NPasJ(2)", "CreteCir", "AvRap",
        "LarCreneau", "AvertOK", "Simulation", "AffRapide", "Debogage", "SuiviPrg", "CompJeu(0)",
        "CompJeu(2)", "CalageZ", "G83d", "Top", "Left", "Width", "Height" };
    size_t precedent = 0;
    for (const char* cle : ordre) {
        const size_t pos = contenu.find(std::string(cle) + "=");
        ASSERT_NE(pos, std::string::npos) << cle;
        EXPECT_GT(pos, precedent) << cle;
        precedent = pos;
    }
}

TEST_F(Configuration, DefaultSpeedsGiveTheGreatestPathFeedAndTheFeedSlider)
{
    FormCreate();
    CreerFenetresSecondaires();
    EXPECT_NEAR(AvanceMax, 259.8, 0.05);
    EXPECT_EQ(Form1.TrackBarVitAv.Max, 260);
    EXPECT_EQ(Form1.TrackBarVitAv.Frequence, 26);
    EXPECT_EQ(Form1.LabelAvMax.Texte, "260");
    EXPECT_DOUBLE_EQ(AvanceCourante, 200);
    EXPECT_EQ(CorrAvance, 10);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 10);
}

TEST_F(Configuration, GreatestPathFeedUsesEachAxisStepLength)
{
    Ecrire("[AXES]\nAvMax(0)=2000\nAvMax(1)=1000\nAvMax(2)=500\nValPas(0)=0.005\nValPas(2)=0.01\n");
    ChargerConfiguration();
    // X 600, Y 150, Z 300 mm/min.
    EXPECT_NEAR(AvanceMax, std::sqrt(600.0 * 600 + 150.0 * 150 + 300.0 * 300), 1e-9);
    EXPECT_NEAR(AvanceMaxiVectorielle(1000, 0, 0), 300, 1e-9);
}

TEST_F(Configuration, AStartForAnalysingOnlyReadsTheKeysButLeavesTheStepTimingUncalibrated)
{
    Ecrire("[AXES]\nAvMax(0)=1700\n");
    FreqCompteur = 0;
    TabPeriodes[1] = 0;
    ChargerConfiguration(Usage::AnalyseSeule);
    EXPECT_EQ(AvMax[0], 1700);
    EXPECT_EQ(FreqCompteur, 0);
    EXPECT_EQ(TabPeriodes[1], 0);
    ChargerConfiguration();
    EXPECT_GT(FreqCompteur, 0);
    EXPECT_EQ(TabPeriodes[1], FreqCompteur);
}

TEST_F(Configuration, OnlyTheExactIndexedKeyIsRead)
{
    Ecrire("[AXES]\nAvMax (1)=1500\nAvMax1=1600\nAvMax(0)=1700\n");
    ChargerConfiguration();
    EXPECT_EQ(AvMax[0], 1700);
    EXPECT_EQ(AvMax[1], 1000);
    Ecrire("[axes]\navmax(1)=1800\n");
    ChargerConfiguration();
    EXPECT_EQ(AvMax[1], 1800);
}

TEST_F(Configuration, DebuggingForcesSimulationOnlyUntilTheDialogRestores)
{
    Ecrire("[BOOLEAN]\nDebogage=1\nSimulation=0\n");
    FormCreate();
    EXPECT_TRUE(Simulation);
    CreerFenetresSecondaires();
    EXPECT_FALSE(Simulation);
}

TEST_F(Configuration, PulseWidthIsSixtyAtLoadAndTenOnceTheDialogRestores)
{
    FormCreate();
    EXPECT_EQ(LarCreneau, 60);
    CreerFenetresSecondaires();
    EXPECT_EQ(LarCreneau, 10);
    Ecrire("[AXES]\nLarCreneau=25\n");
    FormCreate();
    CreerFenetresSecondaires();
    EXPECT_EQ(LarCreneau, 25);
}

TEST_F(Configuration, JogIncrementsFromTheFile)
{
    Ecrire("[INCREMENTS]\nNbIncrements=3\nValIncr(1)=0.01\nValIncr(2)=1\nValIncr(3)=abc\n");
    FormCreate();
    EXPECT_EQ(Form1.CmbIncrement.Lignes, (std::vector<std::string> { "Continu", "0.01 mm", "1 mm", "0 mm" }));
    EXPECT_EQ(Form1.CmbIncrement.Selection, 0);
    EXPECT_DOUBLE_EQ(ValIncrement[0], 0);
    EXPECT_DOUBLE_EQ(ValIncrement[1], 0.01);
    EXPECT_DOUBLE_EQ(ValIncrement[2], 1);
}

TEST_F(Configuration, NoIncrementsLeavesOnlyContinuousAndACountBeyondTwentyTakesTheDefault)
{
    Ecrire("[INCREMENTS]\nNbIncrements=0\n");
    FormCreate();
    EXPECT_EQ(Form1.CmbIncrement.Lignes, (std::vector<std::string> { "Continu" }));
    Ecrire("[INCREMENTS]\nNbIncrements=20\nValIncr(20)=5\n");
    FormCreate();
    ASSERT_EQ(Form1.CmbIncrement.Lignes.size(), 21u);
    EXPECT_EQ(Form1.CmbIncrement.Lignes.back(), "5 mm");
    for (const char* n : { "25", "-4" }) {
        Ecrire(std::string("[INCREMENTS]\nNbIncrements=") + n + "\nValIncr(1)=2\n");
        FormCreate();
        EXPECT_EQ(Form1.CmbIncrement.Lignes, (std::vector<std::string> { "Continu", "2 mm" })) << n;
    }
}

TEST_F(Configuration, DecimalCommaAndPointAreBothReadAndAPointIsWritten)
{
    Ecrire("[AXES]\nValPas(0)=0,005\nValPas(1)=0.004\nCreteCir=0,01\n");
    ChargerConfiguration();
    EXPECT_DOUBLE_EQ(ValPas[0], 0.005);
    EXPECT_DOUBLE_EQ(ValPas[1], 0.004);
    EXPECT_DOUBLE_EQ(CreteCir, 0.01);
    SauveParametres();
    EXPECT_NE(LireTout(Param()).find("ValPas(0)=0.005\r\n"), std::string::npos);
}

TEST_F(Configuration, StepLengthsThatWouldBreakStepCountsKeepTheDefault)
{
    Ecrire("[AXES]\nValPas(0)=0\nValPas(1)=-0.01\nValPas(2)=nan\n");
    ChargerConfiguration();
    for (double v : ValPas)
        EXPECT_DOUBLE_EQ(v, 0.0025);
    Ecrire("[AXES]\nValPas(0)=inf\nValPas(1)=1e999\nValPas(2)=\n");
    ChargerConfiguration();
    for (double v : ValPas)
        EXPECT_DOUBLE_EQ(v, 0.0025);
}

TEST_F(Configuration, AbsurdNumbersTakeTheirDefaultAndEachIsNamedOnceInTheHistory)
{
    Ecrire("[AXES]\nValPas(1)=1e308\nAvMax(2)=50000\nAvMax(0)=0\nNPasJ(0)=-3\nCreteCir=5\n"
           "[INCREMENTS]\nNbIncrements=3\nValIncr(1)=1e308\nValIncr(2)=-0.1\nValIncr(3)=0.5\n"
           "[FORM1]\nWidth=-800\n");
    EcrireTout(
        Fichier("CncOutil.Ini"), "[OUTIL(1)]\nJauge(0)=1e308\n[OUTIL(2)]\nJauge(0)=-5\nJauge(1)=-40\n");
    FormCreate();
    CreerFenetresSecondaires();
    FormActivate();
    EXPECT_DOUBLE_EQ(ValPas[1], 0.0025);
    EXPECT_EQ(AvMax[2], 1000);
    EXPECT_EQ(AvMax[0], 1000);
    EXPECT_EQ(NPasJ[0], 0);
    EXPECT_DOUBLE_EQ(CreteCir, 0.005);
    EXPECT_NEAR(AvanceMax, 259.8, 0.05);
    EXPECT_EQ(Form1.TrackBarVitAv.Max, 260);
    EXPECT_EQ(Form1.CmbIncrement.Lignes, (std::vector<std::string> { "Continu", "0 mm", "0 mm", "0.5 mm" }));
    EXPECT_EQ(Form1.Width, 800);
    EXPECT_DOUBLE_EQ(TabOutils[1].Jauge[0], 0);
    EXPECT_DOUBLE_EQ(TabOutils[2].Jauge[0], 0);
    EXPECT_DOUBLE_EQ(TabOutils[2].Jauge[1], -40);

    // Read again by the dialog's restore and at activation, said once.
    const auto& lignes = FormHist.ListBoxHist.Lignes;
    for (const char* refus : { "ValPas(1)=1e308", "AvMax(2)=50000", "AvMax(0)=0", "NPasJ(0)=-3", "CreteCir=5",
             "ValIncr(1)=1e308", "ValIncr(2)=-0.1", "Width=-800", "Jauge(0)=1e308", "Jauge(0)=-5" }) {
        const auto n = std::count_if(lignes.begin(), lignes.end(), [&](const std::string& l) {
            return l.find(std::string("] ") + refus + " : hors de") != std::string::npos;
        });
        EXPECT_EQ(n, 1) << refus;
    }
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(Configuration, ProgramCapacityIsTakenModulo65536)
{
    Ecrire("[GCODES]\nMaxLProg=70000\nPrgPou=20\nPrgMet=21\n");
    ChargerConfiguration();
    EXPECT_EQ(MaxLProg, 70000 - 65536);
    EXPECT_EQ(PrgPou, 20);
    EXPECT_EQ(PrgMet, 21);
    Ecrire("[GCODES]\nMaxLProg=-1\n");
    ChargerConfiguration();
    EXPECT_EQ(MaxLProg, 65535);
}

TEST_F(Configuration, CentreModeKeyIsReadAtStartUpAndKeptAsWritten)
{
    ChargerConfiguration();
    EXPECT_FALSE(CentresRelatifs);
    Ecrire("[GCODES]\nCentresRelatifs=1\n");
    DemarrerPuisArreter();
    EXPECT_TRUE(CentresRelatifs);
    FichierIni lu;
    lu.Ouvrir(Param());
    EXPECT_EQ(lu.LireChaine("GCODES", "CentresRelatifs", ""), "1");
}

TEST_F(Configuration, StartUpResetsTheMachineState)
{
    ChargerConfiguration();
    PosMm[1] = 12;
    PosPas[2] = 7;
    SensAxe[0] = -1;
    ArretUrgence = true;
    ProgAnalyse = true;
    FacteurUnite = 25.4;
    ChargerConfiguration();
    EXPECT_EQ(PosMm[1], 0);
    EXPECT_EQ(PosPas[2], 0);
    EXPECT_EQ(SensAxe[0], 1);
    EXPECT_FALSE(ArretUrgence);
    EXPECT_FALSE(ProgAnalyse);
    EXPECT_EQ(FacteurUnite, 1.0);
    EXPECT_EQ(MasqueHorsPas, 0xEA);
    EXPECT_EQ(CoulRapide, 0xFF0000u);
    EXPECT_EQ(LigneDefaut.CodeM[0], 999);
    EXPECT_EQ(LigneDefaut.CodeM[10], 999);
    EXPECT_EQ(LigneDefaut.CodeG[0], 0);
    EXPECT_EQ(NomProgAffiche, "Programme : Aucun");
}

TEST_F(Configuration, TimingTableAndPulseLoopFromTheCounter)
{
    ChargerConfiguration();
    EXPECT_EQ(FreqCompteur, horloge.frequence);
    EXPECT_EQ(TabPeriodes[1], horloge.frequence);
    EXPECT_EQ(TabPeriodes[3], 3333333);
    EXPECT_EQ(TabPeriodes[20000], 500);
    // The clock did not move while the loops ran: no loop time, one iteration.
    EXPECT_EQ(BouclesCreneau, 1);
    EXPECT_EQ(horloge.priorites, (std::vector<bool> { true, false }));
}

TEST_F(Configuration, MainWindowCreationPreparesItsControls)
{
    Ecrire("[FORM1]\nTop=40\nLeft=30\nWidth=1000\nHeight=700\n[BOOLEAN]\nSuiviPrg=0\n");
    FormCreate();
    EXPECT_EQ(Form1.Caption, "VIRMAK Version 2.03");
    EXPECT_EQ(Form1.Top, 40);
    EXPECT_EQ(Form1.Left, 30);
    EXPECT_EQ(Form1.Width, 1000);
    EXPECT_EQ(Form1.StaticTextX.Texte, "   0.000");
    EXPECT_FALSE(Form1.EditX.Visible);
    EXPECT_TRUE(Form1.StaticTextZ.Visible);
    EXPECT_TRUE(Form1.Timer1.Actif);
    EXPECT_EQ(Form1.Timer1.Intervalle, 250);
    EXPECT_FALSE(Form1.BitBtnCycle.Actif);
    EXPECT_FALSE(Form1.BitBtnPasPas.Actif);
    EXPECT_FALSE(Form1.BitBtnEnregistrer.Actif);
    EXPECT_FALSE(Form1.BitBtnBloc.Actif);
    EXPECT_TRUE(Form1.BitBtnCharger.Actif);
    EXPECT_FALSE(Form1.GaugeProg.Visible);
    EXPECT_EQ(Form1.GroupBox5.Texte, "Programme : Aucun");
    EXPECT_FALSE(Form1.CheckBoxSuiviPrg.Cochee);
    EXPECT_EQ(Form1.RepOuverture, dossier);
    EXPECT_EQ(Form1.ImageProg.Conseil, "Bouton gauche sourie = déplacement\r\nBouton droite sourie = zoom");
    EXPECT_EQ(Form1.ListBoxProg1.Lignes.size(), 3u);
}

TEST_F(Configuration, ActivationPointsTheOpenDialogAtTheProgramFolder)
{
    Ecrire("[FICHIERS]\nNomRepProg=/srv/pieces/\n");
    FormCreate();
    EXPECT_EQ(Form1.RepOuverture, dossier);
    FormActivate();
    EXPECT_EQ(Form1.RepOuverture, "/srv/pieces/");
}

TEST_F(Configuration, AMangledOrBinaryFileStillStartsWithDefaults)
{
    Ecrire(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR[AXES]\nAvMax(0)=5\n", 30));
    DemarrerPuisArreter();
    EXPECT_EQ(AvMax[0], 1000);
    FichierIni lu;
    lu.Ouvrir(Param());
    EXPECT_EQ(lu.LireEntier("FORM1", "Width", 0), 800);
    EXPECT_FALSE(LireTout(Param() + ".illisible").empty());

    Ecrire("[AXES\nAvMax(0)==12\n=3\n[]\nValPas(0)\n\n[BOOLEAN]\nSimulation=oui\n");
    FormCreate();
    EXPECT_EQ(AvMax[0], 1000);
    EXPECT_TRUE(Simulation);
}

TEST_F(Configuration, AReadOnlyFolderSaysOnceAtQuitThatItCannotBeWritten)
{
    ::chmod(dossier.c_str(), 0555);
    FormCreate();
    CreerFenetresSecondaires();
    vue.messages.clear();
    Quitter1Click();
    FormClose();
    EXPECT_EQ(vue.messages, (std::vector<std::string> { "Impossible d'écrire dans " + Param() }));
}

TEST_F(Configuration, AReadOnlyFileIsReportedButStartUpAndShutDownGoOn)
{
    Ecrire("[AXES]\nAvMax(0)=1200\n");
    ::chmod(Param().c_str(), 0444);
    DemarrerPuisArreter();
    EXPECT_EQ(AvMax[0], 1200);
    EXPECT_EQ(LarCreneau, 10);
    ASSERT_FALSE(vue.messages.empty());
    EXPECT_EQ(vue.messages.front(), "Impossible d'écrire dans " + Param());
    EXPECT_EQ(LireTout(Param()), "[AXES]\nAvMax(0)=1200\n");
}

TEST_F(Configuration, TheProgramFolderHoldsTheFilesOnlyWhenItIsAPortableInstallation)
{
    const std::string config = dossier + "xdg/";
    const char* ancien = std::getenv("XDG_CONFIG_HOME");
    const std::string sauve = ancien ? ancien : "";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (const char* d : { "portable", "usr", "usr/bin", "usr/share", "usr/share/virmak" })
        ::mkdir((dossier + d).c_str(), 0755);
    const struct {
        std::string demande, executable, attendu;
    } cas[] = {
        { "", dossier + "portable", dossier + "portable/" },
        { "", dossier + "usr/bin", config + "virmak/" },
        { dossier + "autre", dossier + "usr/bin", dossier + "autre/" },
    };
    for (const auto& c : cas)
        EXPECT_EQ(ChoisirRepertoire(c.demande, c.executable), c.attendu) << c.executable;
    struct stat st;
    EXPECT_EQ(::stat((config + "virmak").c_str(), &st), 0);
    if (ancien)
        ::setenv("XDG_CONFIG_HOME", sauve.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}
