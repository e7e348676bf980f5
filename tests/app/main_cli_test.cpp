// virmak-cli run as a process, as scripts use it: exit status, messages,
// and a configuration folder it only reads.

#include "pupitre/duree_programme.h"
#include "support/support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace virmak;
using namespace virmak::test;
namespace fs = std::filesystem;

namespace {

struct Resultat {
    int statut = -1;
    std::string sortie, erreurs;
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class LigneDeCommande : public AvecConfiguration {
protected:
    Resultat Lancer(const std::vector<std::string>& args)
    {
        std::string commande = Quote(VIRMAK_CLI);
        for (const std::string& a : args)
            commande += " " + Quote(a);
        const std::string erreurs
            = dossier + "../" + fs::path(dossier).parent_path().filename().string() + ".err";
        commande += " 2>" + Quote(erreurs) + " </dev/null";
        Resultat r;
        std::FILE* f = ::popen(commande.c_str(), "r");
        char tampon[4096];
        size_t n = 0;
        while ((n = std::fread(tampon, 1, sizeof tampon, f)) > 0)
            r.sortie.append(tampon, n);
        const int etat = ::pclose(f);
        r.statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
        r.erreurs = LireTout(erreurs);
        fs::remove(erreurs);
        return r;
    }

    // Every file of the folder with its content and modification time.
    std::map<std::string, std::string> Photo() const
    {
        std::map<std::string, std::string> photo;
        for (const auto& e : fs::recursive_directory_iterator(dossier)) {
            struct stat st { };
            ::lstat(e.path().c_str(), &st);
            photo[e.path().string()] = LireTout(e.path().string()) + "@" + std::to_string(st.st_mtim.tv_sec)
                + "." + std::to_string(st.st_mtim.tv_nsec);
        }
        return photo;
    }
};

} // namespace

TEST_F(LigneDeCommande, OptionsCommandsAndFoldersGiveTheirExitStatusAndAFrenchMessage)
{
    EcrireTout(Fichier("un_fichier"), "");
    EcrireTout(Fichier("p.iso"), "G1 X1 F100\n");
    // 400 steps of X at 1000 a second, on the virtual clock; no pin is
    // assigned in this folder, so the usual wiring decodes them.
    EcrireTout(Fichier("e.iso"), "G1 X1 F600\n");
    // Then 400 Z steps down to 0.800 s, a dwell to 1.050 s, and the rapid
    // back up whose first step goes at once: 1.050 + 0.399 s.
    EcrireTout(Fichier("g82.iso"), "G1 X1 F600\nG82 X1 Z-1 R0 P250 F600\n");
    EcrireTout(Fichier("rayon.iso"), "G1 X1\nG2 X9 R1\n");
    EcrireTout(Fichier("sansf.iso"), "G1 X10\n");
    EcrireTout(Fichier("arc.iso"), "G0 X10 F0\nG2 X0 Y0 I5 J0\n");
    EcrireTout(Fichier("loin.iso"), "G0 X10000000\n");
    // With its outputs wired and 0.5 mm of travel, the virtual machine stops on
    // its switch as the window's would.
    const std::string cable = dossier + "cable/";
    fs::create_directory(cable);
    EcrireTout(cable + "CncParam.Ini",
        "[SORTIES]\nCBOutItem(0)=1\nCBOutItem(1)=2\nCBOutItem(4)=5\nCBOutItem(5)=6\nOutEnable=51\n"
        "[ENTREES]\nCBInItem(0)=1\nCBInItem(4)=5\nInEnable=136\n[MACHINE "
        "VIRTUELLE]\nCourse(0)=0.5\nCale=-1\n");
    const struct {
        std::vector<std::string> args;
        int statut;
        std::string sortie, erreurs; // expected within
    } cas[] = {
        { { "--help" }, 0, "usage : virmak-cli", "" },
        { { "--version" }, 0, "virmak-cli V 2.03", "" },
        { { "--rep", dossier, "config", "--help" }, 0, "usage : virmak-cli", "" },
        { { "--frobnique", "config" }, 2, "", "option inconnue : --frobnique" },
        { {}, 2, "", "usage : virmak-cli" },
        { { "--rep", dossier, "frobnique" }, 2, "", "commande inconnue : frobnique" },
        { { "--rep" }, 2, "", "l'option --rep demande un dossier" },
        { { "--rep", dossier, "config", "de trop" }, 2, "", "ne prend pas d'argument" },
        { { "--rep", dossier, "analyse" }, 2, "", "demande un seul PROGRAMME" },
        { { "--rep", dossier + "absnt", "config" }, 2, "", "n'existe pas ou n'est pas un dossier" },
        { { "--rep", Fichier("un_fichier"), "config" }, 2, "", "n'existe pas ou n'est pas un dossier" },
        { { "--rep", dossier, "analyse", "/dev/zero" }, 1, "", "pas un fichier ordinaire" },
        { { "--rep", dossier, "analyse", Fichier("absent.iso") }, 1, "", "il n'existe pas" },
        { { "--rep", dossier, "analyse", Fichier("p.iso") }, 0, "L  0  G 1  X   1.000", "" },
        { { "--rep", dossier, "analyse", Fichier("rayon.iso") }, 1, "", "Ligne 2 : le rayon R" },
        { { "--rep", dossier, "config" }, 0, "Port=aucun", "" },
        { { "--rep", dossier, "--machine-virtuelle", "config" }, 0, "Port=machine virtuelle", "" },
        // A fresh folder assigns no pin: the virtual machine takes the usual
        // wiring, and says so.
        { { "--rep", dossier, "execute", Fichier("e.iso") }, 0, "PasX=400\nPasY=0",
            "Câblage usuel pris pour la machine virtuelle" },
        { { "--rep", dossier, "execute", Fichier("e.iso") }, 0, "PositionX=1.000", "" },
        { { "--rep", dossier, "execute", Fichier("e.iso") }, 0, "Duree=0.400000\nFin=normale", "" },
        { { "--rep", dossier, "execute", Fichier("g82.iso") }, 0, "LectureX=1.000", "" },
        { { "--rep", dossier, "execute", Fichier("g82.iso") }, 0, "Duree=1.449000", "" },
        { { "--rep", dossier, "execute", Fichier("sansf.iso") }, 1, "",
            "Ligne 1 : déplacement en avance G1 sans" },
        { { "--rep", dossier, "execute", Fichier("arc.iso") }, 1, "",
            "Ligne 2 : déplacement en avance G2 sans" },
        { { "--rep", dossier, "execute", Fichier("loin.iso") }, 1, "", "plus de 2 000 000 000 pas" },
        { { "--rep", cable, "execute", Fichier("e.iso") }, 1, "PasX=201\n", "" },
        { { "--rep", cable, "execute", Fichier("e.iso") }, 1, "Fin=butée", "" },
        { { "--rep", cable, "origine" }, 0,
            "Message=Origine prise. Sans butée : Z Y.\n"
            "PositionX=-0.500\n",
            "" },
        { { "--rep", cable, "palpage" }, 0, "Message=Palpage Z fait, outil à 5.000 mm.\n", "" },
        { { "--rep", cable, "palpage" }, 0, "LectureZ=5.000\n", "" },
        { { "--rep", dossier, "palpage" }, 1, "Message=Palpage impossible : aucune entrée", "" },
        { { "--rep", dossier, "origine", "de trop" }, 2, "", "ne prend pas d'argument" },
        { { "--rep", dossier, "latence", "--duree", "0" }, 2, "", "la durée de la mesure doit dépasser 0" },
        { { "--rep", dossier, "latence", "--cpu", "4000" }, 2, "", "le processeur 4000 n'existe pas" },
    };
    for (const auto& c : cas) {
        const std::string nom = c.args.empty() ? "(rien)" : c.args.back();
        const Resultat r = Lancer(c.args);
        EXPECT_EQ(r.statut, c.statut) << nom << "\n" << r.erreurs;
        EXPECT_NE(r.sortie.find(c.sortie), std::string::npos) << nom << "\n" << r.sortie;
        EXPECT_NE(r.erreurs.find(c.erreurs), std::string::npos) << nom << "\n" << r.erreurs;
    }
    EXPECT_FALSE(fs::exists(dossier + "absnt"));
}

TEST_F(LigneDeCommande, ExecuteRunsEveryExampleOfAFreshFolderWhereTheReadoutsSay)
{
    const fs::path exemples = fs::path(VIRMAK_SOURCES_TESTS) / "exemples";
    int vus = 0;
    for (const auto& e : fs::directory_iterator(exemples)) {
        const Resultat r = Lancer({ "--rep", dossier, "execute", e.path().string() });
        EXPECT_EQ(r.statut, 0) << e.path() << "\n" << r.erreurs;
        EXPECT_NE(r.erreurs.find("Câblage usuel pris pour la machine virtuelle"), std::string::npos);
        EXPECT_EQ(r.sortie.find("PasX=0\n"), std::string::npos) << e.path();
        for (const char* axe : { "X", "Y", "Z" }) {
            const auto valeur = [&r](const std::string& cle) {
                const size_t debut = r.sortie.find(cle + "=");
                return debut == std::string::npos
                    ? std::string("?")
                    : r.sortie.substr(debut, r.sortie.find('\n', debut) - debut);
            };
            EXPECT_EQ(valeur(std::string("Position") + axe).substr(9),
                valeur(std::string("Lecture") + axe).substr(8))
                << e.path() << "\n"
                << r.sortie;
        }
        ++vus;
    }
    EXPECT_GE(vus, 5);
}

TEST_F(LigneDeCommande, TheConfigurationFolderIsOnlyRead)
{
    const std::string param = "; atelier\n[AXES]\nValPas(1)=1e308\n[BOOLEAN]\nSimulation=0\n";
    EcrireTout(Fichier("CncParam.Ini"), param);
    EcrireTout(Fichier("CncOutil.Ini"), "[OUTIL(1)]\nJauge(0)=6\n");
    EcrireTout(Fichier("p.iso"), "T1 G41 G1 X10 Y0 F100\nG1 X10 Y10\n");
    const auto avant = Photo();
    for (const std::string commande : { "config", "analyse", "programme", "parcours" }) {
        std::vector<std::string> args { "--rep", dossier, commande };
        if (commande != "config")
            args.push_back(Fichier("p.iso"));
        const Resultat r = Lancer(args);
        EXPECT_EQ(r.statut, 0) << commande << "\n" << r.erreurs;
        EXPECT_NE(r.erreurs.find("ValPas(1)=1e308"), std::string::npos) << commande;
    }
    EXPECT_EQ(Photo(), avant);
    EXPECT_NE(Lancer({ "--rep", dossier, "config" }).sortie.find("\nValPas(1)=0.0025\n"), std::string::npos);

    // A garbage file is said and fails the command, and is not set aside.
    EcrireTout(Fichier("CncOutil.Ini"), std::string("\0\0", 2));
    const auto binaire = Photo();
    const Resultat r = Lancer({ "--rep", dossier, "config" });
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreurs.find("CncOutil.Ini est illisible"), std::string::npos) << r.erreurs;
    EXPECT_EQ(Photo(), binaire);
}

