#include "machine/cn_algos.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "iso/geometrie.h"
#include "machine/cn_pilot.h"
#include "machine/planificateur.h"
#include "machine/temporisation.h"

#include <cmath>
#include <numbers>

namespace virmak {

namespace {

    // Sign, pattern and doubled count of one axis of a straight move.
    struct Axe {
        int32_t signe;
        uint8_t motif;
        int64_t double_;
    };

    Axe Preparer(int axe, int32_t n)
    {
        const bool negatif = n < 0;
        return { negatif ? -1 : 1, negatif ? MasquePas[axe] : MasquePasDir[axe],
            2 * std::abs(static_cast<int64_t>(n)) };
    }

    bool Arret()
    {
        return ArretUrgence || ButeeActivee;
    }

    // The ramp's follower sees every straight move start and end.
    struct Ligne {
        Ligne(int32_t nX, int32_t nY, int32_t nZ) { DebutLigne(nX, nY, nZ); }
        ~Ligne() { FinLigne(); }
        Ligne(const Ligne&) = delete;
        Ligne& operator=(const Ligne&) = delete;
    };

    // With ramps each chord starts from the exact step position, as the
    // run's plan computed it; without, from the readouts, each chord
    // correcting what the last one left over.
    double Depart(int axe)
    {
        return RampesActives() ? PosPas[axe] * ValPas[axe] : PosMm[axe];
    }

    void Corde(uint8_t base, double x, double y, double avance)
    {
        const double dX = x - Depart(0);
        const double dY = y - Depart(1);
        PeriodePas = CalculPeriode(dX, dY, 0, Form1.TrackBarTAv.Position * avance / 10);
        LigneXY(base, PasDe(dX, 0), PasDe(dY, 1));
    }

} // namespace

int32_t Maxi(int32_t a, int32_t b)
{
    return a > b ? a : b;
}

int32_t PasDe(double mm, int axe)
{
    const double n = mm / ValPas[axe];
    if (!std::isfinite(n) || std::fabs(n) > PasMaxi)
        return 0;
    return static_cast<int32_t>(Arrondi64(n));
}

void LigneXY(uint8_t base, int32_t nX, int32_t nY)
{
    const Axe axes[2] = { Preparer(0, nX), Preparer(1, nY) };
    const Ligne ligne(nX, nY, 0);
    int32_t n[2] = { nX, nY };
    // Ties go to X; the minor axis steps when the error term is zero or
    // positive, so on an exact half at the earlier event.
    const int d = axes[0].double_ >= axes[1].double_ ? 0 : 1;
    const int m = 1 - d;
    AxePrincipal = d;
    int64_t e = axes[m].double_ - axes[d].double_ / 2;
    const uint8_t majeur = static_cast<uint8_t>(base + axes[d].motif);
    while (n[d] != 0) {
        int32_t pas[2] = { 0, 0 };
        uint8_t extra = 0;
        if (e >= 0) {
            pas[m] = axes[m].signe;
            extra = axes[m].motif;
            e -= axes[d].double_;
        }
        e += axes[m].double_;
        n[d] -= axes[d].signe;
        pas[d] = axes[d].signe;
        PasXY(static_cast<uint8_t>(majeur + extra), pas[0], pas[1]);
        if (Arret())
            return;
    }
}

void LigneZ(uint8_t base, int32_t nZ)
{
    const Axe z = Preparer(2, nZ);
    const Ligne ligne(0, 0, nZ);
    const uint8_t motif = static_cast<uint8_t>(base + z.motif);
    while (nZ != 0) {
        nZ -= z.signe;
        PasZ(motif, z.signe);
        if (Arret())
            return;
    }
    SoutienZ(z.signe);
}

void LigneXYZ(uint8_t base, int32_t nX, int32_t nY, int32_t nZ)
{
    const Axe axes[3] = { Preparer(0, nX), Preparer(1, nY), Preparer(2, nZ) };
    const Ligne ligne(nX, nY, nZ);
    int32_t n[3] = { nX, nY, nZ };
    // Ties go to X, then to Y.
    const auto a = [&](int i) { return axes[i].double_; };
    const int d = a(0) >= std::max(a(1), a(2)) ? 0 : (a(1) >= std::max(a(0), a(2)) ? 1 : 2);
    AxePrincipal = d;
    int64_t e[3];
    for (int i = 0; i < 3; ++i)
        e[i] = a(i) - a(d) / 2;
    const uint8_t majeur = static_cast<uint8_t>(base + axes[d].motif);
    while (n[d] != 0) {
        int32_t pas[3] = { 0, 0, 0 };
        uint8_t motif = majeur;
        for (int i = 0; i < 3; ++i) {
            if (i == d)
                continue;
            if (e[i] >= 0) {
                pas[i] = axes[i].signe;
                motif = static_cast<uint8_t>(motif + axes[i].motif);
                e[i] -= a(d);
            }
            e[i] += a(i);
        }
        pas[d] = axes[d].signe;
        n[d] -= axes[d].signe;
        PasXYZ(motif, pas[0], pas[1], pas[2]);
        if (Arret())
            return;
    }
    SoutienZ(axes[2].signe);
}

bool PointsArc(int32_t sens, double x0, double y0, double x1, double y1, double xc, double yc,
    const std::function<bool(double, double)>& corde)
{
    constexpr double Pi = std::numbers::pi;
    const double r = std::hypot(x0 - xc, y0 - yc);
    if (!(r > 0) || !std::isfinite(r))
        return true;
    const double a0 = AngleVecteur({ x0 - xc, y0 - yc });
    const double a1 = AngleVecteur({ x1 - xc, y1 - yc });
    double balayage;
    if (sens == 1)
        balayage = a0 == a1 ? 2 * Pi : (a0 < a1 ? a1 - a0 : a1 - a0 + 2 * Pi);
    else
        balayage = a0 == a1 ? -2 * Pi : (a0 < a1 ? a1 - a0 - 2 * Pi : a1 - a0);
    // Decided: a facet height beyond the diameter gives one chord per half
    // turn, never NaN nor a full turn there and back along a diameter.
    const double cosinus = std::max(-1.0, (r - CreteCir) / r);
    const double phi = std::min(Pi, 2 * std::acos(cosinus));
    const double cordes = std::floor(std::fabs(balayage / phi)) + 1;
    const int64_t n = cordes < 1e7 ? static_cast<int64_t>(cordes) : 10000000;
    const double delta = balayage / static_cast<double>(n);
    double theta = a0;
    for (int64_t k = 1; k < n; ++k) {
        theta += delta;
        if (!corde(xc + r * std::cos(theta), yc + r * std::sin(theta)))
            return false;
    }
    return corde(x1, y1);
}

void ArcXY(uint8_t base, int32_t sens, double x0, double y0, double x1, double y1, double xc, double yc,
    double avance)
{
    PointsArc(sens, x0, y0, x1, y1, xc, yc, [&](double x, double y) {
        Corde(base, x, y, avance);
        return !Arret();
    });
}

} // namespace virmak
