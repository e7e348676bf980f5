#include "machine/cn_algos.h"

#include "foundation/pupitre.h"
#include "support/machine.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Interpolation : public AvecMachineCablee {
protected:
    // Each chord computes its own period, which shows "Avance réelle".
    long Cordes()
    {
        const long n = std::count(vue.repeints.begin(), vue.repeints.end(), "RapTextAv");
        vue.repeints.clear();
        return n;
    }
    // The decoded events of one axis as a string of '+', '-' and '.', one
    // character per event instant of the move.
    std::string Evenements(int axe)
    {
        std::string s;
        int64_t instant = -1;
        for (const PasVirtuel& p : m->Pas()) {
            if (p.instant != instant) {
                s += '.';
                instant = p.instant;
            }
            if (p.axe == axe)
                s.back() = p.sens > 0 ? '+' : '-';
        }
        return s;
    }
};

} // namespace

TEST_F(Interpolation, StraightMovesFollowBresenhamWithItsTieRules)
{
    LigneXY(0, 10, 5);
    EXPECT_EQ(Evenements(0), "++++++++++");
    EXPECT_EQ(Evenements(1), "+.+.+.+.+.");
    EXPECT_EQ(AxePrincipal, 0);

    m->Enregistrer(100);
    LigneXY(0, 4, -4);
    EXPECT_EQ(Evenements(0), "++++");
    EXPECT_EQ(Evenements(1), "----");
    EXPECT_EQ(AxePrincipal, 0);

    m->Enregistrer(100);
    LigneXY(0, 0, 0);
    LigneXYZ(0, 0, 0, 0);
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_EQ(m->Position(2), 0);

    LigneXYZ(0, 2, -6, 6);
    EXPECT_EQ(AxePrincipal, 1);
    EXPECT_EQ(Evenements(1), "------");
    EXPECT_EQ(Evenements(2), "++++++");
    EXPECT_EQ(Evenements(0), ".+..+.");
    EXPECT_EQ(PosPas[0], 10 + 4 + 2);
    EXPECT_EQ(PosPas[1], 5 - 4 - 6);
}

TEST_F(Interpolation, ADownwardZMoveEndsHeldUpUnlessStopped)
{
    NPasJ[2] = 8;
    SensAxe[2] = -1;
    LigneZ(0, -100);
    EXPECT_EQ(PosPas[2], -100);
    EXPECT_EQ(m->Position(2), -92);
    EXPECT_EQ(SensAxe[2], 1);

    // Stopped half-way: no upward steps.
    m->DefinirPosition(2, 0);
    PosPas[2] = 0;
    SensAxe[2] = -1;
    m->DefinirCourse(2, 50);
    LigneZ(0, -100);
    EXPECT_TRUE(ButeeActivee);
    EXPECT_EQ(m->Position(2), PosPas[2]);
    EXPECT_GT(PosPas[2], -100);
}

TEST_F(Interpolation, AQuarterCircleRunsAsTwentyFiveChordsCloseToTheCircle)
{
    m->DefinirPosition(0, 4000);
    PosPas[0] = 4000;
    AfficherX();
    vue.repeints.clear();
    ArcXY(0, 1, 10, 0, 0, 10, 0, 0, 600);
    EXPECT_EQ(Cordes(), 25);
    EXPECT_EQ(PosPas[0], 0);
    EXPECT_EQ(PosPas[1], 4000);
    // Chord ends: the instants where a new CalculPeriode started a chord
    // are not visible; check every decoded point lies near the circle.
    int64_t x = 4000, y = 0;
    double pire = 0;
    for (const PasVirtuel& p : m->Pas()) {
        (p.axe == 0 ? x : y) += p.sens;
        const double r = std::hypot(x * ValPas[0], y * ValPas[1]);
        pire = std::max(pire, std::fabs(r - 10));
    }
    EXPECT_LE(pire, CreteCir + 2 * ValPas[0]);
}

TEST_F(Interpolation, FullCirclesStartsOnTheCentreAndStopsMidArc)
{
    // G2 with equal start and end: one clockwise turn, back where it began.
    m->DefinirPosition(0, 4000);
    PosPas[0] = 4000;
    AfficherX();
    ArcXY(0, 0, 10, 0, 10, 0, 0, 0, 600);
    EXPECT_EQ(PosPas[0], 4000);
    EXPECT_EQ(PosPas[1], 0);
    const auto pas = m->Pas();
    ASSERT_FALSE(pas.empty());
    EXPECT_EQ(pas.front().axe, 1);
    EXPECT_EQ(pas.front().sens, -1); // clockwise from +X goes down first

    m->Enregistrer(100);
    ArcXY(0, 1, 0, 0, 5, 5, 0, 0, 600);
    EXPECT_TRUE(m->Pas().empty());

    // A facet height of the diameter: three chords of half a turn at most.
    CreteCir = 20;
    vue.repeints.clear();
    ArcXY(0, 1, 10, 0, 10, 0, 0, 0, 600);
    EXPECT_EQ(Cordes(), 3);
    EXPECT_EQ(PosPas[0], 4000);

    // The stop input during the arc: the rest is left undone.
    CreteCir = 0.005;
    m->Enregistrer(100);
    horloge.touches = { Touche::Echap };
    ArcXY(0, 1, 10, 0, 0, 10, 0, 0, 600);
    horloge.touches = {};
    EXPECT_TRUE(ArretUrgence);
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_EQ(PosPas[0], 4000);
}

TEST_F(Interpolation, WithUnequalMaximaNoAxisStepsFasterThanItsOwnOnAverage)
{
    const struct {
        double dx, dz, avance;
        int32_t avMax[3];
    } cas[] = { { 10, 0, 600, { 1000, 400, 1000 } }, { 10, 9, 6000, { 1000, 500, 800 } } };
    for (const auto& c : cas) {
        for (int i = 0; i < 3; ++i)
            AvMax[i] = c.avMax[i];
        const double dy = c.dz == 0 ? 10 : 0;
        m->Enregistrer(100000);
        PeriodePas = CalculPeriode(c.dx, dy, c.dz, c.avance);
        LigneXYZ(0, static_cast<int32_t>(c.dx / ValPas[0]), static_cast<int32_t>(dy / ValPas[1]),
            static_cast<int32_t>(c.dz / ValPas[2]));
        int64_t premier[3] = { -1, -1, -1 }, dernier[3] = {}, nombre[3] = {};
        for (const PasVirtuel& p : m->Pas()) {
            if (premier[p.axe] < 0)
                premier[p.axe] = p.instant;
            dernier[p.axe] = p.instant;
            ++nombre[p.axe];
        }
        const double d[3] = { c.dx, dy, c.dz };
        for (int i = 0; i < 3; ++i) {
            // Every axis made its steps: no steps at all would meet any rate.
            EXPECT_EQ(nombre[i], static_cast<int64_t>(std::lround(d[i] / ValPas[i]))) << "axe " << i;
            if (nombre[i] < 2)
                continue;
            const double rythme = static_cast<double>(nombre[i] - 1) * static_cast<double>(FreqCompteur)
                / static_cast<double>(dernier[i] - premier[i]);
            EXPECT_LE(rythme, AvMax[i] * 1.001) << "axe " << i << " avance " << c.avance;
        }
    }
}