TEST_F(LigneDeCommande, ExecuteFromEachLineEndsWhereTheFullRunEndsAndBothCommandsCheckTheTravel)
{
    EcrireTout(Fichier("CncOutil.Ini"), "[OUTIL(1)]\r\nJauge(0)=4\r\n");
    const std::vector<std::string> lignes = { "T1 M3", "G0 X5 Y5 Z2", "G1 Z-1 F300", "G2 X15 Y5 I10 J5",
        "G1 X20", "G0 Z3 M5", "G82 X20 Y0 Z-2 R-1 P100 F100", "X25", "G80 G0 Z5" };
    std::string texte;
    for (const std::string& l : lignes)
        texte += l + "\n";
    EcrireTout(Fichier("p.iso"), texte);
    auto fin = [](const std::string& sortie) { return sortie.substr(sortie.find("PositionX=")); };
    const Resultat complet = Lancer({ "--rep", dossier, "execute", Fichier("p.iso") });
    ASSERT_EQ(complet.statut, 0) << complet.erreurs;
    for (size_t n = 1; n <= lignes.size(); ++n) {
        const Resultat r
            = Lancer({ "--rep", dossier, "execute", Fichier("p.iso"), "--depuis", std::to_string(n) });
        ASSERT_EQ(r.statut, 0) << n << r.erreurs;
        // The same decoded positions at the end; only the time differs.
        const std::string a = fin(complet.sortie), b = fin(r.sortie);
        EXPECT_EQ(a.substr(0, a.find("Duree")), b.substr(0, b.find("Duree"))) << n;
    }
    EXPECT_EQ(Lancer({ "--rep", dossier, "execute", Fichier("p.iso"), "--depuis", "10" }).statut, 1);
    EXPECT_EQ(Lancer({ "--rep", dossier, "analyse", Fichier("p.iso"), "--depuis", "2" }).statut, 2);

    // A job inside the travel gets the same listing whichever way it was
    // written: from the whole table or as the analysis went.
    const Resultat sansCourse = Lancer({ "--rep", dossier, "analyse", Fichier("p.iso") });
    EcrireTout(Fichier("CncParam.Ini"), "[AXES]\r\nCourse(1)=11\r\n");
    const Resultat avecCourse = Lancer({ "--rep", dossier, "analyse", Fichier("p.iso") });
    EXPECT_EQ(avecCourse.statut, 0) << avecCourse.erreurs;
    EXPECT_EQ(avecCourse.sortie, sansCourse.sortie);

    // Out of Y's travel on the arc's low side only: its ends stay at Y 5.
    EcrireTout(Fichier("CncParam.Ini"), "[AXES]\r\nCourse(1)=9\r\n");
    for (const char* commande : { "analyse", "execute" }) {
        const Resultat r = Lancer({ "--rep", dossier, commande, Fichier("p.iso") });
        EXPECT_EQ(r.statut, 1);
        EXPECT_NE(r.erreurs.find("en Y côté positif, le centre de l'outil va à 10.000 mm, 1.000 mm"),
            std::string::npos)
            << r.erreurs;
    }
}

