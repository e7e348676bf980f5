#include "machine/in_out.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"

#include <atomic>
#include <csignal>

namespace virmak {

namespace {

    PortInactif portInactif;
    std::unique_ptr<AccesPort> portPossede;
    // Read by the fatal-signal handler, hence atomic.
    std::atomic<AccesPort*> portActif { &portInactif };

    void Ecrire(uint8_t valeur, uint8_t bitControle)
    {
        AccesPort& p = *portActif.load(std::memory_order_relaxed);
        p.Ecrire(AdrDLPT, valeur);
        p.Ecrire(AdrCLPT, 0);
        p.Ecrire(AdrCLPT, bitControle);
        p.Ecrire(AdrCLPT, 0);
    }

    void SignalFatal(int signal)
    {
        // The handler was reset on entry (SA_RESETHAND): raising again dies
        // as the signal would have.
        if (PortLPT != 0 && !Simulation)
            Ecrire(OctetSortiesRepos(), 1);
        ::raise(signal);
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
}

uint8_t LirePortEntrees()
{
    return PortActif().Lire(AdrELPT) & 0xF8;
}

void EcrireSortiesA(uint8_t valeur)
{
    Ecrire(valeur, 1);
}

void EcrireSortiesB(uint8_t valeur)
{
    Ecrire(valeur, 2);
}

void EcrireSortiesC(uint8_t valeur)
{
    Ecrire(valeur, 4);
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
    if (Simulation || PortLPT == 0)
        return;
    EcrireSortiesA(OctetSortiesRepos());
    EcrireSortiesB(0);
    EcrireSortiesC(0);
}

void ProtegerSortiesContreSignauxFataux()
{
    struct sigaction action { };
    action.sa_handler = SignalFatal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int s : { SIGSEGV, SIGABRT, SIGBUS, SIGFPE })
        ::sigaction(s, &action, nullptr);
}

} // namespace virmak
