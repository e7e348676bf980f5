// The example programs installed with Virmak are what a newcomer runs
// first: each must load, analyse and run to its end on the virtual machine
// of a fresh configuration, its steps decoded where the readouts say.

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "foundation/aide.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/pupitre.h"
#include "iso/cn_outils.h"
#include "machine/choix_port.h"
#include "machine/machine_virtuelle.h"
#include "pupitre/demarrage.h"
#include "pupitre/programme.h"
#include "support/support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Exemples : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        MachineVirtuelleDemandee = true;
        FormCreate();
        CreerFenetresSecondaires();
        m = MachineVirtuelleActive();
        ASSERT_TRUE(m);
        for (const auto& f : std::filesystem::directory_iterator(NomRepProg))
            programmes.push_back(f.path().string());
        std::sort(programmes.begin(), programmes.end());
    }
    // Runs `programme` as "Charger" and "Cycle" would.
    void Executer(const std::string& programme, const std::string& cas)
    {
        const int64_t avant = m->PasEmis(0) + m->PasEmis(1) + m->PasEmis(2);
        ASSERT_TRUE(ChargerProgramme(programme)) << programme;
        EXPECT_TRUE(ProgAnalyse) << programme;
        BitBtnCycleClick();
        EXPECT_EQ(Form1.MesEtat.Texte, TexteCycleTermine) << cas << programme;
        EXPECT_GT(m->PasEmis(0) + m->PasEmis(1) + m->PasEmis(2), avant + 1000) << cas << programme;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(m->Position(i), PosPas[i]) << cas << programme << " axe " << i;
    }
    MachineVirtuelle* m = nullptr;
    std::vector<std::string> programmes;
};

} // namespace

TEST_F(Exemples, EveryExampleRunsToItsEndOnAFreshVirtualMachineWhereTheReadoutsSay)
{
    // The first "Charger" of a fresh configuration shows them.
    EXPECT_EQ(NomRepProg, DossierExemples(DossiersAide(RepExe, "")));
    ASSERT_GE(programmes.size(), 5u);
    EXPECT_TRUE(CablageUsuelPris);
    for (const std::string& p : programmes)
        Executer(p, "sans outils : ");
    // And with their tools in the table, the compensation at work.
    for (int t = 1; t <= 3; ++t)
        IniOutil.EcrireReel(CleIndexee("OUTIL", t), CleIndexee("Jauge", 0), 3.0 * t);
    ChargerOutils();
    for (const std::string& p : programmes)
        Executer(p, "avec outils : ");
}
