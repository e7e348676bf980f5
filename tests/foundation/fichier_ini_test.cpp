#include "foundation/cn_varia.h"
#include "foundation/fichier_ini.h"
#include "support/support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace virmak;
using namespace virmak::test;

class FichierCles : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        ini.Ouvrir(Fichier("Essai.Ini"));
    }
    FichierIni ini;
};

TEST(CleIndexeeNom, BaseThenIndexInParentheses)
{
    EXPECT_EQ(CleIndexee("AvMax", 1), "AvMax(1)");
    EXPECT_EQ(CleIndexee("OUTIL", 99), "OUTIL(99)");
    EXPECT_EQ(CleIndexee("ValIncr", 10), "ValIncr(10)");
}

TEST_F(FichierCles, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt)
{
    EXPECT_EQ(ini.LireEntier("AXES", "AvMax(0)", 1000), 1000);
    EXPECT_EQ(ini.LireChaine("FICHIERS", "NomAide", "aide"), "aide");
    EXPECT_TRUE(ini.EcrireEntier("AXES", "AvMax(0)", 1500));
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")), "[AXES]\r\nAvMax(0)=1500\r\n");
}

TEST_F(FichierCles, EveryTypeRoundTripsAndNamesIgnoreCase)
{
    ini.EcrireChaine("FICHIERS", "NomRepProg", "/home/op/pièces/");
    ini.EcrireEntier("AXES", "Decalage(2)", -3);
    ini.EcrireBooleen("BOOLEAN", "Simulation", false);
    ini.EcrireReel("AXES", "ValPas(0)", 0.0025);
    EXPECT_EQ(ini.LireChaine("fichiers", "NOMREPPROG", ""), "/home/op/pièces/");
    EXPECT_EQ(ini.LireEntier("Axes", "decalage(2)", 0), -3);
    EXPECT_FALSE(ini.LireBooleen("boolean", "simulation", true));
    EXPECT_DOUBLE_EQ(ini.LireReel("AXES", "VALPAS(0)", 1), 0.0025);
    EXPECT_NE(LireTout(Fichier("Essai.Ini")).find("ValPas(0)=0.0025\r\n"), std::string::npos);
}

