// The ramps' look-ahead: planning a long program's moves at the start of a
// run must stay well under a blink (30 000 blocks within 50 ms).

#include "exec/plan_cycle.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "machine/planificateur.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

using namespace virmak;

namespace {

void Machine()
{
    for (int i = 0; i < 3; ++i) {
        AvMax[i] = 1000;
        ValPas[i] = 0.0025;
        NPasJ[i] = 0;
    }
    VitesseRampe[0] = VitesseRampe[1] = 4000;
    Acceleration[0] = Acceleration[1] = 8000;
}

void BM_Planifier(benchmark::State& state)
{
    Machine();
    // CAM-like: short chords of curves, corners, now and then a plunge.
    std::vector<Troncon> programme(static_cast<size_t>(state.range(0)));
    for (size_t k = 0; k < programme.size(); ++k) {
        Troncon& t = programme[k];
        const double a = 0.01 * static_cast<double>(k);
        t.n[0] = static_cast<int32_t>(std::lround(80 * std::cos(a)));
        t.n[1] = static_cast<int32_t>(std::lround(80 * std::sin(a * 3)));
        t.n[2] = k % 500 == 0 ? -40 : 0;
        t.avance = 10;
        t.bloc = k;
    }
    const int32_t sens[3] = { 1, 1, 1 };
    for (auto _ : state) {
        std::vector<Troncon> t = programme;
        Planifier(t, sens);
        benchmark::DoNotOptimize(t.back().sortie);
    }
    state.counters["blocs/s"]
        = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(state.range(0)),
            benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Planifier)->Arg(30000)->Unit(benchmark::kMillisecond);

// The same from the program table, as a run starts: the blocks' moves made
// in steps as the run will make them, then the passes.
void BM_PlanifierCycle(benchmark::State& state)
{
    Machine();
    Form1.TrackBarTAv.DefinirPosition(10);
    constexpr size_t NbBlocs = 30000;
    TabProgCorr.assign(NbBlocs + 1, LigneProg {});
    for (size_t k = 1; k <= NbBlocs; ++k) {
        LigneProg& l = TabProgCorr[k];
        const double a = 0.01 * static_cast<double>(k);
        l.X = 20 * std::cos(a) + 0.001 * static_cast<double>(k);
        l.Y = 20 * std::sin(a * 3);
        l.CodeG[0] = 1;
        l.CodeM.fill(999);
        l.Avance = 600;
    }
    NbLignesCorr = NbBlocs;
    for (auto _ : state) {
        size_t dernier = 0;
        std::vector<Troncon> t = TronconsCycle(1, dernier);
        ChargerPlan(std::move(t), dernier);
        benchmark::DoNotOptimize(dernier);
    }
    OublierPlan();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(NbBlocs));
}

BENCHMARK(BM_PlanifierCycle)->Unit(benchmark::kMillisecond);

} // namespace
