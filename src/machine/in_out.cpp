#include "machine/in_out.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "machine/choix_port.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace virmak {

namespace {

    PortInactif portInactif;
    std::unique_ptr<AccesPort> portPossede;
    // Read by the signal handlers, hence atomic; a write sequence runs with
    // `sequenceEnCours` set, so that a handler that swaps the port out knows
    // whether one may still be writing to the old one.
    std::atomic<AccesPort*> portActif { &portInactif };
    std::atomic<bool> sequenceEnCours { false };
    std::atomic<pthread_t> ecrivain {}; // the thread of the last sequence

    bool defaut = false;
    std::string texteDefaut;

    void NoterDefaut(const AccesPort& p, const char* operation)
    {
        if (defaut)
            return;
        defaut = true;
        texteDefaut = "le port " + p.Nom() + " ne répond plus (" + operation + " : " + p.Defaut() + ")";
    }

    // The four writes of one latch; no allocation unless an access fails.
    bool Sequence(AccesPort& p, uint8_t valeur, uint8_t bitControle)
    {
        if (!p.Ecrire(AdrDLPT, valeur)) {
            NoterDefaut(p, "écriture des données");
            return false;
        }
        if (p.Ecrire(AdrCLPT, 0) && p.Ecrire(AdrCLPT, bitControle) && p.Ecrire(AdrCLPT, 0))
            return true;
        NoterDefaut(p, "écriture du registre de contrôle");
        p.Ecrire(AdrCLPT, 0);
        return false;
    }

    bool Ecrire(uint8_t valeur, uint8_t bitControle)
    {
        // Sequentially consistent on both sides: a handler that swapped the
        // port out then sees this flag if the old port was taken.
        ecrivain.store(::pthread_self(), std::memory_order_relaxed);
        sequenceEnCours.store(true, std::memory_order_seq_cst);
        AccesPort* p = portActif.load(std::memory_order_seq_cst);
        // Cut off: the flag goes down at once, so a handler waiting on it
        // is never held by writes that go nowhere.
        const bool ok = p == &portInactif || Sequence(*p, valeur, bitControle);
        sequenceEnCours.store(false, std::memory_order_release);
        return ok;
    }

    int64_t MaintenantNs()
    {
        timespec ts {};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    // Signals whose default is to end the process, caused by the thread
    // that receives them.
    constexpr int SignauxSynchrones[]
        = { SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGPIPE, SIGXFSZ };
    // The same, sent to the process. The desktop program closes on SIGTERM,
    // SIGINT and SIGHUP through its own handler; elsewhere they rest the
    // outputs like the others.
    constexpr int SignauxAsynchrones[] = { SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
        SIGVTALRM, SIGPROF, SIGXCPU, SIGIO, SIGPWR, SIGSTKFLT };

    void SignalFatal(int signal)
    {
        CouperSortiesEtReposer();
        // The handler was reset on entry (SA_RESETHAND): raising again dies
        // as the signal would have.
        ::raise(signal);
    }

    void Proteger(int signal)
    {
        struct sigaction avant { };
        if (::sigaction(signal, nullptr, &avant) != 0 || avant.sa_handler != SIG_DFL)
            return;
        struct sigaction action { };
        action.sa_handler = SignalFatal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signal, &action, nullptr);
    }

} // namespace

AccesPort& PortActif()
{
    return *portActif.load(std::memory_order_relaxed);
}

void DefinirPort(std::unique_ptr<AccesPort> port)
{
    portActif.store(port ? port.get() : &portInactif);
    portPossede = std::move(port);
    OublierDefautPort();
}

std::unique_ptr<AccesPort> RendrePort()
{
    portActif.store(&portInactif);
    OublierDefautPort();
    return std::move(portPossede);
}

std::optional<uint8_t> LirePortEntrees()
{
    AccesPort& p = PortActif();
    uint8_t octet = 0;
    if (!p.Lire(AdrELPT, octet)) {
        NoterDefaut(p, "lecture des entrées");
        return std::nullopt;
    }
    return static_cast<uint8_t>(octet & 0xF8);
}

bool EcrireSortiesA(uint8_t valeur)
{
    return Ecrire(valeur, 1);
}

bool EcrireSortiesB(uint8_t valeur)
{
    return Ecrire(valeur, 2);
}

bool EcrireSortiesC(uint8_t valeur)
{
    return Ecrire(valeur, 4);
}

bool PortEnDefaut()
{
    return defaut;
}

std::string TexteDefautPort()
{
    return texteDefaut;
}

void OublierDefautPort()
{
    defaut = false;
    texteDefaut.clear();
}

bool SimulationEnForce()
{
    return Simulation && !MachineVirtuelleDemandee;
}

bool PortEnService()
{
    return MachineVirtuelleDemandee || PortLPT != 0;
}

uint8_t OctetPort(uint8_t motif)
{
    return static_cast<uint8_t>((motif & OutEnable) ^ OutInvert);
}

uint8_t OctetSortiesRepos()
{
    return OctetPort(0);
}

void EffacerSorties()
{
    if (SimulationEnForce() || !PortEnService())
        return;
    EcrireSortiesA(OctetSortiesRepos());
    EcrireSortiesB(0);
    EcrireSortiesC(0);
    // Without latches the data lines are the outputs: they end at rest too.
    sequenceEnCours.store(true, std::memory_order_seq_cst);
    AccesPort& p = *portActif.load(std::memory_order_seq_cst);
    if (!p.Ecrire(AdrDLPT, OctetSortiesRepos()))
        NoterDefaut(p, "écriture des données");
    sequenceEnCours.store(false, std::memory_order_release);
}

void CouperSortiesEtReposer()
{
    AccesPort* port = portActif.exchange(&portInactif, std::memory_order_seq_cst);
    // A sequence that took the port before the swap finishes first, unless
    // it is the one this very thread was interrupted in: that one never
    // will. The limit is for a thread that died meanwhile.
    constexpr int64_t AttenteMaxNs = 1000000000;
    const bool interrompue = ::pthread_equal(ecrivain.load(std::memory_order_relaxed), ::pthread_self());
    const int64_t debut = MaintenantNs();
    while (!interrompue && sequenceEnCours.load(std::memory_order_seq_cst)
        && MaintenantNs() - debut < AttenteMaxNs) { }
    if (port == &portInactif || SimulationEnForce() || !PortEnService())
        return;
    const uint8_t repos = OctetSortiesRepos();
    port->Ecrire(AdrDLPT, repos);
    port->Ecrire(AdrCLPT, 0);
    port->Ecrire(AdrCLPT, 1);
    port->Ecrire(AdrCLPT, 0);
}

void ProtegerSortiesContreSignauxFataux()
{
    for (int s : SignauxSynchrones)
        Proteger(s);
    for (int s : SignauxAsynchrones)
        Proteger(s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s)
        Proteger(s);
}

void BloquerSignauxAsynchrones()
{
    sigset_t ensemble;
    sigemptyset(&ensemble);
    for (int s : SignauxAsynchrones)
        sigaddset(&ensemble, s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s)
        sigaddset(&ensemble, s);
    ::pthread_sigmask(SIG_BLOCK, &ensemble, nullptr);
}

} // namespace virmak