TEST_F(LigneDeCommande, ExecuteWritesEveryDecodedStepWithItsInstantAxisAndDirection)
{
    fs::create_directory(Fichier("machine"));
    EcrireTout(Fichier("machine/CncParam.Ini"),
        "[SORTIES]\nOutEnable=63\nCBOutItem(0)=1\nCBOutItem(1)=2\nCBOutItem(2)=3\nCBOutItem(3)=4\n");
    // 400 X steps forward at 1000 a second, each at the end of its period,
    // then 4 back with 4 Y steps.
    EcrireTout(Fichier("p.iso"), "G1 X1 F600\nG1 X0.99 Y0.01\n");
    const Resultat r
        = Lancer({ "--rep", Fichier("machine"), "execute", Fichier("p.iso"), "--pas", Fichier("pas.txt") });
    EXPECT_EQ(r.statut, 0) << r.erreurs;
    EXPECT_NE(r.sortie.find("PasX=404\nPasY=4\n"), std::string::npos) << r.sortie;
    const std::string pas = LireTout(Fichier("pas.txt"));
    EXPECT_EQ(pas.substr(0, 18), "0.001000000 X +1\r\n");
    EXPECT_NE(pas.find("0.400000000 X +1\r\n0.401000000 X -1\r\n0.401000000 Y +1\r\n"), std::string::npos);
    EXPECT_EQ(pas.substr(pas.size() - 18), "0.404000000 Y +1\r\n");
    EXPECT_EQ(std::count(pas.begin(), pas.end(), '\n'), 408);
}

