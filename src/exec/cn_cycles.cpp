#include "exec/cn_cycles.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/plateforme.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "machine/cn_algos.h"
#include "machine/cn_pilot.h"
#include "machine/temporisation.h"

#include <algorithm>
#include <cmath>

namespace virmak {

namespace {

    // The period always comes from the nominal 10 mm of Z, never the real
    // displacement; each move is rounded to steps on its own.
    constexpr double ZNominal = 10;

    // False once a stop or a limit ended the move: the cycle goes no
    // further, not even its retract, which would otherwise run towards or
    // away from a latched switch as if nothing had happened.
    bool Mouvement(uint8_t octet, double deplacement, double vitesseAffichee, double avance)
    {
        Form1.TrackBarVitAv.DefinirPosition(Arrondi(vitesseAffichee));
        VueActive().DonnerFocus("TrackBarTAv");
        PeriodePas = CalculPeriode(0, 0, ZNominal, avance);
        LigneZ(octet, PasDe(deplacement, 2));
        return !ArretUrgence && !ButeeActivee;
    }

    struct Percage {
        uint8_t octet;
        double avance;

        bool Rapide(double deplacement) const
        {
            return Mouvement(
                octet, deplacement, AvanceMax, AvanceMax * AvRap * Form1.TrackBarTAv.Position / 10);
        }
        bool Travail(double deplacement) const
        {
            return Mouvement(octet, deplacement, avance, Form1.TrackBarTAv.Position * avance / 10);
        }
    };

    // The dwell at the bottom: the machine's one wait, which a stop ends at
    // once; the step after it goes at once and is not late.
    bool Temporiser(double millisecondes)
    {
        const int64_t ms = std::min(Arrondi64(std::fabs(millisecondes)), int64_t { 3600000 });
        int64_t maintenant = 0;
        const bool complete
            = Patienter(PlateformeActive().Compteur() + ms * (FreqCompteur / 1000), maintenant);
        ReprendreApresPause();
        return complete;
    }

} // namespace

void CyclePercage(
    int32_t cycle, uint8_t octetSortie, double profondeur, double r, double p, double q, double avance)
{
    VERIFIER_FIL_MACHINE();
    const Percage percage { octetSortie, avance };
    const double d = -std::fabs(G83d);
    if (profondeur > 0)
        profondeur = 0;
    if (r > 0)
        r = 0;
    if (std::fabs(q) > std::fabs(profondeur))
        q = profondeur;
    if (q >= 0)
        q = profondeur;
    if (profondeur == 0 || !std::isfinite(profondeur) || !std::isfinite(r) || !std::isfinite(q))
        return;

    // CalageZ comes back whatever ends the cycle.
    struct Calage {
        bool avant = CalageZ;
        ~Calage() { CalageZ = avant; }
    } calage;
    CalageZ = false;
    if (!percage.Rapide(r))
        return;
    if (cycle == 83) {
        int64_t n = static_cast<int64_t>(std::fabs(profondeur) / std::fabs(q));
        if (std::fabs(profondeur) == std::fabs(q) * static_cast<double>(n))
            --n;
        if (!percage.Travail(q) || !percage.Rapide(-q))
            return;
        for (int64_t k = 2; k <= n; ++k) {
            if (!percage.Rapide(static_cast<double>(k - 1) * q - d) || !percage.Travail(q + d)
                || !percage.Rapide(-static_cast<double>(k) * q))
                return;
        }
        if (!percage.Rapide(static_cast<double>(n) * q - d))
            return;
        CalageZ = calage.avant;
        if (!percage.Travail(profondeur - (static_cast<double>(n) * q - d)))
            return;
    } else {
        CalageZ = calage.avant;
        if (!percage.Travail(profondeur))
            return;
        if (cycle == 82 && !Temporiser(p))
            return;
    }
    percage.Rapide(-(profondeur + r));
}

} // namespace virmak
