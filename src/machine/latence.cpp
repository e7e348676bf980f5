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

    // The lateness of every step, counted in slots of 0.1 µs up to 10 ms
    // (the precision printed), the rare longer ones kept as they are: the
    // memory does not grow with the length of the measure.
    class Repartition {
    public:
        void Ajouter(int64_t retardNs)
        {
            const int64_t case_ = retardNs / 100;
            if (case_ < NbCases)
                ++cases_[static_cast<size_t>(case_)];
            else
                longs_.push_back(retardNs);
            ++total_;
        }
        // The lateness under which a part `part` of the steps falls, in µs.
        double Centile(double part)
        {
            if (total_ == 0)
                return 0;
            const int64_t rang
                = std::min<int64_t>(total_ - 1, static_cast<int64_t>(part * static_cast<double>(total_)));
            int64_t vus = 0;
            for (size_t c = 0; c < cases_.size(); ++c) {
                vus += cases_[c];
                if (vus > rang)
                    return static_cast<double>(c) / 10;
            }
            std::sort(longs_.begin(), longs_.end());
            return static_cast<double>(longs_[static_cast<size_t>(rang - vus)]) / 1000;
        }
        int64_t AuDela(int64_t ns) const
        {
            int64_t n = 0;
            for (size_t c = static_cast<size_t>(ns / 100) + 1; c < cases_.size(); ++c)
                n += cases_[c];
            for (int64_t l : longs_)
                n += l > ns;
            return n;
        }

    private:
        static constexpr int64_t NbCases = 100000;
        std::vector<int64_t> cases_ = std::vector<int64_t>(NbCases);
        std::vector<int64_t> longs_;
        int64_t total_ = 0;
    };

} // namespace

bool ProcesseurDisponible(int cpu)
{
    cpu_set_t ensemble;
    CPU_ZERO(&ensemble);
    return cpu >= 0 && cpu < CPU_SETSIZE && ::sched_getaffinity(0, sizeof ensemble, &ensemble) == 0
        && CPU_ISSET(cpu, &ensemble);
}

int32_t AvMaxConseille(double p99, double p999, int32_t frequence)
{
    double f = std::clamp(frequence, 1, VitesseMaxTable);
    if (p99 > 0)
        f = std::min(f, 0.4e6 / p99);
    if (p999 > 0)
        f = std::min(f, 1e6 / p999);
    return f >= 100 ? static_cast<int32_t>(f / 100) * 100 : std::max(1, static_cast<int32_t>(f));
}

namespace {

    // What the measure borrows, given back whatever ends it.
    class Emprunt {
    public:
        Emprunt()
            : port_(RendrePort())
        {
        }
        ~Emprunt()
        {
            DefinirPort(std::move(port_));
            PortLPT = portLPT_;
            Simulation = simulation_;
            MasquePas[0] = pas_;
            MasquePasDir[0] = pasDir_;
            MasqueHorsPas = horsPas_;
            OutEnable = outEnable_;
            OutInvert = outInvert_;
            InEnable = inEnable_;
            MasqueButees = butees_;
            MasqueArret = arret_;
            AvMax[0] = avMax_;
            InstantPas = instant_;
        }
        Emprunt(const Emprunt&) = delete;
        Emprunt& operator=(const Emprunt&) = delete;

    private:
        std::unique_ptr<AccesPort> port_;
        int32_t portLPT_ = PortLPT;
        bool simulation_ = Simulation;
        uint8_t pas_ = MasquePas[0], pasDir_ = MasquePasDir[0], horsPas_ = MasqueHorsPas;
        uint8_t outEnable_ = OutEnable, outInvert_ = OutInvert, inEnable_ = InEnable;
        uint8_t butees_ = MasqueButees, arret_ = MasqueArret;
        int32_t avMax_ = AvMax[0];
        int64_t instant_ = InstantPas;
    };

} // namespace

