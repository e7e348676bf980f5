#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "pupitre/programme.h"
#include "support/programme.h"
#include "support/support.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace virmak;
using namespace virmak::test;

using Fichiers = AvecProgramme;

TEST_F(Fichiers, LoadingFillsTheListAndPreparesTheProgram)
{
    const std::string chemin = Fichier("carre.iso");
    EcrireTout(chemin,
        "(pi\xE8"
        "ce)\r\nG1 X10 Y0 F200\r\n\r\n  G1 X10 Y10  \nM30");
    TabOutils[4].CorDyn[0] = 0.2;
    TabOutils[4].CorDyn[1] = 0.3;
    ZoomApercu = 4;
    ASSERT_TRUE(ChargerProgramme(chemin));
    EXPECT_EQ(Form1.ListBoxProg1.Lignes,
        (std::vector<std::string> { "(pièce)", "G1 X10 Y0 F200", "", "  G1 X10 Y10  ", "M30" }));
    EXPECT_EQ(NomRepProg, dossier);
    EXPECT_EQ(Form1.GroupBox5.Texte, "Programme : " + NomPourAffichage(chemin));
    EXPECT_EQ(FormHist.ListBoxHist.Lignes.back().substr(FormHist.ListBoxHist.Lignes.back().find(" --> ")),
        " --> Chargement du programme \"" + chemin + "\".");
    EXPECT_EQ(TabOutils[4].CorDyn[0], 0);
    EXPECT_EQ(TabOutils[4].CorDyn[1], 0);
    EXPECT_EQ(ZoomApercu, 1.0);
    EXPECT_TRUE(ProgAnalyse);
    EXPECT_EQ(NbLignesProg, 5);
    EXPECT_TRUE(Form1.BitBtnCycle.Actif);
    EXPECT_TRUE(Form1.BitBtnPasPas.Actif);
    EXPECT_TRUE(Form1.BitBtnEnregistrer.Actif);
    EXPECT_TRUE(Form1.BitBtnBloc.Actif);
    EXPECT_GE(vue.traitements, 1);
}

TEST_F(Fichiers, AFileThatCannotBeReadChangesNothing)
{
    const auto avant = Form1.ListBoxProg1.Lignes;
    EXPECT_FALSE(ChargerProgramme(Fichier("absent.iso")));
    EXPECT_EQ(Form1.ListBoxProg1.Lignes, avant);
    EXPECT_FALSE(Form1.BitBtnCycle.Actif);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(
        vue.messages[0], "Impossible de lire le fichier " + Fichier("absent.iso") + " : il n'existe pas.");
}

TEST_F(Fichiers, OnlyARegularFileWithinTheSizeLimitIsReadAsAProgram)
{
    ::mkfifo(Fichier("tube").c_str(), 0644);
    ::mkdir(Fichier("dossier.iso").c_str(), 0755);
    EcrireTout(Fichier("enorme.iso"), ""); // made sparse just past the limit
    ASSERT_EQ(::truncate(Fichier("enorme.iso").c_str(), static_cast<off_t>(TailleFichierMaxi) + 1), 0);
    const struct {
        std::string chemin, raison;
    } cas[] = {
        { "/dev/zero", "c'est un dossier, un périphérique ou un tube, pas un fichier ordinaire" },
        { Fichier("tube"), "c'est un dossier, un périphérique ou un tube, pas un fichier ordinaire" },
        { Fichier("dossier.iso"), "c'est un dossier, un périphérique ou un tube, pas un fichier ordinaire" },
        { Fichier("enorme.iso"), "il dépasse la taille maximale de 16 Mo" },
    };
    const auto avant = Form1.ListBoxProg1.Lignes;
    for (const auto& c : cas) {
        vue.messages.clear();
        EXPECT_FALSE(ChargerProgramme(c.chemin)) << c.chemin;
        EXPECT_EQ(vue.messages,
            (std::vector<std::string> {
                "Impossible de lire le fichier " + c.chemin + " : " + c.raison + "." }));
        EXPECT_EQ(Form1.ListBoxProg1.Lignes, avant);
    }
}

TEST_F(Fichiers, AFileWithNulBytesIsRefusedWithOneMessageAndChangesNothing)
{
    std::string binaire;
    for (int i = 0; i < 4096; ++i)
        binaire += static_cast<char>(i * 37 % 256);
    EcrireTout(Fichier("binaire.iso"), binaire);
    const auto avant = Form1.ListBoxProg1.Lignes;
    const auto historique = FormHist.ListBoxHist.Lignes.size();
    EXPECT_FALSE(ChargerProgramme(Fichier("binaire.iso")));
    EXPECT_EQ(vue.messages,
        (std::vector<std::string> { "Le fichier " + Fichier("binaire.iso")
            + " n'est pas un programme ISO (il contient des octets nuls) : il n'est pas chargé." }));
    EXPECT_EQ(Form1.ListBoxProg1.Lignes, avant);
    EXPECT_EQ(FormHist.ListBoxHist.Lignes.size(), historique);
    EXPECT_FALSE(Form1.BitBtnCycle.Actif);
}

