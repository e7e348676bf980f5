#include "machine/cn_pilot.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/choix_port.h"
#include "machine/machine_virtuelle.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// Limits of X, Y, Z on Error, Select, Paper Out; the stop on ACK, inverted.
class Moniteur : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        EcrireTout(Fichier("CncParam.Ini"),
            "[PORT]\r\nPortLPT=1\r\n[ENTREES]\r\nCBInItem(0)=1\r\nCBInItem(1)=2\r\nCBInItem(2)=3\r\n"
            "CBInItem(3)=4\r\nInEnable=120\r\nInInvert=64\r\n[BOOLEAN]\r\nSimulation=0\r\nDebogage=0\r\n");
        MachineVirtuelleDemandee = true;
        FormCreate();
        CreerFenetresSecondaires();
        m = MachineVirtuelleActive();
        ASSERT_TRUE(m);
    }
    static long Arrets()
    {
        const auto& l = FormHist.ListBoxHist.Lignes;
        return std::count_if(
            l.begin(), l.end(), [](const std::string& s) { return s.ends_with(TexteArretMachine); });
    }
    MachineVirtuelle* m = nullptr;
};

} // namespace

TEST_F(Moniteur, ASwitchClosingWhileXMovesUpLatchesOnlyThePositiveEndUntilItOpens)
{
    SensAxe[0] = 1;
    m->FermerButee(0, true);
    ScruterEntrees();
    EXPECT_TRUE(ButeePlus[0]);
    EXPECT_TRUE(Form1.LedButeeX.Allume);
    SensAxe[0] = -1;
    ScruterEntrees();
    EXPECT_FALSE(ButeeMoins[0]);
    EXPECT_FALSE(ButeePlus[1] || ButeeMoins[1] || Form1.LedButeeY.Allume);
    m->FermerButee(0, false);
    ScruterEntrees();
    EXPECT_FALSE(ButeePlus[0] || ButeeMoins[0] || Form1.LedButeeX.Allume);
    // Leaving the travel closes the switch as well.
    m->DefinirCourse(1, 100);
    m->DefinirPosition(1, -101);
    ScruterEntrees();
    EXPECT_TRUE(ButeeMoins[1] || ButeePlus[1]);
}

TEST_F(Moniteur, TheStopInputWritesItsHistoryLineOncePerActivation)
{
    for (bool actif : { true, true, true, false, true }) {
        m->DefinirArretUrgence(actif);
        ScruterEntrees();
        EXPECT_EQ(ArretUrgence, actif);
        EXPECT_EQ(Form1.LedArret.Allume, actif);
    }
    EXPECT_EQ(Arrets(), 2);
}

TEST_F(Moniteur, SimulationAndTheDisabledPortSeeNoInputButTheLatchedButtonStillStops)
{
    m->DefinirArretUrgence(true);
    m->FermerButee(2, true);
    for (int mode = 0; mode < 2; ++mode) {
        Simulation = mode == 0;
        PortLPT = mode == 0 ? 1 : 0;
        ArretUrgence = true;
        Form1.BoutonArretTag = 0;
        ScruterEntrees();
        EXPECT_FALSE(ArretUrgence) << mode;
        EXPECT_FALSE(ButeePlus[2] || ButeeMoins[2]) << mode;
        Form1.BoutonArretTag = 1;
        ScruterEntrees();
        EXPECT_TRUE(ArretUrgence) << mode;
        EXPECT_TRUE(Form1.LedArret.Allume) << mode;
    }
    EXPECT_EQ(Arrets(), 0);
}

TEST_F(Moniteur, TheTickJogsOnlyWhenTheMainWindowIsActiveAndNoFieldHasTheFocus)
{
    static int jogs = 0;
    jogs = 0;
    JogClavier = [] { ++jogs; };
    const struct {
        bool active;
        Focus focus;
        int jogs;
    } cas[] = { { false, Focus::Autre, 0 }, { true, Focus::EditGoX, 0 }, { true, Focus::ListBoxProg1, 0 },
        { true, Focus::Autre, 1 }, { true, Focus::Aucun, 1 } };
    for (const auto& c : cas) {
        jogs = 0;
        Entrees().DefinirFenetreActive(c.active);
        Entrees().DefinirFocus(c.focus);
        Timer1Timer();
        EXPECT_EQ(jogs, c.jogs) << static_cast<int>(c.focus);
    }
    JogClavier = nullptr;
    Entrees().DefinirFenetreActive(false);
}
