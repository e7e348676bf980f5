// The compensation pass over a 30 000-block contour under G41 and G43:
// passes round a star-shaped pocket wall, a third of its sides arcs, with
// outside corners (inserted arcs) and inside corners (cut at the crossing).

#include "foundation/cn_varia.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <string>

using namespace virmak;

namespace {

constexpr int NbBlocs = 30000;
constexpr int PointesParTour = 40;

// Counts the warnings instead of printing them.
class VueComptable : public Vue {
public:
    void Repeindre(const std::string&) override { }
    void TraiterMessages() override { }
    void Message(const std::string&) override { ++messages; }
    void DonnerFocus(const std::string&) override { }
    void Aide(int) override { }
    int messages = 0;
};

void ContourEtoile()
{
    TabProg.assign(NbBlocs + 1, LigneProg {});
    TabOutils[4].Jauge[1] = 35;
    TabOutils[4].CorDyn[1] = 0.05;
    LigneProg l = LigneProg {};
    l.CodeM.fill(MSlotVide);
    l.X = 100;
    l.Z = 5;
    TabProg[0] = l;
    l.CorRayon = -1.5;
    l.CorLongueur = true;
    l.NumOutil = 4;
    l.Avance = 600;
    int sommet = 0;
    for (int i = 1; i <= NbBlocs; ++i) {
        const LigneProg& p = TabProg[i - 1];
        l.IndexLigne = static_cast<uint16_t>(i);
        l.CodeM.fill(MSlotVide);
        if (i % 50 == 0) {
            // A pass down at the current point: no XY move.
            l.Z = p.Z - 0.2;
            l.CodeG[0] = 1;
            l.NumSegment = p.NumSegment;
        } else {
            ++sommet;
            const double angle = 2 * std::numbers::pi * sommet / PointesParTour;
            const double rayon = sommet % 2 ? 90 : 100;
            l.X = rayon * std::cos(angle);
            l.Y = rayon * std::sin(angle);
            l.CodeG[0] = 1;
            if (sommet % 3 == 0) {
                // An arc a little flatter than a half circle on its chord.
                const double mx = (p.X + l.X) / 2, my = (p.Y + l.Y) / 2;
                const double sens = sommet % 2 ? 1 : -1;
                l.CodeG[0] = sens > 0 ? 3 : 2;
                l.I = mx - sens * 0.8 * (l.Y - p.Y);
                l.J = my + sens * 0.8 * (l.X - p.X);
            }
            l.NumSegment = static_cast<uint16_t>(p.NumSegment + 1);
        }
        TabProg[i] = l;
    }
    NbLignesProg = NbBlocs;
}

void BM_CorrectionOutils(benchmark::State& state)
{
    VueComptable vue;
    DefinirVue(&vue);
    ContourEtoile();
    for (auto _ : state) {
        CorrectionOutils();
        benchmark::DoNotOptimize(NbLignesCorr);
    }
    state.counters["blocs_sortie"] = NbLignesCorr;
    state.counters["avertissements"] = vue.messages;
    state.SetItemsProcessed(state.iterations() * NbBlocs);
    DefinirVue(nullptr);
}
BENCHMARK(BM_CorrectionOutils)->Unit(benchmark::kMillisecond);

} // namespace