TEST_F(Fichiers, AProgramTheAnalysisRefusedCanNeitherRunNorBeSaved)
{
    EcrireTout(Fichier("CncParam.Ini"), "[GCODES]\nMaxLProg=3\n");
    FormCreate();
    EcrireTout(Fichier("long.iso"), "X1\nX2\nX3\nX4\n");
    ASSERT_TRUE(ChargerProgramme(Fichier("long.iso")));
    for (const Controle* c :
        { &Form1.BitBtnCycle, &Form1.BitBtnPasPas, &Form1.BitBtnEnregistrer, &Form1.BitBtnBloc })
        EXPECT_FALSE(c->Actif);
    EXPECT_FALSE(SauverProgramme(Fichier("p")));
    EXPECT_FALSE(std::filesystem::exists(Fichier("p.ISO")));
    EXPECT_FALSE(std::filesystem::exists(Fichier("p.MCH")));
    EXPECT_EQ(vue.messages.back(), "Le programme n'a pas pu être analysé : il n'est pas enregistré.");

    EcrireTout(Fichier("court.iso"), "X1\n");
    ASSERT_TRUE(ChargerProgramme(Fichier("court.iso")));
    EXPECT_TRUE(Form1.BitBtnCycle.Actif);
    EXPECT_TRUE(Form1.BitBtnEnregistrer.Actif);
}

TEST_F(Fichiers, HugeLinesLoadWithoutHarm)
{
    EcrireTout(
        Fichier("long.iso"), "G1 F100 X" + std::string(1 << 20, '9') + "\n" + std::string(1 << 20, 'G'));
    EXPECT_TRUE(ChargerProgramme(Fichier("long.iso")));
    EXPECT_EQ(Form1.ListBoxProg1.Lignes.size(), 2u);
    EXPECT_TRUE(ProgAnalyse);
}

TEST_F(Fichiers, TheOpenDialogOffersProgramsThenAllFilesInTheProgramFolder)
{
    // A fresh configuration opens on the example programs.
    EXPECT_TRUE(NomRepProg.ends_with("/exemples/")) << NomRepProg;
    NomRepProg = "/srv/pieces/";
    vue.reponseOuvrir.clear();
    const auto avant = Form1.ListBoxProg1.Lignes;
    BitBtnChargerClick();
    EXPECT_EQ(vue.ouverture.titre, "Charger un programme");
    EXPECT_EQ(vue.ouverture.filtres,
        (std::vector<std::string> {
            "Programmes ISO (*.iso *.nc *.ngc *.gcode *.tap *.txt)|*.iso *.nc *.ngc *.gcode *.tap *.txt",
            "Tous les fichiers (*)|*" }));
    EXPECT_EQ(vue.ouverture.filtre, 0);
    EXPECT_EQ(vue.ouverture.repertoire, "/srv/pieces/");
    EXPECT_EQ(Form1.ListBoxProg1.Lignes, avant);
    EXPECT_EQ(NomRepProg, "/srv/pieces/");

    EcrireTout(Fichier("a.nc"), "G0 X1\n");
    vue.reponseOuvrir = Fichier("a.nc");
    BitBtnChargerClick();
    EXPECT_EQ(Form1.ListBoxProg1.Lignes, (std::vector<std::string> { "G0 X1" }));
}

TEST_F(Fichiers, SavingWritesTheProgramAndItsListingWithIsoAlwaysAppended)
{
    Lignes({ "G1 X10 Y0 F100", "Z-1" });
    ASSERT_TRUE(Analyser());
    vue.reponseSauver = Fichier("piece.ISO");
    BitBtnEnregistrerClick();
    EXPECT_EQ(LireTout(Fichier("piece.ISO.ISO")), "G1 X10 Y0 F100\r\nZ-1\r\n");
    EXPECT_EQ(LireTout(Fichier("piece.ISO.MCH")),
        "L  0  G 0  X   0.000  Y   0.000  Z   0.000 > ENT=0 COR=   0.000\r\n"
        "L  0  G 1  X  10.000  Y   0.000  Z   0.000 > ENT=1 COR=   0.000\r\n"
        "L  1  G 1  X  10.000  Y   0.000  Z  -1.000 > ENT=1 COR=   0.000\r\n");
    vue.reponseSauver.clear();
    const int avant = vue.dialogues;
    BitBtnEnregistrerClick();
    EXPECT_EQ(vue.dialogues, avant + 1);
    EXPECT_EQ(vue.repSauvegarde, NomRepProg);
}

TEST_F(Fichiers, AProgramLoadedFromAFolderThatCannotBeWrittenIsSavedFromHome)
{
    const std::string maison = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dossier.c_str(), 1);
    NomRepProg = "/usr/share/virmak/absent/";
    BitBtnEnregistrerClick();
    EXPECT_EQ(vue.repSauvegarde, dossier);
    ::setenv("HOME", maison.c_str(), 1);
}

TEST_F(Fichiers, AFailedSaveLeavesTheEarlierFilesWholeAndSaysSo)
{
    Lignes({ "G1 X1 F100" });
    ASSERT_TRUE(SauverProgramme(Fichier("p")));
    const std::string ancien = LireTout(Fichier("p.MCH"));
    ::chmod(Fichier("p.MCH").c_str(), 0444);
    Lignes({ "G1 X2 F100", "G1 X3" });
    EXPECT_FALSE(SauverProgramme(Fichier("p")));
    EXPECT_EQ(LireTout(Fichier("p.MCH")), ancien);
    ASSERT_FALSE(vue.messages.empty());
    EXPECT_EQ(vue.messages.back(), "Impossible d'écrire dans " + Fichier("p.MCH"));
    EXPECT_FALSE(SauverProgramme(Fichier("absent/p")));
}