TEST_F(FichierCles, UnreadableValuesSilentlyTakeTheirDefault)
{
    EcrireTout(
        Fichier("Essai.Ini"), "[A]\nEntier=douze\nVide=\nHexa=0x10\nReel=1,5\nMauvais=1.5mm\nBool=2\n");
    EXPECT_EQ(ini.LireEntier("A", "Entier", 7), 7);
    EXPECT_EQ(ini.LireEntier("A", "Vide", 7), 7);
    EXPECT_EQ(ini.LireEntier("A", "Hexa", 7), 16);
    EXPECT_DOUBLE_EQ(ini.LireReel("A", "Reel", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.LireReel("A", "Mauvais", 9), 9);
    EXPECT_DOUBLE_EQ(ini.LireReel("A", "Vide", 9), 9);
    EXPECT_TRUE(ini.LireBooleen("A", "Bool", false));
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(FichierCles, SeesChangesMadeByAnotherProgram)
{
    ini.EcrireEntier("A", "N", 1);
    EcrireTout(Fichier("Essai.Ini"), "[A]\r\nN=22\r\nAutre=3\r\n");
    EXPECT_EQ(ini.LireEntier("A", "N", 0), 22);
    ini.EcrireEntier("A", "N", 5);
    EXPECT_EQ(ini.LireEntier("A", "Autre", 0), 3);
}

TEST_F(FichierCles, AReadOnlyFileIsReadOnceAndNeverWritten)
{
    EcrireTout(Fichier("Essai.Ini"), "[A]\r\nN=1\r\n");
    ini.Ouvrir(Fichier("Essai.Ini"), true);
    EXPECT_EQ(ini.LireEntier("A", "N", 0), 1);
    EcrireTout(Fichier("Essai.Ini"), "[A]\r\nN=22\r\n");
    EXPECT_EQ(ini.LireEntier("A", "N", 0), 1);
    EXPECT_FALSE(ini.EcrireEntier("A", "N", 5));
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")), "[A]\r\nN=22\r\n");
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(FichierCles, HandEditedCommentsAndOrderSurviveARewrite)
{
    EcrireTout(Fichier("Essai.Ini"), "; réglages de l'atelier\n[B]\nz=1\na=2\n[A]\nk=3\n");
    ini.EcrireEntier("B", "a", 4);
    const std::string contenu = LireTout(Fichier("Essai.Ini"));
    EXPECT_NE(contenu.find("; réglages de l'atelier"), std::string::npos);
    EXPECT_LT(contenu.find("[B]"), contenu.find("[A]"));
    EXPECT_LT(contenu.find("z=1"), contenu.find("a=4"));
}

TEST_F(FichierCles, ABatchReachesTheFileInOneRewrite)
{
    ini.DebutLot();
    ini.EcrireEntier("A", "Un", 1);
    ini.EcrireEntier("A", "Deux", 2);
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")), "");
    EXPECT_EQ(ini.LireEntier("A", "Deux", 0), 2);
    EXPECT_TRUE(ini.FinLot());
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")), "[A]\r\nUn=1\r\nDeux=2\r\n");
}

TEST_F(FichierCles, ARefusedWriteIsReportedWithTheFullPathAndTheFileIsKept)
{
    EcrireTout(Fichier("Essai.Ini"), "[A]\nN=1\n");
    ::chmod(Fichier("Essai.Ini").c_str(), 0444);
    EXPECT_FALSE(ini.EcrireEntier("A", "N", 2));
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], "Impossible d'écrire dans " + Fichier("Essai.Ini"));
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")), "[A]\nN=1\n");
    EXPECT_EQ(ini.LireEntier("A", "N", 0), 1);
}

TEST_F(FichierCles, AFileInAMissingFolderIsRefusedOncePerBatch)
{
    ini.Ouvrir(Fichier("absent/Essai.Ini"));
    ini.DebutLot();
    ini.EcrireEntier("A", "Un", 1);
    ini.EcrireEntier("A", "Deux", 2);
    EXPECT_FALSE(ini.FinLot());
    EXPECT_EQ(vue.messages.size(), 1u);
}

TEST_F(FichierCles, ABinaryFileIsSetAsideRatherThanOverwritten)
{
    const std::string binaire("\x7F"
                              "ELF\0\0\x01\x02[A]\nN=5\n",
        16);
    EcrireTout(Fichier("Essai.Ini"), binaire);
    EXPECT_EQ(ini.LireEntier("A", "N", 9), 9);
    EXPECT_TRUE(ini.EcrireEntier("A", "N", 3));
    EXPECT_EQ(LireTout(Fichier("Essai.Ini.illisible")), binaire);
    EXPECT_EQ(ini.LireEntier("A", "N", 0), 3);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_NE(vue.messages[0].find("illisible"), std::string::npos);
}

TEST_F(FichierCles, AFileThatExistsButCannotBeReadIsNeverWritten)
{
    const std::string chemin = Fichier("Essai.Ini");
    const struct {
        const char* quoi;
        void (*creer)(const std::string&);
    } cas[] = {
        { "sans droit de lecture",
            [](const std::string& c) {
                EcrireTout(c, "[A]\nN=5\n");
                ::chmod(c.c_str(), 0200);
            } },
        { "dossier", [](const std::string& c) { ::mkdir(c.c_str(), 0755); } },
        { "tube", [](const std::string& c) { ::mkfifo(c.c_str(), 0644); } },
    };
    for (const auto& c : cas) {
        std::filesystem::remove_all(chemin);
        c.creer(chemin);
        vue.messages.clear();
        ini.Ouvrir(chemin);
        EXPECT_EQ(ini.LireEntier("A", "N", 9), 9) << c.quoi;
        EXPECT_TRUE(ini.Illisible()) << c.quoi;
        EXPECT_FALSE(ini.EcrireEntier("A", "N", 3)) << c.quoi;
        ini.DebutLot();
        ini.EcrireEntier("A", "M", 1);
        EXPECT_FALSE(ini.FinLot()) << c.quoi;
        ASSERT_EQ(vue.messages.size(), 1u) << c.quoi;
        EXPECT_EQ(vue.messages[0].rfind("Le fichier " + chemin + " ne peut pas être lu (", 0), 0u)
            << vue.messages[0];
        EXPECT_NE(vue.messages[0].find("valeurs par défaut"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(chemin + ".illisible")) << c.quoi;
    }
    ::chmod(chemin.c_str(), 0600);
    std::filesystem::remove_all(chemin);
    EcrireTout(chemin, "[A]\nN=5\n");
    ::chmod(chemin.c_str(), 0200);
    ini.Ouvrir(chemin);
    ini.LireEntier("A", "N", 9);
    ini.EcrireEntier("A", "N", 3);
    ::chmod(chemin.c_str(), 0600);
    EXPECT_EQ(LireTout(chemin), "[A]\nN=5\n");
}

TEST_F(FichierCles, EveryUnreadableFileKeepsItsOwnCopy)
{
    const std::string chemin = Fichier("Essai.Ini");
    const std::string binaires[]
        = { std::string("A\0un", 4), std::string("B\0deux", 6), std::string("C\0", 2) };
    for (const std::string& b : binaires) {
        EcrireTout(chemin, b);
        ini.Ouvrir(chemin);
        EXPECT_TRUE(ini.EcrireEntier("A", "N", 1));
    }
    EXPECT_EQ(LireTout(chemin + ".illisible"), binaires[0]);
    EXPECT_EQ(LireTout(chemin + ".illisible.2"), binaires[1]);
    EXPECT_EQ(LireTout(chemin + ".illisible.3"), binaires[2]);
    ASSERT_EQ(vue.messages.size(), 3u);
    EXPECT_NE(vue.messages[1].find("conservé sous " + chemin + ".illisible.2"), std::string::npos);
}

TEST_F(FichierCles, ALinkedFileIsRewrittenAtItsTargetAndStaysALink)
{
    ::mkdir(Fichier("reel").c_str(), 0755);
    EcrireTout(Fichier("reel/Essai.Ini"), "[A]\nN=1\n");
    std::filesystem::remove(Fichier("Essai.Ini"));
    std::filesystem::create_symlink("reel/Essai.Ini", Fichier("Essai.Ini"));
    ini.Ouvrir(Fichier("Essai.Ini"));
    EXPECT_TRUE(ini.EcrireEntier("A", "N", 2));
    EXPECT_TRUE(std::filesystem::is_symlink(Fichier("Essai.Ini")));
    EXPECT_EQ(LireTout(Fichier("reel/Essai.Ini")), "[A]\r\nN=2\r\n");
}

TEST_F(FichierCles, LineBreaksAndNulInAValueCannotAddKeysOrSections)
{
    const std::string valeur = std::string("/tmp/a\r\n[PORT]\nPortLPT=1\n", 25) + '\0' + "x";
    EXPECT_TRUE(ini.EcrireChaine("FICHIERS", "NomRepProg", valeur));
    FichierIni lu;
    lu.Ouvrir(Fichier("Essai.Ini"));
    EXPECT_EQ(lu.Sections(), (std::vector<std::string> { "FICHIERS" }));
    EXPECT_FALSE(lu.CleExiste("PORT", "PortLPT"));
    EXPECT_EQ(lu.LireChaine("FICHIERS", "NomRepProg", ""), "/tmp/a  [PORT] PortLPT=1  x");
}

TEST_F(FichierCles, ARewriteKeepsTheLayoutOfAHandEditedFile)
{
    EcrireTout(
        Fichier("Essai.Ini"), "; atelier\n[A]\nk=1\n  ; réglé à la main\n[B]\n  z = 2\nw=0\n\n\n[C]\nq=3\n");
    ini.DebutLot();
    ini.EcrireEntier("b", "Z", 5);
    ini.EcrireEntier("A", "neuf", 7);
    ini.EcrireEntier("D", "x", 1);
    ini.EcrireEntier("D", "y", 2);
    EXPECT_TRUE(ini.FinLot());
    EXPECT_EQ(LireTout(Fichier("Essai.Ini")),
        "; atelier\r\n[A]\r\nk=1\r\nneuf=7\r\n  ; réglé à la main\r\n[B]\r\n  z=5\r\nw=0\r\n\r\n\r\n"
        "[C]\r\nq=3\r\n\r\n[D]\r\nx=1\r\ny=2\r\n");
}
