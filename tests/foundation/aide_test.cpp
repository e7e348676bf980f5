#include "foundation/aide.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <unistd.h>

using namespace virmak;
namespace fs = std::filesystem;

namespace {

class Aide : public ::testing::Test {
protected:
    void SetUp() override
    {
        racine = fs::temp_directory_path() / ("virmak_aide_" + std::to_string(::getpid()));
        fs::remove_all(racine);
        for (const char* d : { "config", "bin", "share/virmak" })
            fs::create_directories(racine / d);
    }
    void TearDown() override { fs::remove_all(racine); }
    std::string D(const char* d) const { return (racine / d).string(); }
    void Creer(const std::string& chemin) const
    {
        fs::create_directories(fs::path(chemin).parent_path());
        std::ofstream(chemin) << "<html></html>";
    }
    fs::path racine;
};

} // namespace

TEST(PagesAide, EachContextIsAPageBesideTheIndexAndAWindowsHelpFallsBackToTheDefault)
{
    const struct {
        const char* nom;
        int contexte;
        const char* page;
    } cas[] = {
        { "aide/index.html", 0, "aide/index.html" },
        { "aide/index.html", 1004, "aide/1004.html" },
        { "", 1021, "aide/1021.html" },
        { "AideVirmakV1_0.chm", 0, "aide/index.html" },
        { "AIDE.CHM", 1031, "aide/1031.html" },
        { "index.html", 1002, "1002.html" },
        { "/opt/doc/sommaire.htm", 1008, "/opt/doc/1008.html" },
        { "/opt/doc/sommaire.htm", 0, "/opt/doc/sommaire.htm" },
    };
    for (const auto& c : cas)
        EXPECT_EQ(PageAide(c.nom, c.contexte), c.page) << c.nom << " " << c.contexte;
}

TEST(PagesAide, SearchesTheConfigurationThenTheProgramThenTheInstalledShareThenTheSources)
{
    const auto d = DossiersAide("/home/op/.config/virmak/", "/usr/bin");
    ASSERT_GE(d.size(), 3u);
    EXPECT_EQ(d[0], "/home/op/.config/virmak");
    EXPECT_EQ(d[1], "/usr/bin");
    EXPECT_EQ(d[2], "/usr/share/virmak");
    // Portable: the configuration is the program's folder, searched once.
    const auto portable = DossiersAide("/opt/virmak/", "/opt/virmak");
    EXPECT_EQ(std::count(portable.begin(), portable.end(), "/opt/virmak"), 1);
    EXPECT_TRUE(fs::exists(fs::path(portable.back()) / "aide" / "index.html")) << portable.back();
}

TEST_F(Aide, TheFirstFolderHoldingThePageWinsAndAContextWithoutPageOpensTheIndex)
{
    Creer(D("share/virmak") + "/aide/index.html");
    Creer(D("share/virmak") + "/aide/1004.html");
    Creer(D("config") + "/aide/1002.html");
    const std::vector<std::string> dossiers = { D("config"), D("bin"), D("share/virmak") };
    const struct {
        int contexte;
        std::string attendu;
    } cas[] = {
        { 1004, D("share/virmak") + "/aide/1004.html" },
        { 1002, D("config") + "/aide/1002.html" },
        { 1099, D("share/virmak") + "/aide/index.html" },
        { 0, D("share/virmak") + "/aide/index.html" },
    };
    for (const auto& c : cas)
        EXPECT_EQ(CheminAide("AideVirmakV1_0.chm", c.contexte, dossiers), c.attendu) << c.contexte;
    // A folder named like the page is not a page.
    fs::create_directories(D("bin") + "/aide/1004.html");
    EXPECT_EQ(CheminAide("", 1004, { D("bin"), D("share/virmak") }), D("share/virmak") + "/aide/1004.html");
}

TEST_F(Aide, NoHelpAnywhereGivesAnEmptyPathAndAMessageNamingThePageAndTheFolders)
{
    const std::vector<std::string> dossiers = { D("config"), D("bin") };
    EXPECT_EQ(CheminAide("aide/index.html", 1003, dossiers), "");
    EXPECT_EQ(MessageAideIntrouvable("aide/index.html", 1003, dossiers),
        "Fichier d'aide introuvable : aide/1003.html (cherché dans : " + D("config") + ", " + D("bin")
            + ").");
    EXPECT_EQ(CheminAide("/nulle/part/aide.html", 0, dossiers), "");
    EXPECT_EQ(MessageAideIntrouvable("/nulle/part/aide.html", 0, dossiers),
        "Fichier d'aide introuvable : /nulle/part/aide.html.");
}

TEST(PagesAide, EveryHelpButtonHasItsOwnPageInTheHelpShippedWithTheProgram)
{
    const std::vector<std::string> sources = { DossiersAide("", "").back() };
    for (int contexte :
        { 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1021, 1022, 1023, 1024, 1025, 1026, 1031 })
        EXPECT_EQ(fs::path(CheminAide(NomAideDefaut, contexte, sources)).filename(),
            std::to_string(contexte) + ".html");
    EXPECT_FALSE(CheminAide(NomAideDefaut, 0, sources).empty());
}

TEST(PagesAide, EveryLinkOfTheShippedHelpLeadsToAPageOfIt)
{
    const fs::path dossier = fs::path(DossiersAide("", "").back()) / "aide";
    const std::regex lien("href=\"([^\"#]*)(#([^\"]*))?\"");
    int liens = 0;
    for (const auto& entree : fs::directory_iterator(dossier)) {
        if (entree.path().extension() != ".html")
            continue;
        std::stringstream texte;
        texte << std::ifstream(entree.path()).rdbuf();
        const std::string page = texte.str();
        for (std::sregex_iterator i(page.begin(), page.end(), lien), fin; i != fin; ++i, ++liens) {
            const std::string cible = (*i)[1];
            EXPECT_TRUE(fs::is_regular_file(dossier / cible)) << entree.path().filename() << " -> " << cible;
            if ((*i)[3].matched) {
                std::stringstream visee;
                visee << std::ifstream(dossier / cible).rdbuf();
                EXPECT_NE(visee.str().find("id=\"" + (*i)[3].str() + "\""), std::string::npos)
                    << entree.path().filename() << " -> " << (*i).str();
            }
        }
    }
    EXPECT_GT(liens, 50);
}
