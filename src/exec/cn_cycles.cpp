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

#include <cmath>

namespace virmak {

namespace {

    // The period always comes from the nominal 10 mm of Z, never the real
    // displacement; each move is rounded to steps on its own.
    constexpr double ZNominal = 10;

    void Mouvement(uint8_t octet, double deplacement, double vitesseAffichee, double avance)
    {
        Form1.TrackBarVitAv.DefinirPosition(Arrondi(vitesseAffichee));
        VueActive().DonnerFocus("TrackBarTAv");
        PeriodePas = CalculPeriode(0, 0, ZNominal, avance);
        LigneZ(octet, PasDe(deplacement, 2));
    }

    struct Percage {
        uint8_t octet;
        double avance;

        void Rapide(double deplacement) const
        {
            Mouvement(octet, deplacement, AvanceMax, AvanceMax * AvRap * Form1.TrackBarTAv.Position / 10);
        }
        void Travail(double deplacement) const
        {
            Mouvement(octet, deplacement, avance, Form1.TrackBarTAv.Position * avance / 10);
        }
    };

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

    const bool calage = CalageZ;
    CalageZ = false;
    percage.Rapide(r);
    if (cycle == 83) {
        int64_t n = static_cast<int64_t>(std::fabs(profondeur) / std::fabs(q));
        if (std::fabs(profondeur) == std::fabs(q) * static_cast<double>(n))
            --n;
        percage.Travail(q);
        percage.Rapide(-q);
        for (int64_t k = 2; k <= n; ++k) {
            percage.Rapide(static_cast<double>(k - 1) * q - d);
            percage.Travail(q + d);
            percage.Rapide(-static_cast<double>(k) * q);
        }
        percage.Rapide(static_cast<double>(n) * q - d);
        CalageZ = calage;
        percage.Travail(profondeur - (static_cast<double>(n) * q - d));
    } else {
        CalageZ = calage;
        percage.Travail(profondeur);
        // The dwell sleeps on the machine thread; the window stays alive.
        if (cycle == 82)
            PlateformeActive().Dormir(
                static_cast<int>(std::min(Arrondi64(std::fabs(p)), int64_t { 3600000 })));
    }
    percage.Rapide(-(profondeur + r));
}

} // namespace virmak
