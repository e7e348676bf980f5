// The step loop's own cost: step events with the virtual clock (a wait
// returns at once) and the virtual machine as the port, so what is timed is
// the polling, the emitter, the four port accesses, counting and readouts.

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/plateforme.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"

#include <benchmark/benchmark.h>
#include <filesystem>

using namespace virmak;

namespace {

void BM_EvenementsDePas(benchmark::State& state)
{
    PlateformeVirtuelle horloge;
    DefinirPlateforme(&horloge);
    const auto dossier = std::filesystem::temp_directory_path() / "virmak-bench-pas";
    std::filesystem::create_directories(dossier);
    RepDemande = dossier.string() + "/";
    LectureSeule = true;
    ChargerConfiguration();
    DefinirPort(std::make_unique<MachineVirtuelle>());
    PortLPT = 1;
    Simulation = false;
    // The start-up's own masks: X on D0/D1, Y on D2/D3.
    OutEnable = 0xFF;
    PeriodePas = TabPeriodes[20000];
    const uint8_t motif = MasquePasDir[0] + MasquePas[1];
    DebutMouvement();
    for (auto _ : state)
        PasXY(motif, 1, -1);
    FinMouvement();
    state.counters["événements/s"]
        = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    DefinirPort(nullptr);
    DefinirPlateforme(nullptr);
    std::filesystem::remove_all(dossier);
}

BENCHMARK(BM_EvenementsDePas);

} // namespace
