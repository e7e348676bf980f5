// The whole analysis of a 30 000-line program, as the preview runs it after
// every load or edit: parsing, segment numbers, full circles, tool radii.

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "iso/traite_prog.h"
#include "programme_realiste.h"

#include <benchmark/benchmark.h>

using namespace virmak;

namespace {

void BM_TraiteIso(benchmark::State& state)
{
    bench::PreparerAnalyse();
    // The largest table the key allows: 30 000 lines need 30 001 entries.
    MaxLProg = 65535;
    Form1.ListBoxProg1.Lignes = bench::ProgrammeRealiste();
    for (auto _ : state) {
        BoiteProg boite;
        if (!TraiteIso(boite)) {
            state.SkipWithError("analyse refusée");
            break;
        }
        benchmark::DoNotOptimize(TabProg[NbLignesProg]);
    }
    state.counters["lignes/s"]
        = benchmark::Counter(static_cast<double>(state.iterations() * Form1.ListBoxProg1.Lignes.size()),
            benchmark::Counter::kIsRate);
}

BENCHMARK(BM_TraiteIso)->Unit(benchmark::kMillisecond);

} // namespace
