#include "pupitre/test_latence.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/fichier_ini.h"
#include "foundation/pupitre.h"
#include "machine/machine_virtuelle.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using TestLatence = AvecMachineCablee;

TEST_F(TestLatence, TheMenuShowsTheWindowAndLancerMeasuresForTheTimeChosen)
{
    TestLatence1Click();
    EXPECT_TRUE(FormLatence.Visible);
    EXPECT_FALSE(FormLatence.BtnAppliquer.Actif);
    BtnLancerLatenceClick(2);
    EXPECT_FALSE(FormLatence.EnCours);
    EXPECT_TRUE(FormLatence.Mesuree);
    EXPECT_EQ(FormLatence.Mesure.Pas, 2 * FrequenceLatence);
    EXPECT_EQ(ProgressionLatence.load(), 1000);
    EXPECT_EQ(FormLatence.Mesure.AvMaxConseille, FrequenceLatence);
    // 1000 steps per second on every axis today: nothing to limit.
    EXPECT_FALSE(FormLatence.BtnAppliquer.Actif);
    BtnLancerLatenceClick(600);
    EXPECT_EQ(FormLatence.Duree, DureeLatenceMaxi);
}

TEST_F(TestLatence, ItNeverRunsDuringACycleOrAnEmergencyStop)
{
    const struct {
        bool cycle, urgence;
        const char* message;
    } cas[] = { { true, false, TexteLatenceRefusee }, { false, true, TexteLatenceUrgence } };
    for (const auto& c : cas) {
        Form1.LedCycle.Allume = c.cycle;
        ArretUrgence = c.urgence;
        vue.messages.clear();
        const int64_t avant = horloge.maintenant;
        BtnLancerLatenceClick(1);
        EXPECT_EQ(horloge.maintenant, avant) << c.message;
        EXPECT_FALSE(FormLatence.Mesuree) << c.message;
        ASSERT_EQ(vue.messages.size(), 1u);
        EXPECT_EQ(vue.messages[0], c.message);
    }
    // A run that ended leaves CycleEnCours set; the machine is idle.
    ArretUrgence = false;
    CycleEnCours = true;
    BtnLancerLatenceClick(1);
    EXPECT_TRUE(FormLatence.Mesuree);
}

TEST_F(TestLatence, ApplyingLowersOnlyTheAvMaxAboveTheProposalInMemoryAndInTheFile)
{
    AvMax[0] = 30000;
    AvMax[1] = 500;
    AvMax[2] = 25000;
    FormLatence.Mesuree = true;
    FormLatence.Mesure.AvMaxConseille = 12000;
    BtnAppliquerLatenceClick();
    EXPECT_EQ(AvMax[0], 12000);
    EXPECT_EQ(AvMax[1], 500);
    EXPECT_EQ(AvMax[2], 12000);
    FichierIni lu;
    lu.Ouvrir(Fichier("CncParam.Ini"));
    EXPECT_EQ(lu.LireEntier("AXES", "AvMax(0)", 0), 12000);
    EXPECT_EQ(lu.LireEntier("AXES", "AvMax(1)", 0), 0);
    EXPECT_EQ(FormLatence.Application, "AvMax de X, Z ramené à 12000 pas/s.");
    EXPECT_FALSE(FormLatence.BtnAppliquer.Actif);
    EXPECT_EQ(AvanceMax, AvanceMaxiVectorielle(12000, 500, 12000));
}

TEST_F(TestLatence, AMeasureStoppedFromTheWindowProposesNothing)
{
    horloge.pendantAttente = [](int64_t, int64_t) { ArretLatenceDemande.store(true); };
    BtnLancerLatenceClick(5);
    horloge.pendantAttente = nullptr;
    EXPECT_TRUE(FormLatence.Mesure.Interrompue);
    EXPECT_LT(FormLatence.Mesure.Pas, 200);
    EXPECT_EQ(FormLatence.Mesure.AvMaxConseille, 0);
    EXPECT_FALSE(FormLatence.BtnAppliquer.Actif);
}
