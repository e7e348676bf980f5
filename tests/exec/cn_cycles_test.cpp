#include "exec/cn_cycles.h"

#include "support/machine.h"

#include <gtest/gtest.h>
#include <vector>

using namespace virmak;
using namespace virmak::test;

namespace {

class Percage : public AvecMachineCablee {
protected:
    // The Z height at the end of each move, in mm from the start: a move
    // ends where the direction or the step period changes.
    std::vector<double> Hauteurs()
    {
        std::vector<double> h;
        int64_t z = 0, instant = 0, intervalle = -1;
        int sens = 0;
        for (const PasVirtuel& p : m->Pas()) {
            if (p.axe != 2)
                continue;
            const int64_t ecart = sens != 0 ? p.instant - instant : -1;
            if (sens != 0 && (p.sens != sens || (intervalle >= 0 && ecart != intervalle)))
                h.push_back(z * ValPas[2]);
            intervalle = (sens != 0 && p.sens == sens) ? ecart : -1;
            sens = p.sens;
            instant = p.instant;
            z += p.sens;
        }
        h.push_back(z * ValPas[2]);
        return h;
    }
};

} // namespace

TEST_F(Percage, TheCyclesReachTheirHeightsAndComeBackToTheStart)
{
    CalageZ = false;
    const struct {
        int32_t cycle;
        double profondeur, r, q;
        std::vector<double> hauteurs;
    } cas[] = {
        // The approach and the drilling run on in one direction.
        { 81, -5, -2, 0, { -2, -7, 0 } },
        { 82, -5, -2, 0, { -2, -7, 0 } },
        // A positive depth does nothing at all.
        { 81, 1, -2, 0, { 0 } },
    };
    for (const auto& c : cas) {
        m->Enregistrer(100000);
        CyclePercage(c.cycle, 0, c.profondeur, c.r, 250, c.q, 100);
        EXPECT_EQ(Hauteurs(), c.hauteurs) << c.cycle;
    }
}

TEST_F(Percage, PeckDrillingReturnsToTheRPlaneBetweenPecks)
{
    CalageZ = false;
    const struct {
        double profondeur, q;
        std::vector<double> hauteurs; // relative to the start, R at -2
    } cas[] = {
        { -10, -3, { -2, -5, -2, -4.8, -8, -2, -7.8, -11, -2, -10.8, -12, 0 } },
        // An exact multiple of the peck: -3, -6, -9, not a fourth.
        { -9, -3, { -2, -5, -2, -4.8, -8, -2, -7.8, -11, 0 } },
        // Q >= 0 or beyond the depth: one peck to depth, back to the R
        // plane and G83d above it (one rapid run upwards), then to depth.
        { -5, 2, { -2, -7, -1.8, -7, 0 } }, { -5, -8, { -2, -7, -1.8, -7, 0 } },
        { -5, 0, { -2, -7, -1.8, -7, 0 } }, // Q0 is no peck of zero: no division by it
    };
    for (const auto& c : cas) {
        m->Enregistrer(100000);
        CyclePercage(83, 0, c.profondeur, -2, 0, c.q, 100);
        const std::vector<double> h = Hauteurs();
        ASSERT_EQ(h.size(), c.hauteurs.size()) << c.profondeur << " " << c.q;
        for (size_t k = 0; k < h.size(); ++k)
            EXPECT_NEAR(h[k], c.hauteurs[k], 1e-9) << c.profondeur << " " << c.q << " #" << k;
    }
}

TEST_F(Percage, TheZSupportActsOnlyAfterTheFinalFeedAndTheDwellSleeps)
{
    CalageZ = true;
    NPasJ[2] = 8;
    SensAxe[2] = -1;
    const int64_t avant = horloge.maintenant;
    CyclePercage(82, 0, -5, -2, -250.4, 0, 100);
    EXPECT_TRUE(CalageZ);
    // Approach -2 without support, drilling -5 then 8 steps up, retraction
    // +7: the decoded Z ends 8 steps above the counted position.
    EXPECT_EQ(m->Position(2) - PosPas[2], 8);
    EXPECT_GE(horloge.maintenant - avant, horloge.frequence / 1000 * 250);
}
