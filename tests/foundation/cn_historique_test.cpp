#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/texte.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace virmak;
using namespace virmak::test;

namespace {

const std::string Entete = std::string(EnteteHistorique1) + "\r\n" + EnteteHistorique2 + "\r\n";

class Historique : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        ChargerConfiguration();
    }
    std::string His() const { return Fichier("Virmak.His"); }
    std::string Contenu() const { return LireTout(His()); }
    const std::vector<std::string>& Liste() const { return FormHist.ListBoxHist.Lignes; }
    // The list holds exactly the lines of the file.
    void ListeEgaleFichier() const { EXPECT_EQ(Liste(), DecouperLignes(Contenu())); }
};

// A message line: day/month/year with four digits, 24-hour time.
bool EstLigneDatee(const std::string& ligne, const std::string& texte)
{
    static const std::regex forme(R"(^\d\d/\d\d/\d{4} à [0-2]\d:[0-5]\d:[0-5]\d --> (.*)$)");
    std::smatch m;
    return std::regex_match(ligne, m, forme) && m[1] == texte;
}

} // namespace

TEST_F(Historique, AMessageLineIsDayMonthYearAHeureArrowTextWhateverTheLocale)
{
    // Under C or English settings the regional short date is month first.
    for (const char* locale : { "C", "en_US.UTF-8", "fr_FR.UTF-8" }) {
        const std::string avant = std::setlocale(LC_TIME, nullptr);
        std::setlocale(LC_TIME, locale);
        const std::time_t t = std::time(nullptr);
        const std::string ligne = LigneHistorique("CYCLE TERMINE avec succès.");
        std::setlocale(LC_TIME, avant.c_str());
        std::tm local {};
        ::localtime_r(&t, &local);
        char jour[48];
        std::snprintf(
            jour, sizeof jour, "%02d/%02d/%04d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
        EXPECT_TRUE(EstLigneDatee(ligne, "CYCLE TERMINE avec succès.")) << locale << " " << ligne;
        EXPECT_EQ(ligne.substr(0, 10), jour) << locale;
        EXPECT_EQ(ligne.find(" --> "), ligne.find(" à ") + std::string(" à ").size() + 8);
    }
}

TEST_F(Historique, FirstStartUpCreatesTheFileWithItsHeaderThenAnEmptyLineAndTheBanner)
{
    CreerHistorique();
    const auto lignes = DecouperLignes(Contenu());
    ASSERT_EQ(lignes.size(), 4u);
    EXPECT_EQ(Contenu().substr(0, Entete.size()), Entete);
    EXPECT_EQ(lignes[2], "");
    EXPECT_TRUE(EstLigneDatee(lignes[3], BanniereLancement));
    ListeEgaleFichier();
    EXPECT_FALSE(FormHist.Visible);
    EXPECT_EQ(FormHist.Left, 0);
    EXPECT_EQ(FormHist.Top, 0);
    EXPECT_EQ(FormHist.Caption, "Virmak - Historique des messages");
}

TEST_F(Historique, TwoStartUpsInARowEachAddAnEmptyLineAndTheStartBannerAndShutDownTheStopBanner)
{
    EcrireTout(His(), Entete + "\r\n01/02/06 à 10:00:00 --> ancien\r\n");
    CreerHistorique();
    CreerHistorique();
    DetruireHistorique();
    const auto lignes = DecouperLignes(Contenu());
    ASSERT_EQ(lignes.size(), 9u);
    EXPECT_EQ(lignes[3], "01/02/06 à 10:00:00 --> ancien");
    EXPECT_EQ(lignes[4], "");
    EXPECT_TRUE(EstLigneDatee(lignes[5], BanniereLancement));
    EXPECT_EQ(lignes[6], "");
    EXPECT_TRUE(EstLigneDatee(lignes[7], BanniereLancement));
    EXPECT_TRUE(EstLigneDatee(lignes[8], BanniereArret));
    // The list of the second run holds the whole file, its own lines last.
    ListeEgaleFichier();
    const std::string c = Contenu();
    size_t retours = 0;
    for (size_t i = c.find("\r\n"); i != std::string::npos; i = c.find("\r\n", i + 2))
        ++retours;
    EXPECT_EQ(retours, static_cast<size_t>(std::count(c.begin(), c.end(), '\n')));
}

TEST_F(Historique, EffacerLeavesTheTwoHeaderLinesAndTheNextMessageFollowsThemDirectly)
{
    CreerHistorique();
    MsgHistorique("DEPART cycle par bouton fenetre principale.");
    BtnHistEffacerClick();
    EXPECT_EQ(Contenu(), Entete);
    EXPECT_EQ(Liste(), (std::vector<std::string> { EnteteHistorique1, EnteteHistorique2 }));
    MsgHistorique("ARRET URGENCE bouton fenetre principale");
    const auto lignes = DecouperLignes(Contenu());
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_TRUE(EstLigneDatee(lignes[2], "ARRET URGENCE bouton fenetre principale"));
    ListeEgaleFichier();
}

TEST_F(Historique, AFailedWriteKeepsTheLineInTheListSaysSoOnceAndLetsTheCallerGoOn)
{
    CreerHistorique();
    const size_t avant = Liste().size();
    // A folder in place of the file refuses every append.
    std::filesystem::remove(His());
    std::filesystem::create_directory(His());
    MsgHistorique("ARRET URGENCE bouton fenetre principale");
    MsgHistorique("ARRET demandé par la machine.");
    ASSERT_EQ(Liste().size(), avant + 3);
    EXPECT_TRUE(EstLigneDatee(Liste()[avant], "ARRET URGENCE bouton fenetre principale"));
    EXPECT_TRUE(EstLigneDatee(Liste()[avant + 1], "Impossible d'écrire dans " + His()));
    EXPECT_TRUE(EstLigneDatee(Liste()[avant + 2], "ARRET demandé par la machine."));
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(Historique, HalfALineWrittenOnAFullDiskIsTakenBackSoTheNextLineStartsOnItsOwn)
{
    CreerHistorique();
    const std::string avant = Contenu();
    // A child whose files may not grow more than a few bytes: the disk full.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlimit limite { avant.size() + 10, avant.size() + 10 };
        ::setrlimit(RLIMIT_FSIZE, &limite);
        std::signal(SIGXFSZ, SIG_IGN);
        MsgHistorique("ARRET URGENCE bouton fenetre principale");
        ::_exit(0);
    }
    int statut = 0;
    ASSERT_EQ(::waitpid(pid, &statut, 0), pid);
    EXPECT_EQ(Contenu(), avant);
    MsgHistorique("CYCLE TERMINE avec succès.");
    const std::vector<std::string> lignes = DecouperLignes(Contenu());
    EXPECT_TRUE(EstLigneDatee(lignes.back(), "CYCLE TERMINE avec succès.")) << lignes.back();
}

TEST_F(Historique, AReadOnlyFileIsNotWrittenAndTheFailureIsShownInTheList)
{
    CreerHistorique();
    const std::string avant = Contenu();
    ::chmod(His().c_str(), 0444);
    MsgHistorique("DEPART cycle par bouton fenetre principale.");
    EXPECT_EQ(Contenu(), avant);
    EXPECT_TRUE(EstLigneDatee(Liste().back(), "Impossible d'écrire dans " + His()));
    // "Effacer" refuses it too and says so again.
    BtnHistEffacerClick();
    EXPECT_EQ(Contenu(), avant);
    EXPECT_EQ(Liste().size(), 3u);
    EXPECT_TRUE(EstLigneDatee(Liste().back(), "Impossible d'écrire dans " + His()));
}

TEST_F(Historique, AStartUpThatCannotReadOrWriteStillShowsItsBanner)
{
    std::filesystem::create_directory(His());
    CreerHistorique();
    ASSERT_EQ(Liste().size(), 3u);
    EXPECT_EQ(Liste()[0], "");
    EXPECT_TRUE(EstLigneDatee(Liste()[1], "Impossible d'écrire dans " + His()));
    EXPECT_TRUE(EstLigneDatee(Liste()[2], BanniereLancement));
}

TEST_F(Historique, Windows1252LinesOfAnOlderInstallationAreReadWithoutLossAndKeptAsTheyWere)
{
    const std::string ancien = Entete + "\r\n07/12/06 \xE0 03:46:17 --> CYCLE TERMINE avec succ\xE8s.\r\n";
    EcrireTout(His(), ancien);
    CreerHistorique();
    EXPECT_EQ(Liste()[3], "07/12/06 à 03:46:17 --> CYCLE TERMINE avec succès.");
    EXPECT_EQ(Contenu().substr(0, ancien.size()), ancien);
    const std::string ajoute = Contenu().substr(ancien.size());
    EXPECT_TRUE(EstUtf8Valide(ajoute));
}

TEST_F(Historique, ALastLineLeftWithoutItsEndIsClosedBeforeTheRunsEmptyLine)
{
    EcrireTout(His(), Entete + "07/12/06 à 03:46:17 --> coupé");
    CreerHistorique();
    const auto lignes = DecouperLignes(Contenu());
    ASSERT_EQ(lignes.size(), 5u);
    EXPECT_EQ(lignes[2], "07/12/06 à 03:46:17 --> coupé");
    EXPECT_EQ(lignes[3], "");
    ListeEgaleFichier();
}

TEST_F(Historique, AMessageStaysOneLineWhateverItHolds)
{
    CreerHistorique();
    MsgHistorique("Chargement de /tmp/a\r\nb.iso");
    MsgHistorique(std::string("Chargement de pi\xE8"
                              "ce.iso"));
    EXPECT_TRUE(EstLigneDatee(Liste()[Liste().size() - 2], "Chargement de /tmp/a  b.iso"));
    EXPECT_TRUE(EstLigneDatee(Liste().back(), "Chargement de pièce.iso"));
    ListeEgaleFichier();
}

TEST_F(Historique, VoirShowsTheWindow)
{
    CreerHistorique();
    Voir1Click();
    EXPECT_TRUE(FormHist.Visible);
}
