#include "machine/latence.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/plateforme.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"

#include <algorithm>
#include <cmath>
#include <pthread.h>
#include <sched.h>
#include <vector>

namespace virmak {

namespace {

    // Goals for a machine that steps at the asked rate without losing steps.
    constexpr double ButP99 = 20, ButP999 = 50;

    double Centile(const std::vector<int64_t>& tries, double part)
    {
        if (tries.empty())
            return 0;
        const size_t rang
            = std::min(tries.size() - 1, static_cast<size_t>(part * static_cast<double>(tries.size())));
        return static_cast<double>(tries[rang]) * 1e6 / static_cast<double>(FreqCompteur);
    }

} // namespace

MesureLatence MesurerLatence(double duree, int32_t frequence, int cpu)
{
    MesureLatence m;
    m.Frequence = std::clamp(frequence, 1, VitesseMaxTable);
    const double pas = std::clamp(duree, 0.0, 3600.0) * m.Frequence;
    m.Pas = static_cast<int64_t>(pas);
    m.Bridage = BridageTempsReel();

    if (cpu >= 0 && cpu < CPU_SETSIZE) {
        cpu_set_t ensemble;
        CPU_ZERO(&ensemble);
        CPU_SET(cpu, &ensemble);
        ::pthread_setaffinity_np(::pthread_self(), sizeof ensemble, &ensemble);
    }

    // X steps on D0, its direction on D1, nothing inverted, no input: the
    // port work of a real move, on the virtual machine.
    DefinirPort(std::make_unique<MachineVirtuelle>());
    PortLPT = 1;
    Simulation = false;
    ArretUrgence = ButeeActivee = false;
    MasquePas[0] = 0x01;
    MasquePasDir[0] = 0x03;
    MasqueHorsPas = 0xFE;
    OutEnable = 0xFF;
    OutInvert = 0;
    InEnable = 0;
    MasqueButees = MasqueArret = 0x04;

    std::vector<int64_t> retards(static_cast<size_t>(m.Pas));
    const int64_t periode = TabPeriodes[m.Frequence];
    m.TempsReel = DebutMouvement();
    InstantPas = PlateformeActive().Compteur();
    for (int64_t& r : retards) {
        EmettrePas(0x03, periode);
        r = RetardDernierPas;
    }
    FinMouvement();
    DefinirPort(nullptr);

    const int64_t seuil20 = 20 * FreqCompteur / 1000000, seuil100 = 100 * FreqCompteur / 1000000;
    for (int64_t r : retards) {
        m.Retards20 += r > seuil20;
        m.Retards100 += r > seuil100;
    }
    std::sort(retards.begin(), retards.end());
    m.P50 = Centile(retards, 0.5);
    m.P99 = Centile(retards, 0.99);
    m.P999 = Centile(retards, 0.999);
    m.Max = Centile(retards, 1.0);

    const std::string rythme = std::to_string(m.Frequence) + " pas par seconde";
    if (m.P99 <= ButP99 && m.P999 <= ButP999) {
        m.Conseil = "Cette machine tient " + rythme + " : AvMax peut aller jusque-là.";
        // Rare but long stalls: a move then pauses, it does not lose steps.
        if (m.Max > 1000)
            m.Conseil += " Un pas a pourtant attendu " + std::to_string(static_cast<int64_t>(m.Max / 1000))
                + " ms" + (m.Bridage != "-1" ? " : sudo sysctl kernel.sched_rt_runtime_us=-1 l'évite." : ".");
    } else {
        m.Conseil = "Retards trop grands à " + rythme + " : baisser AvMax";
        if (!m.TempsReel)
            m.Conseil += ", donner la priorité temps réel (limite rtprio)";
        if (m.Bridage != "-1")
            m.Conseil += ", sudo sysctl kernel.sched_rt_runtime_us=-1";
        m.Conseil += ", réserver un cœur (isolcpus) ou prendre un noyau temps réel.";
    }
    return m;
}

} // namespace virmak
