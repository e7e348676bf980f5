// Runs a virmak-cli on 1 000 generated programs and on the benchmarks'
// realistic program, and prints one digest line per command: exit status,
// standard output, standard error and, for execute, the --pas file. Two
// builds that print the same lines print the same bytes. See
// scripts/identite_cli.sh, which compares them with the digests of a pinned
// build kept in tests/identite/empreintes_cli.txt.
//
// Every generated program sets a positive feed before its first feed move
// and never a zero one, and no configuration gives the virtual machine a
// travel: what these outputs hold does not depend on either.

#include "../../bench/programme_realiste.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int NbProgrammes = 1000;

// Deterministic on every machine: no library distribution is involved.
class Alea {
public:
    explicit Alea(uint64_t graine)
        : etat_(graine * 0x9E3779B97F4A7C15ULL + 1)
    {
    }
    uint64_t Suivant()
    {
        etat_ ^= etat_ << 13;
        etat_ ^= etat_ >> 7;
        etat_ ^= etat_ << 17;
        return etat_;
    }
    int Entier(int min, int max)
    {
        return min + static_cast<int>(Suivant() % static_cast<uint64_t>(max - min + 1));
    }
    bool Chance(int pourcent) { return Entier(1, 100) <= pourcent; }
    // Millimetres with three decimals at most, as a program writes them.
    double Cote(double min, double max)
    {
        return std::round(
                   (min + (max - min) * static_cast<double>(Suivant() >> 11) / 9007199254740992.0) * 1000)
            / 1000;
    }

private:
    uint64_t etat_;
};