TEST_F(LigneDeCommande, ExecuteWithTimesGivesEachBlocksEndInOrderUpToTheDurationTheWindowReads)
{
    // Moves, an arc, a block that does not move and a drilling cycle.
    EcrireTout(Fichier("p.iso"),
        "G1 X10 F600\nG2 X20 Y0 I5 J0\nG4 P1500\nG0 Z5\nG82 X25 Y0 Z-2 R1 P200 F300\n"
        "G80 X0\n");
    const Resultat r = Lancer({ "--rep", dossier, "execute", Fichier("p.iso"), "--temps" });
    ASSERT_EQ(r.statut, 0) << r.erreurs;
    const DureeProgramme d = LireDureeExecute(r.sortie);
    ASSERT_TRUE(d.Connue()) << r.sortie;
    const size_t blocs = std::stoul(r.sortie.substr(r.sortie.find("Blocs=") + 6));
    ASSERT_EQ(d.FinBloc.size(), blocs + 1);
    for (size_t i = 1; i < d.FinBloc.size(); ++i)
        EXPECT_LE(d.FinBloc[i - 1], d.FinBloc[i]) << i;
    EXPECT_LT(d.FinBloc[4], d.FinBloc[5]);
    const std::string duree = r.sortie.substr(r.sortie.find("Duree=") + 6);
    EXPECT_EQ(d.FinBloc.back(), d.Totale);
    EXPECT_EQ(d.Totale, std::stod(duree.substr(0, duree.find('\n'))));
    EXPECT_EQ(d.Restante(0), d.Totale);
    EXPECT_EQ(d.Restante(static_cast<int>(blocs)), 0);
    // Inside a block the time goes on down, never past the block's end.
    EXPECT_DOUBLE_EQ(d.Restante(1, 1), d.Totale - d.FinBloc[1] - 1);
    EXPECT_EQ(d.Restante(1, 1000), d.Totale - d.FinBloc[2]);
    EXPECT_EQ(d.Restante(1, -5), d.Totale - d.FinBloc[1]);
    // Without the option the output is execute's alone.
    const Resultat seul = Lancer({ "--rep", dossier, "execute", Fichier("p.iso") });
    EXPECT_EQ(seul.sortie.find("Temps("), std::string::npos);
    EXPECT_EQ(r.sortie.substr(r.sortie.find("Blocs=")), seul.sortie);
    EXPECT_EQ(Lancer({ "--rep", dossier, "analyse", Fichier("p.iso"), "--temps" }).statut, 2);
    // A run that did not end normally, or a hole in the blocks, is no time.
    EXPECT_FALSE(LireDureeExecute("Temps(1)=1\nDuree=1\nFin=butée\n").Connue());
    EXPECT_FALSE(LireDureeExecute("Temps(2)=1\nDuree=1\nFin=normale\n").Connue());
}

TEST(TexteDuree, HoursMinutesAndSecondsToTheNearestSecond)
{
    const struct {
        double secondes;
        const char* texte;
    } cas[] = { { 0, "0 s" }, { 12.4, "12 s" }, { 59.6, "1 min 00 s" }, { 187, "3 min 07 s" },
        { 3725.2, "1 h 02 min 05 s" }, { -3, "0 s" } };
    for (const auto& c : cas)
        EXPECT_EQ(TexteDuree(c.secondes), c.texte) << c.secondes;
}
