// The desktop program's window following a run of the benchmarks'
// 30 000-line program, offscreen, in simulation as a new installation runs:
// how long after the machine's end the window shows the end, and the peak
// memory of the process.

#include "../programme_realiste.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "pupitre/programme.h"
#include "ui/fenetre_principale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace virmak;

namespace {

using Horloge = std::chrono::steady_clock;

std::filesystem::path NouveauDossier()
{
    std::string modele = (std::filesystem::temp_directory_path() / "virmak-bench-XXXXXX").string();
    if (!::mkdtemp(modele.data()))
        std::abort();
    return modele;
}

template <class Condition> void AttendreQue(Condition condition)
{
    while (!condition()) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
}

void BM_SuiviDunCycleDe30000Lignes(benchmark::State& etat)
{
    const std::filesystem::path dossier = NouveauDossier();
    {
        std::ofstream ini(dossier / "CncParam.Ini", std::ios::binary);
        // A table large enough for the whole program, as the refusal asks.
        ini << "[BOOLEAN]\r\nAvertOK=1\r\n[GCODES]\r\nMaxLProg=65535\r\n";
        std::ofstream programme(dossier / "programme.iso", std::ios::binary);
        for (const std::string& ligne : bench::ProgrammeRealiste())
            programme << ligne << "\r\n";
    }
    RepDemande = dossier.string() + "/";
    double machine = 0, fenetre = 0, retard = 0;
    for (auto _ : etat) {
        TForm1 f;
        f.show();
        f.AttendreMachine();
        f.Poster([chemin = (dossier / "programme.iso").string()] { ChargerProgramme(chemin); });
        f.AttendreMachine();
        const auto debut = Horloge::now();
        f.findChild<QPushButton*>("BitBtnCycle")->click();
        // The machine's end: its queue back to idle after the run.
        std::atomic<int64_t> finMachine { 0 };
        std::function<void()> guetter = [&] {
            if (FileMachine().Profondeur() > 1)
                FileMachine().Poster(guetter);
            else
                finMachine = (Horloge::now() - debut).count();
        };
        FileMachine().Poster(guetter);
        // The window's end: it shows it, and has nothing left to draw.
        const auto* message = f.findChild<QLabel*>("MesEtat");
        AttendreQue([&] {
            return finMachine != 0 && message->text() == "Cycle terminé." && f.VueDuFil().EnAttente() == 0;
        });
        const auto finFenetre = Horloge::now() - debut;
        machine = std::chrono::duration<double>(Horloge::duration(finMachine.load())).count();
        fenetre = std::chrono::duration<double>(finFenetre).count();
        retard = fenetre - machine;
        f.close();
        AttendreQue([&] { return !f.isVisible(); });
    }
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    etat.counters["machine_s"] = machine;
    etat.counters["fenetre_s"] = fenetre;
    etat.counters["retard_s"] = retard;
    etat.counters["memoire_maxi_Mo"] = static_cast<double>(usage.ru_maxrss) / 1024;
    RepDemande.clear();
    std::error_code ec;
    std::filesystem::remove_all(dossier, ec);
}
BENCHMARK(BM_SuiviDunCycleDe30000Lignes)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