std::string Nombre(double v)
{
    char t[64];
    std::snprintf(t, sizeof t, "%.3f", v);
    std::string s(t);
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string Mot(char lettre, double v)
{
    return lettre + Nombre(v);
}

const char* const Commentaires[] = { "(APPROCHE)", "(PASSE DE FINITION A 0.2 MM)", "; degagement", "{B}",
    "(A", "(POCHE CIRCULAIRE - OUTIL 6 MM - LONG COMMENTAIRE)", "()", "(caf\xE9 cr\xE8me)", "(caf\xC3\xA9)",
    "(X5 Y5 ne bouge pas)", "; fin}" };

const char* const Divers[]
    = { "", "%", "M3 S12000", "M5", "M8 M9", "T2 M6", "T150", "G43", "G49", "N10 G4 P1", "D1", "H2",
          "G17 G90 G94", "M3 M8 M1 M2 M3 M4 M5 M6 M7 M8 M9 M10 M11", "O1000", "\t ", "/ G0 Z5" };

// One program of 5 to 80 lines. Coordinates stay within a few tens of
// millimetres so that execute stays short.
std::string Programme(int numero, bool relatifs)
{
    Alea a(static_cast<uint64_t>(numero) + 1);
    std::vector<std::string> lignes;
    double x = 0, y = 0, z = 0;
    bool pouces = false;
    bool cycle = false;
    auto feed = [&] { return "F" + std::to_string(a.Entier(1, 20) * 50); };
    lignes.push_back(a.Chance(50) ? "G0 Z2 " + feed() : feed());
    const int n = a.Entier(5, 80);
    for (int l = 0; l < n; ++l) {
        const int choix = a.Entier(0, 99);
        std::string s;
        if (cycle && choix < 40) {
            x = a.Cote(-15, 15);
            y = a.Cote(-15, 15);
            s = Mot('X', x) + " " + Mot('Y', y);
        } else if (cycle && choix < 55) {
            s = "G80";
            cycle = false;
        } else if (choix < 15) {
            x = a.Cote(-15, 15);
            y = a.Cote(-15, 15);
            s = "G0 " + Mot('X', x) + " " + Mot('Y', y)
                + (a.Chance(30) ? " " + Mot('Z', z = a.Cote(0, 5)) : "");
        } else if (choix < 35) {
            x = a.Cote(-15, 15);
            y = a.Cote(-15, 15);
            s = (a.Chance(80) ? "G1 " : "") + Mot('X', x) + " " + Mot('Y', y)
                + (a.Chance(30) ? " " + feed() : "");
        } else if (choix < 42) {
            s = "G1 " + Mot('Z', z = a.Cote(-3, 2));
        } else if (choix < 55) {
            // An arc whose centre is given: absolute, or from the start
            // under G91.1; sometimes a full circle.
            const double cx = x + a.Cote(-6, 6), cy = y + a.Cote(-6, 6);
            const double r = std::hypot(x - cx, y - cy);
            const double t = a.Cote(0, 6.28);
            const bool complet = a.Chance(15);
            const double fx = complet ? x : std::round((cx + r * std::cos(t)) * 1000) / 1000;
            const double fy = complet ? y : std::round((cy + r * std::sin(t)) * 1000) / 1000;
            s = (a.Chance(50) ? "G2 " : "G3 ") + Mot('X', fx) + " " + Mot('Y', fy) + " "
                + (relatifs ? Mot('I', cx - x) + " " + Mot('J', cy - y) : Mot('I', cx) + " " + Mot('J', cy));
            x = fx;
            y = fy;
        } else if (choix < 59) {
            // An arc by its radius, one in ten too short for its chord.
            const double fx = a.Cote(-15, 15), fy = a.Cote(-15, 15);
            const double corde = std::hypot(fx - x, fy - y);
            if (corde == 0)
                continue;
            const double r = corde / 2 * (a.Chance(10) ? 0.9 : 1.0 + a.Cote(0, 2));
            s = (a.Chance(50) ? "G2 " : "G3 ") + Mot('X', fx) + " " + Mot('Y', fy) + " "
                + Mot('R', a.Chance(30) ? -r : r);
            x = fx;
            y = fy;
        } else if (choix < 65) {
            const char* codes[] = { "G41", "G42", "G40" };
            s = std::string(codes[a.Entier(0, 2)])
                + (a.Chance(50) ? " T" + std::to_string(a.Entier(0, 9)) : "");
        } else if (choix < 70 && !cycle) {
            const int g = a.Entier(81, 83);
            x = a.Cote(-15, 15);
            y = a.Cote(-15, 15);
            s = "G" + std::to_string(g) + " " + Mot('X', x) + " " + Mot('Y', y) + " "
                + Mot('Z', a.Cote(-4, -0.5)) + " R1";
            if (g == 82)
                s += " P" + Nombre(a.Cote(0.1, 1));
            if (g == 83)
                s += " Q" + Nombre(a.Cote(0.3, 1.5));
            if (a.Chance(50))
                s += " " + feed();
            cycle = true;
        } else if (choix < 78) {
            s = Commentaires[a.Entier(0, std::size(Commentaires) - 1)];
            if (a.Chance(30))
                s = "G1 " + Mot('Z', z = a.Cote(-2, 2)) + " " + s;
        } else if (choix < 88) {
            s = Divers[a.Entier(0, std::size(Divers) - 1)];
        } else if (choix < 90) {
            // Inches for a while: every length word is multiplied.
            pouces = !pouces;
            s = pouces ? "G70" : "G71";
        } else if (choix < 92) {
            s = a.Chance(5) ? "M0" : "M3";
        } else {
            // Words a parser must survive.
            const char* bizarres[] = { "g1 x1.5 y-2", "X1.2.3 Y-.5", "X 10", "F150.5", "T-1", "G 1",
                "X+2 Y-0 Z+.5", "x-0.000 y.0", "N99999999999 G0", "G91.1", "G90.1", "X1,5 Y2" };
            s = bizarres[a.Entier(0, std::size(bizarres) - 1)];
        }
        // Back to millimetres before a move in inches takes the tool far.
        if (pouces && s.find_first_of("XYZIJR") != std::string::npos && s.find('G') == std::string::npos) {
            s = "G71 " + s;
            pouces = false;
        }
        lignes.push_back(s);
    }
    lignes.push_back(a.Chance(50) ? "M30" : "M5 M9");
    const int fins = a.Entier(0, 3);
    std::string texte;
    for (size_t i = 0; i < lignes.size(); ++i) {
        texte += lignes[i];
        if (i + 1 < lignes.size() || fins != 3)
            texte += fins == 0 ? "\n" : fins == 1 ? "\r\n" : (i % 7 == 3 ? "\r\r\n" : "\r\n");
    }
    return texte;
}

void Ecrire(const std::string& chemin, const std::string& texte)
{
    std::ofstream f(chemin, std::ios::binary);
    f << texte;
    if (!f) {
        std::fprintf(stderr, "empreintes_cli : impossible d'écrire %s\n", chemin.c_str());
        std::exit(1);
    }
}

std::string Lire(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Empreinte(const std::string& texte)
{
    uint64_t h = 14695981039346656037ULL;
    for (char c : texte) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ULL;
    }
    char t[32];
    std::snprintf(t, sizeof t, "%016llx/%zu", static_cast<unsigned long long>(h), texte.size());
    return t;
}

// Runs the command in the work folder, its outputs in two files.
int Lancer(const std::vector<std::string>& args)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "sortie.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "erreurs.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int e = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (e != 0) {
        std::fprintf(stderr, "empreintes_cli : impossible de lancer %s\n", argv[0]);
        std::exit(1);
    }
    int statut = 0;
    while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
}

