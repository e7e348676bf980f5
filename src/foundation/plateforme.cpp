#include "foundation/plateforme.h"

#include "foundation/partage.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace virmak {

int64_t PlateformeLinux::Compteur()
{
    timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t PlateformeLinux::FrequenceCompteur()
{
    return 1000000000;
}

bool PlateformeLinux::PrioriteTempsReel(bool active)
{
    // Without the right to SCHED_FIFO the call fails and the thread simply
    // stays at normal priority, which is what an unprivileged user expects.
    // Only the calling thread changes: the window thread keeps its own.
    sched_param p {};
    p.sched_priority = active ? sched_get_priority_min(SCHED_FIFO) : 0;
    return ::pthread_setschedparam(::pthread_self(), active ? SCHED_FIFO : SCHED_OTHER, &p) == 0 && active;
}

int64_t PlateformeLinux::AttendreJusqua(int64_t echeance)
{
    // A long wait sleeps to shortly before the deadline, so slow moves do
    // not burn the real-time budget; the rest is spun for precision.
    constexpr int64_t Reveil = 150000; // ns before the deadline
    int64_t maintenant = Compteur();
    if (echeance - maintenant > 2 * Reveil) {
        const int64_t reveil = echeance - Reveil;
        timespec ts { static_cast<time_t>(reveil / 1000000000), static_cast<long>(reveil % 1000000000) };
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) { }
        maintenant = Compteur();
    }
    while (maintenant - echeance < 0)
        maintenant = Compteur();
    return maintenant;
}

int64_t PlateformeLinux::DormirJusqua(int64_t echeance)
{
    const timespec ts { static_cast<time_t>(echeance / 1000000000),
        static_cast<long>(echeance % 1000000000) };
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) { }
    return Compteur();
}

int Plateforme::Frappes(Touche touche)
{
    const bool enfoncee = ToucheEnfoncee(touche);
    bool& vue = vuesEnfoncees_[static_cast<int>(touche)];
    const bool nouvelle = enfoncee && !vue;
    vue = enfoncee;
    return nouvelle ? 1 : 0;
}

bool PlateformeLinux::ToucheEnfoncee(Touche touche)
{
    return Entrees().ToucheEnfoncee(touche);
}

bool PlateformeLinux::ToucheFrappee(Touche touche)
{
    const bool frappee = Entrees().PrendreFrappe(touche);
    return Entrees().ToucheEnfoncee(touche) || frappee;
}

int PlateformeLinux::Frappes(Touche touche)
{
    return Entrees().PrendreFrappes(touche);
}

bool PlateformeLinux::BoutonEnfonce(BoutonSouris bouton)
{
    return Entrees().BoutonEnfonce(bouton);
}

void PlateformeLinux::Dormir(int millisecondes)
{
    if (millisecondes <= 0)
        return;
    timespec ts { millisecondes / 1000, static_cast<long>(millisecondes % 1000) * 1000000L };
    while (::nanosleep(&ts, &ts) != 0) { }
}

namespace {
    PlateformeLinux plateformeLinux;
    Plateforme* plateformeActive = &plateformeLinux;
} // namespace

Plateforme& PlateformeActive()
{
    return *plateformeActive;
}

void DefinirPlateforme(Plateforme* plateforme)
{
    plateformeActive = plateforme ? plateforme : &plateformeLinux;
}

} // namespace virmak
