// The preview's full redraw, part and tool path, of a 30 000-block program
// into the 455 x 300 image: the core's primitives and Qt's painting of them.

#include "apercu/cn_dessins.h"
#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"
#include "pupitre/demarrage.h"
#include "ui/apercu.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace virmak;

namespace {

constexpr std::size_t NbBlocs = 30000;

std::string Mot(char lettre, double valeur)
{
    return lettre + FormatFixe(valeur, 0, 3);
}

// Rounded pockets cut with radius compensation, each followed by a row of
// drilled holes, spread over a 200 x 150 mm table; the same on every run.
std::vector<std::string> Programme()
{
    std::vector<std::string> p { "G71 G40 G49 G80", "T1 M6", "S10000 M3", "G0 Z5" };
    uint64_t etat = 0x2545F4914F6CDD1DULL;
    auto alea = [&etat](double min, double max) {
        etat ^= etat << 13;
        etat ^= etat >> 7;
        etat ^= etat << 17;
        return min + (max - min) * static_cast<double>(etat >> 11) / static_cast<double>(1ULL << 53);
    };
    while (p.size() + 24 <= NbBlocs) {
        const double x0 = alea(5, 150), y0 = alea(5, 110);
        const double x1 = x0 + alea(15, 45), y1 = y0 + alea(10, 35), r = alea(2, 5);
        p.push_back("G0 " + Mot('X', x0 + r) + " " + Mot('Y', y0));
        p.push_back("G1 Z-1 F150");
        p.push_back("G41");
        p.push_back("G1 " + Mot('X', x1 - r) + " F300");
        p.push_back(
            "G3 " + Mot('X', x1) + " " + Mot('Y', y0 + r) + " " + Mot('I', x1 - r) + " " + Mot('J', y0 + r));
        p.push_back("G1 " + Mot('Y', y1 - r));
        p.push_back(
            "G3 " + Mot('X', x1 - r) + " " + Mot('Y', y1) + " " + Mot('I', x1 - r) + " " + Mot('J', y1 - r));
        p.push_back("G1 " + Mot('X', x0 + r));
        p.push_back(
            "G3 " + Mot('X', x0) + " " + Mot('Y', y1 - r) + " " + Mot('I', x0 + r) + " " + Mot('J', y1 - r));
        p.push_back("G1 " + Mot('Y', y0 + r));
        p.push_back(
            "G3 " + Mot('X', x0 + r) + " " + Mot('Y', y0) + " " + Mot('I', x0 + r) + " " + Mot('J', y0 + r));
        p.push_back("G40");
        p.push_back("G0 Z5");
        p.push_back("G81 " + Mot('X', x0) + " " + Mot('Y', y0 - 4) + " Z-3 R1 F80");
        for (int i = 1; i < 9; ++i)
            p.push_back(Mot('X', x0 + 5.0 * i));
        p.push_back("G80");
    }
    return p;
}

class VueBench : public Vue {
public:
    void Repeindre(const std::string&) override { }
    void TraiterMessages() override { }
    void Message(const std::string&) override { }
    void DonnerFocus(const std::string&) override { }
    void Aide(int) override { }
    void DessinerCouche(int couche, const std::vector<Trace>& traces) override
    {
        nbTraces += traces.size();
        if (peindre)
            bitmaps.DessinerCouche(couche, traces);
    }
    BmpApercu bitmaps;
    bool peindre = true;
    std::size_t nbTraces = 0;
};

VueBench vue;
std::filesystem::path dossier;

void Preparer()
{
    static bool fait = false;
    if (fait)
        return;
    fait = true;
    std::string modele = (std::filesystem::temp_directory_path() / "virmak-bench-XXXXXX").string();
    if (!::mkdtemp(modele.data()))
        std::abort();
    dossier = modele;
    RepDemande = dossier.string() + "/";
    DefinirVue(&vue);
    Form1.Initialiser();
    ChargerConfiguration();
    MesAvert = false;
    TabOutils[1].Jauge[0] = 4;
    Form1.LargeurImage = 455;
    Form1.HauteurImage = 300;
    vue.bitmaps.Redimensionner(455, 300);
    Form1.ListBoxProg1.Lignes = Programme();
    ProgAnalyse = false;
    DessinePiece();
    BitBtnParcoursOutilClick();
}

void Redessiner(benchmark::State& etat, bool peindre, bool outilEpais)
{
    Preparer();
    vue.peindre = peindre;
    Form1.CheckBoxOT.Cochee = outilEpais;
    for (auto _ : etat) {
        vue.nbTraces = 0;
        DessinePiece();
        DessineParcours();
        benchmark::DoNotOptimize(vue.bitmaps.Montree().constBits());
    }
    etat.counters["blocs"] = NbLignesProg;
    etat.counters["blocs_outil"] = NbLignesCorr;
    etat.counters["traces"] = static_cast<double>(vue.nbTraces);
}

void BM_RedessinComplet(benchmark::State& etat)
{
    Redessiner(etat, true, false);
}
BENCHMARK(BM_RedessinComplet)->Unit(benchmark::kMillisecond);

void BM_RedessinCompletOutilEpais(benchmark::State& etat)
{
    Redessiner(etat, true, true);
}
BENCHMARK(BM_RedessinCompletOutilEpais)->Unit(benchmark::kMillisecond);

// The core's share: choosing, mapping and clipping, without painting.
void BM_PrimitivesSeules(benchmark::State& etat)
{
    Redessiner(etat, false, false);
}
BENCHMARK(BM_PrimitivesSeules)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DefinirVue(nullptr);
    if (!dossier.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dossier, ec);
    }
    return 0;
}
