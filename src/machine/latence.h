#pragma once
// How late this machine emits steps: the real emitter on the virtual port
// at a fixed rate, exactly as a move runs, every step's lateness measured.

#include <cstdint>
#include <string>

namespace virmak {

struct MesureLatence {
    int32_t Frequence = 0; // steps per second asked for
    int64_t Pas = 0; // steps emitted
    bool TempsReel = false; // SCHED_FIFO granted
    std::string Bridage; // kernel.sched_rt_runtime_us
    double P50 = 0, P99 = 0, P999 = 0, Max = 0; // lateness, µs
    int64_t Retards20 = 0, Retards100 = 0; // steps later than 20 µs, 100 µs
    std::string Conseil; // one French line
};

// True when `cpu` is a processor this process may run on.
bool ProcesseurDisponible(int cpu);

// `duree` seconds at `frequence` steps per second (1..20000) on X, on a
// virtual machine that replaces the port for the measure; `cpu` >= 0 pins
// the thread to that CPU. The configuration must be loaded.
MesureLatence MesurerLatence(double duree, int32_t frequence, int cpu);

} // namespace virmak
