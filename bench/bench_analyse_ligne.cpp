// The line parser over a long, realistic milling program: contour passes
// with lines and arcs, drilling series, tool changes and comments.

#include "foundation/cn_varia.h"
#include "iso/analyse_ligne.h"
#include "programme_realiste.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

using namespace virmak;
using virmak::bench::ProgrammeRealiste;

namespace {

void BM_AnalyseLigne(benchmark::State& state)
{
    bench::PreparerAnalyse();
    const std::vector<std::string> programme = ProgrammeRealiste();
    std::vector<LigneProg> table(programme.size() + 1);
    for (auto _ : state) {
        FacteurUnite = 1.0;
        table[0] = LigneDefaut;
        for (std::size_t i = 0; i < programme.size(); ++i)
            AnalyseLigne(programme[i], table[i], table[i + 1]);
        benchmark::DoNotOptimize(table.back());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * programme.size()));
    state.counters["lignes/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * programme.size()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_AnalyseLigne)->Unit(benchmark::kMillisecond);

} // namespace
