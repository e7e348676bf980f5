#include "programme_realiste.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"

#include <cstdint>

namespace virmak::bench {

namespace {

    // Small deterministic generator: the program must be the same on every run.
    class Alea {
    public:
        double Entre(double min, double max)
        {
            etat ^= etat << 13;
            etat ^= etat >> 7;
            etat ^= etat << 17;
            return min + (max - min) * static_cast<double>(etat >> 11) / static_cast<double>(1ULL << 53);
        }

    private:
        uint64_t etat = 0x9E3779B97F4A7C15ULL;
    };

    std::string Mot(char lettre, double valeur)
    {
        return lettre + FormatFixe(valeur, 0, 3);
    }

} // namespace

std::vector<std::string> ProgrammeRealiste()
{
    std::vector<std::string> p { "%", "(POCHE ET PERCAGES - PROGRAMME D'ESSAI)", "G71 G40 G49 G80", "T1 M6",
        "S12000 M3 M8", "G0 Z5" };
    Alea alea;
    int numero = 10;
    int passe = 0;
    double x = 0, y = 0;
    auto bloc = [&](std::string texte) {
        p.push_back("N" + std::to_string(numero) + " " + texte);
        numero += 10;
    };
    while (p.size() < NbLignesProgramme) {
        const std::size_t reste = NbLignesProgramme - p.size();
        if (passe % 40 == 39 && reste > 8) {
            const int outil = 1 + passe / 40 % 9;
            p.push_back("(CHANGEMENT D'OUTIL T" + std::to_string(outil) + ")");
            bloc("G0 Z20 M5 M9");
            bloc("T" + std::to_string(outil) + " M6");
            bloc("G43 S" + std::to_string(8000 + 500 * outil) + " M3 M8");
        } else if (passe % 15 == 7 && reste > 10) {
            p.push_back("(PERCAGES)");
            bloc("G81 " + Mot('X', x) + " " + Mot('Y', y) + " Z-3 R1 F80");
            for (int i = 0; i < 6; ++i)
                bloc(Mot('X', x + 8.0 * i) + " " + Mot('Y', y + alea.Entre(-4, 4)));
            bloc("G80");
        } else if (reste > 24) {
            x = alea.Entre(20, 180);
            y = alea.Entre(20, 130);
            p.push_back("(PASSE " + std::to_string(passe + 1) + ")");
            bloc("G0 " + Mot('X', x) + " " + Mot('Y', y));
            bloc("G1 Z" + FormatFixe(-alea.Entre(0.2, 3), 0, 3) + " F150");
            bloc(passe % 2 ? "G41" : "G42");
            for (int i = 0; i < 8; ++i) {
                x += alea.Entre(-20, 20);
                y += alea.Entre(-20, 20);
                bloc("G1 " + Mot('X', x) + " " + Mot('Y', y) + " F" + std::to_string(200 + 50 * (i % 5)));
                // Alternate arc sides so the path stays on the table.
                const double r = (i % 2 ? 1 : -1) * alea.Entre(2, 10);
                bloc((i % 2 ? "G2 " : "G3 ") + Mot('X', x + r) + " " + Mot('Y', y + r) + " " + Mot('I', x)
                    + " " + Mot('J', y + r));
                x += r;
                y += r;
            }
            bloc("G40 G0 Z5");
            bloc(Mot('X', x) + " " + Mot('Y', y) + " ; DEGAGEMENT");
        } else {
            bloc("G0 Z20");
        }
        ++passe;
    }
    p.resize(NbLignesProgramme);
    p.back() = "M30";
    return p;
}

void PreparerAnalyse()
{
    PrgPou = 70;
    PrgMet = 71;
    MesAvert = false;
    LigneDefaut = LigneProg {};
    LigneDefaut.CodeM.fill(MSlotVide);
}

} // namespace virmak::bench
