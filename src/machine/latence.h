#pragma once
// How late this machine emits steps: the real emitter on the virtual port
// at a fixed rate, exactly as a move runs, every step's lateness measured.

#include <cstdint>
#include <functional>
#include <string>

namespace virmak {

struct MesureLatence {
    int32_t Frequence = 0; // steps per second asked for
    int64_t Pas = 0; // steps emitted
    bool Interrompue = false; // ended early by a stop
    bool TempsReel = false; // SCHED_FIFO granted
    std::string Bridage; // kernel.sched_rt_runtime_us
    double P50 = 0, P99 = 0, P999 = 0, Max = 0; // lateness, µs
    int64_t Retards20 = 0, Retards100 = 0; // steps later than 20 µs, 100 µs
    std::string Conseil; // one French line
    int32_t AvMaxConseille = 0; // the largest AvMax this timing allows; 0 after a stop
};

// The largest step rate, up to the one measured and by hundreds, whose
// period leaves room for the lateness measured: 99 % of the steps within
// 40 % of a period and 99.9 % within one period, the goals the measure
// holds at 20000 steps per second (20 and 50 µs).
int32_t AvMaxConseille(double p99, double p999, int32_t frequence);

// Called about every 5 ms of a measure with the part of it done (0 to 1);
// false ends the measure at once.
using SuiviLatence = std::function<bool(double)>;

// True when `cpu` is a processor this process may run on.
bool ProcesseurDisponible(int cpu);

// `duree` seconds at `frequence` steps per second (1..20000) on X, on a
// virtual machine that replaces the port for the measure; `cpu` >= 0 pins
// the thread to that CPU. The configuration must be loaded. A stop (the
// emergency stop, the window closing) or `suivi` ends it early. The port,
// the configuration and the masks it borrows are as before afterwards; a
// stop taken stays taken.
MesureLatence MesurerLatence(double duree, int32_t frequence, int cpu, const SuiviLatence& suivi = {});

} // namespace virmak
