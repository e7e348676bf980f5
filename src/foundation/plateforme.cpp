#include "foundation/plateforme.h"

#include "foundation/partage.h"

#include <ctime>
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

void PlateformeLinux::PrioriteTempsReel(bool active)
{
    // Without the right to SCHED_FIFO the call fails and the process simply
    // stays at normal priority, which is what an unprivileged user expects.
    sched_param p {};
    p.sched_priority = active ? sched_get_priority_min(SCHED_FIFO) : 0;
    ::sched_setscheduler(0, active ? SCHED_FIFO : SCHED_OTHER, &p);
}

bool PlateformeLinux::ToucheEnfoncee(Touche touche)
{
    return Entrees().ToucheEnfoncee(touche);
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
