// The whole analysis of a 30 000-line program, as the preview runs it after
// every load or edit: parsing, segment numbers, full circles, tool radii.

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "iso/traite_prog.h"
#include "programme_realiste.h"

#include <benchmark/benchmark.h>
#include <string>

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

// The listing of the same program's text as virmak-cli analyse writes it:
// the verdict pass, then the listing pass, without TabProg.
void BM_ListingIso(benchmark::State& state)
{
    bench::PreparerAnalyse();
    MaxLProg = 65535;
    std::string texte;
    for (const std::string& ligne : bench::ProgrammeRealiste())
        texte += ligne + "\r\n";
    size_t octets = 0;
    for (auto _ : state) {
        LecteurLignes lignes(texte);
        octets = 0;
        if (!ListingIso(lignes, [&octets](std::string_view morceau) { octets += morceau.size(); })) {
            state.SkipWithError("analyse refusée");
            break;
        }
        benchmark::DoNotOptimize(octets);
    }
    state.counters["lignes/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * bench::NbLignesProgramme), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ListingIso)->Unit(benchmark::kMillisecond);

} // namespace
