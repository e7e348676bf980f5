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
    Form1.ListBoxProg1.Lignes = bench::ProgrammeRealiste();
    TabProg.assign(65535, LigneProg {});
    for (auto _ : state) {
        BoiteProg boite;
        benchmark::DoNotOptimize(TraiteIso(boite));
    }
    state.counters["lignes/s"]
        = benchmark::Counter(static_cast<double>(state.iterations() * Form1.ListBoxProg1.Lignes.size()),
            benchmark::Counter::kIsRate);
}

BENCHMARK(BM_TraiteIso)->Unit(benchmark::kMillisecond);

} // namespace
