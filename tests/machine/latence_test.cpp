#include "machine/latence.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using Latence = AvecMachineCablee;

TEST(AvMaxConseille, TheLargestRateWhosePeriodLeavesRoomForTheLatenessMeasured)
{
    const struct {
        double p99, p999;
        int32_t frequence, attendu;
    } cas[] = {
        { 0, 0, 20000, 20000 }, // no lateness at all: the rate measured
        { 20, 50, 20000, 20000 }, // just the goals at 20000
        { 40, 60, 20000, 10000 }, // 99 % within 40 % of 100 µs
        { 10, 500, 20000, 2000 }, // 99.9 % within a period of 500 µs
        { 33, 70, 20000, 12100 }, // by hundreds, downwards
        { 3000, 8000, 20000, 100 }, { 5000, 20000, 20000, 50 }, // slower than a hundred: as it is
        { 20, 50, 5000, 5000 }, // never more than the rate measured
    };
    for (const auto& c : cas)
        EXPECT_EQ(AvMaxConseille(c.p99, c.p999, c.frequence), c.attendu) << c.p99 << " " << c.p999;
}

TEST_F(Latence, AMeasureGivesBackThePortTheMasksAndTheSettingsItBorrowed)
{
    Simulation = true;
    AvMax[0] = 700;
    OutInvert = 0x41;
    const uint8_t pas = MasquePas[0], horsPas = MasqueHorsPas, enable = OutEnable, arret = MasqueArret;
    const MesureLatence r = MesurerLatence(0.1, 20000, -1);
    EXPECT_EQ(r.Pas, 2000);
    EXPECT_FALSE(r.Interrompue);
    EXPECT_EQ(r.Max, 0); // the virtual clock is never late
    EXPECT_EQ(r.AvMaxConseille, 20000);
    EXPECT_EQ(horloge.maintenant, 2000 * TabPeriodes[20000]);
    // The machine's own port got nothing, and is back in place.
    EXPECT_EQ(MachineVirtuelleActive(), m);
    EXPECT_EQ(m->PasEmis(0), 0);
    EXPECT_TRUE(Simulation);
    EXPECT_EQ(AvMax[0], 700);
    EXPECT_EQ(OutInvert, 0x41);
    EXPECT_EQ(MasquePas[0], pas);
    EXPECT_EQ(MasqueHorsPas, horsPas);
    EXPECT_EQ(OutEnable, enable);
    EXPECT_EQ(MasqueArret, arret);
    // Not a move: no line of late steps in the history.
    EXPECT_EQ(PasEnRetard, 0);
}

TEST_F(Latence, ItsFollowerIsAskedEveryFiveMillisecondsAndEndsItAtOnce)
{
    std::vector<double> parts;
    const MesureLatence r = MesurerLatence(1, 20000, -1, [&parts](double fait) {
        parts.push_back(fait);
        return parts.size() < 4;
    });
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_DOUBLE_EQ(parts[1], 0.005);
    EXPECT_TRUE(r.Interrompue);
    EXPECT_EQ(r.Pas, 300);
    EXPECT_EQ(r.AvMaxConseille, 0);
    EXPECT_EQ(MachineVirtuelleActive(), m);
}

TEST_F(Latence, AnEmergencyStopEndsItBeforeTheNextStepAndStaysTaken)
{
    int64_t pas = 0;
    horloge.pendantAttente = [&pas](int64_t, int64_t) {
        if (++pas == 500)
            Entrees().DemanderUrgence();
    };
    const MesureLatence r = MesurerLatence(1, 20000, -1);
    EXPECT_TRUE(r.Interrompue);
    EXPECT_EQ(r.Pas, 499);
    EXPECT_TRUE(ArretUrgence);
    horloge.pendantAttente = nullptr;
}