void Mesurer(const std::string& cli, const std::string& nom, const std::string& config, const char* commande)
{
    const bool execute = std::string(commande) == "execute";
    std::vector<std::string> args { cli, "--rep", config, commande, nom };
    if (execute) {
        ::unlink("pas.txt");
        args.insert(args.end(), { "--pas", "pas.txt" });
    }
    const int statut = Lancer(args);
    std::printf("%s %s %s %d %s %s", nom.c_str(), config.c_str(), commande, statut,
        Empreinte(Lire("sortie.txt")).c_str(), Empreinte(Lire("erreurs.txt")).c_str());
    if (execute)
        std::printf(" %s", Empreinte(Lire("pas.txt")).c_str());
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    // PARTIE/PARTIES: the programs whose number gives PARTIE modulo PARTIES
    // (the realistic program with part 0), for runs side by side.
    int partie = 0, parties = 1;
    if ((argc != 3 && argc != 4)
        || (argc == 4
            && (std::sscanf(argv[3], "%d/%d", &partie, &parties) != 2 || parties < 1 || partie < 0
                || partie >= parties))) {
        std::fprintf(stderr, "usage : empreintes_cli VIRMAK_CLI DOSSIER_DE_TRAVAIL [PARTIE/PARTIES]\n");
        return 2;
    }
    std::string cli = argv[1];
    if (cli[0] != '/') {
        char ici[4096];
        if (!::getcwd(ici, sizeof ici))
            return 1;
        cli = std::string(ici) + "/" + cli;
    }
    if (::chdir(argv[2]) != 0) {
        std::fprintf(stderr, "empreintes_cli : dossier %s introuvable\n", argv[2]);
        return 1;
    }
    // Three configurations: pins wired and tools with radii and lengths;
    // a small table, other unit codes and relative centres, warnings off;
    // a table for the realistic program.
    const std::string outils = "[OUTIL(1)]\r\nJauge(0)=6\r\nJauge(1)=30\r\n[OUTIL(2)]\r\nJauge(0)=3\r\n"
                               "[OUTIL(3)]\r\nJauge(0)=0.5\r\nJauge(1)=-2.5\r\n[OUTIL(9)]\r\nJauge(0)=10\r\n";
    const std::string cablage
        = "[AXES]\r\nValPas(0)=0.1\r\nValPas(1)=0.08\r\nValPas(2)=0.05\r\nAvMax(0)=2000\r\n"
          "[SORTIES]\r\nOutEnable=127\r\nOutInvert=2\r\nCBOutItem(0)=1\r\nCBOutItem(1)=2\r\n"
          "CBOutItem(2)=3\r\nCBOutItem(3)=4\r\nCBOutItem(4)=5\r\nCBOutItem(5)=6\r\n"
          "CBOutItem(6)=7\r\n";
    ::mkdir("cfgA", 0755);
    ::mkdir("cfgB", 0755);
    ::mkdir("cfgC", 0755);
    Ecrire("cfgA/CncParam.Ini", cablage);
    Ecrire("cfgA/CncOutil.Ini", outils);
    Ecrire("cfgB/CncParam.Ini",
        cablage
            + "[GCODES]\r\nMaxLProg=70\r\nPrgPou=20\r\nPrgMet=21\r\nCentresRelatifs=1\r\n"
              "[BOOLEAN]\r\nMesAvert=0\r\n");
    Ecrire("cfgB/CncOutil.Ini", outils);
    Ecrire("cfgC/CncParam.Ini", cablage + "[GCODES]\r\nMaxLProg=65535\r\n");
    Ecrire("cfgC/CncOutil.Ini", outils);

    for (int i = partie; i < NbProgrammes; i += parties) {
        const bool b = i % 3 == 2;
        char nom[32];
        std::snprintf(nom, sizeof nom, "p%04d.iso", i);
        Ecrire(nom, Programme(i, b));
        for (const char* commande : { "analyse", "programme", "parcours", "execute" })
            Mesurer(cli, nom, b ? "cfgB" : "cfgA", commande);
        ::unlink(nom);
    }

    if (partie != 0)
        return 0;
    std::string realiste, debut;
    const std::vector<std::string> lignes = virmak::bench::ProgrammeRealiste();
    for (size_t i = 0; i < lignes.size(); ++i) {
        realiste += lignes[i] + "\r\n";
        if (i < 400)
            debut += lignes[i] + "\r\n";
    }
    Ecrire("realiste.iso", realiste);
    Ecrire("realiste400.iso", debut);
    for (const char* commande : { "analyse", "programme", "parcours" })
        Mesurer(cli, "realiste.iso", "cfgC", commande);
    Mesurer(cli, "realiste400.iso", "cfgC", "execute");
    return 0;
}
