#include "machine/temporisation.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/plateforme.h"

#include <algorithm>
#include <cmath>

namespace virmak {

int64_t FreqCompteur;
int64_t TabPeriodes[VitesseMaxTable + 1];
int64_t PeriodePas;
int64_t InstantPas;
double DureeBoucle;
int32_t BouclesCreneau;

void BoucleAttente(int32_t iterations)
{
    // The volatile counter keeps the compiler from removing or merging the
    // loop, so calibration and pulses time the same instructions.
    volatile int32_t n = iterations;
    while (n > 0)
        n = n - 1;
}

namespace {

    double MesurerBoucle(Plateforme& p, int32_t iterations)
    {
        const int64_t t0 = p.Compteur();
        BoucleAttente(iterations);
        const int64_t t1 = p.Compteur();
        return static_cast<double>((t1 - t0) * 1000000) / static_cast<double>(FreqCompteur);
    }

} // namespace

void CalibrerTemporisation()
{
    Plateforme& p = PlateformeActive();
    FreqCompteur = p.FrequenceCompteur();
    if (FreqCompteur <= 0)
        FreqCompteur = 1;
    InstantPas = p.Compteur();
    TabPeriodes[0] = FreqCompteur;
    for (int n = 1; n <= VitesseMaxTable; ++n)
        TabPeriodes[n] = Arrondi64(static_cast<double>(FreqCompteur) / n);
    p.PrioriteTempsReel(true);
    const double d1 = MesurerBoucle(p, 1000);
    const double d2 = MesurerBoucle(p, 5000);
    p.PrioriteTempsReel(false);
    DureeBoucle = (d2 - d1) / 4000.0;
    PeriodePas = 0;
    CalculerBouclesCreneau();
}

void CalculerBouclesCreneau()
{
    // Equal runs (a coarse or virtual clock) give no loop time: one
    // iteration then stands for the pulse, the shortest the port allows.
    if (!(DureeBoucle > 0) || !std::isfinite(DureeBoucle)) {
        BouclesCreneau = 1;
        return;
    }
    BouclesCreneau = std::max(1, Arrondi(LarCreneau / DureeBoucle));
}

} // namespace virmak