MesureLatence MesurerLatence(double duree, int32_t frequence, int cpu, const SuiviLatence& suivi)
{
    MesureLatence m;
    m.Frequence = std::clamp(frequence, 1, VitesseMaxTable);
    const int64_t prevus = static_cast<int64_t>(std::clamp(duree, 0.0, 3600.0) * m.Frequence);
    m.Bridage = BridageTempsReel();

    if (ProcesseurDisponible(cpu)) {
        cpu_set_t ensemble;
        CPU_ZERO(&ensemble);
        CPU_SET(cpu, &ensemble);
        ::pthread_setaffinity_np(::pthread_self(), sizeof ensemble, &ensemble);
    }

    Repartition retards;
    {
        const Emprunt emprunt;
        // X steps on D0, its direction on D1, nothing inverted, no input:
        // the port work of a real move, on the virtual machine.
        DefinirPort(std::make_unique<MachineVirtuelle>());
        PortLPT = 1;
        Simulation = false;
        MasquePas[0] = 0x01;
        MasquePasDir[0] = 0x03;
        MasqueHorsPas = 0xFE;
        OutEnable = 0xFF;
        OutInvert = 0;
        InEnable = 0;
        MasqueButees = MasqueArret = 0x04;
        // The rate asked for is measured, whatever AvMax says of the machine.
        AvMax[0] = m.Frequence;

        const int64_t periode = TabPeriodes[m.Frequence];
        const int64_t versNs = 1000000000 / std::max<int64_t>(1, FreqCompteur);
        // About every 5 ms: a stop asked for is taken at once.
        const int64_t pasParSuivi = std::max<int64_t>(1, m.Frequence / 200);
        m.TempsReel = DebutMouvement();
        InstantPas = PlateformeActive().Compteur();
        for (; m.Pas < prevus && !ArretUrgence; ++m.Pas) {
            if (suivi && m.Pas % pasParSuivi == 0 && !suivi(static_cast<double>(m.Pas) / prevus))
                break;
            EmettrePas(0x03, periode);
            if (ArretUrgence)
                break;
            retards.Ajouter(RetardDernierPas * versNs);
        }
        m.Interrompue = m.Pas < prevus;
        // Its own figures say how late the steps were: no move's report.
        PasEnRetard = 0;
        FinMouvement();
    }
    if (suivi && !m.Interrompue)
        suivi(1.0);

    m.Retards20 = retards.AuDela(20000);
    m.Retards100 = retards.AuDela(100000);
    m.P50 = retards.Centile(0.5);
    m.P99 = retards.Centile(0.99);
    m.P999 = retards.Centile(0.999);
    m.Max = retards.Centile(1.0);

    m.AvMaxConseille = m.Interrompue ? 0 : AvMaxConseille(m.P99, m.P999, m.Frequence);
    const std::string rythme = std::to_string(m.Frequence) + " pas par seconde";
    // Without real-time priority the kernel's throttling plays no part: the
    // remedy is the priority itself.
    const std::string remede = !m.TempsReel
        ? "donner la priorité temps réel (limite rtprio, voir la page « Régularité des pas » de l'aide)"
        : m.Bridage != "-1" ? "sudo sysctl kernel.sched_rt_runtime_us=-1"
                            : "";
    if (m.P99 <= ButP99 && m.P999 <= ButP999) {
        m.Conseil = "Cette machine tient " + rythme + " : AvMax peut aller jusque-là.";
        // Rare but long stalls: a move then pauses, it does not lose steps.
        if (m.Max > 1000)
            m.Conseil += " Un pas a pourtant attendu " + std::to_string(static_cast<int64_t>(m.Max / 1000))
                + " ms" + (remede.empty() ? "." : " : " + remede + " l'évite.");
    } else {
        m.Conseil = "Retards trop grands à " + rythme + " : baisser AvMax";
        if (!remede.empty())
            m.Conseil += ", " + remede;
        m.Conseil += ", réserver un cœur (isolcpus) ou prendre un noyau temps réel.";
    }
    return m;
}

} // namespace virmak
