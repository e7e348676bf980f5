#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "foundation/partage.h"
#include "iso/cn_outils.h"
#include "machine/cn_algos.h"
#include "support/machine.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

using Pas = std::vector<std::pair<int, int>>; // axis, direction

// Where the approach starts and ends among the steps: at its box, and at
// the first block's marker after it.
struct VueReprise : VueEnregistreuse {
    MachineVirtuelle* m = nullptr;
    long debut = -1, fin = -1;
    bool MessageInterruptible(const std::string& t, bool (*arret)()) override
    {
        if (t.starts_with("Approche"))
            debut = static_cast<long>(m->Pas().size());
        return VueEnregistreuse::MessageInterruptible(t, arret);
    }
    void TraiterMessages() override
    {
        if (debut >= 0 && fin < 0)
            fin = static_cast<long>(m->Pas().size());
    }
};

class Reprise : public AvecMachineCablee {
protected:
    void SetUp() override
    {
        AvecMachineCablee::SetUp();
        IniOutil.EcrireReel("OUTIL(1)", "Jauge(0)", 4);
        IniOutil.EcrireReel("OUTIL(2)", "Jauge(1)", 3);
        ChargerOutils();
    }
    void Programme(std::vector<std::string> lignes)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = ParcoursCalcule = false;
    }
    Pas Decodes() const
    {
        Pas p;
        for (const PasVirtuel& s : m->Pas())
            p.push_back({ s.axe, s.sens });
        return p;
    }
};

const std::vector<std::vector<std::string>> Programmes = {
    { "T1 M3", "G0 X0 Y0 Z2", "G1 Z-1 F300", "G41 G1 X20 Y0", "G3 X30 Y10 I20 J10", "G1 Y20",
        "G2 X20 Y30 I20 J20", "G40 G1 X0 Y30", "G0 Z2 M5", "G81 X40 Y0 Z-3 R-1 F100", "X45", "Z-4",
        "G80 G0 Z5" },
    { "T2 G43 M3", "G0 X10 Y10 Z5", "G1 Z-1 F200", "G2 X20 Y10 I15 J10", "T1 G0 Z5",
        "G83 X30 Y5 Z-4 R-1 Q1 F100", "G80 G0 Z10 M5", "G1 X0 Y0" },
};

} // namespace

TEST_F(Reprise, FromEveryLineTheRestOfTheRunIsTheFullRunsAfterAnApproachFromAbove)
{
    for (size_t p = 0; p < Programmes.size(); ++p) {
        Programme(Programmes[p]);
        m->Enregistrer(1000000);
        const int32_t origine[3] = { PosPas[0], PosPas[1], PosPas[2] };
        ASSERT_EQ(CycleUsinage(), FinCycle::Normale);
        const Pas complet = Decodes();
        const std::vector<LigneProg> parcours(TabProgCorr.begin(), TabProgCorr.begin() + NbLignesCorr + 1);
        auto PremierReprise = [&](size_t ligne) {
            size_t k = 1;
            while (k <= NbLignesCorr && parcours[k].IndexLigne < ligne)
                ++k;
            return k;
        };
        const int32_t finale[3] = { PosPas[0], PosPas[1], PosPas[2] };
        std::vector<size_t> refusees;
        for (size_t ligne = 0; ligne < Programmes[p].size(); ++ligne) {
            VueReprise v;
            v.m = m;
            DefinirVue(&v);
            m->Enregistrer(1000000);
            // Back where the full run began: the tool path's first moves
            // depend on where the tool starts.
            std::copy(origine, origine + 3, PosPas);
            const int32_t depart[3] = { PosPas[0], PosPas[1], PosPas[2] };
            CycleEnCours = true;
            const FinCycle fin = CycleDepuisLigne(ligne);
            DefinirVue(&vue);
            if (fin == FinCycle::Refus) {
                refusees.push_back(ligne + 1);
                ASSERT_EQ(v.messages.size(), 1u) << v.messages[0];
                EXPECT_TRUE(
                    v.messages[0].starts_with("Démarrage impossible à la ligne " + std::to_string(ligne + 1)))
                    << v.messages[0];
                continue;
            }
            ASSERT_EQ(fin, FinCycle::Normale) << p << " " << ligne;
            const Pas reprise = Decodes();
            const size_t debut = v.debut < 0 ? 0 : static_cast<size_t>(v.debut);
            const size_t apres = v.debut < 0 ? 0 : static_cast<size_t>(v.fin);
            // The approach: Z goes down only once the tool is over its
            // point (within the one step the readout rounds to).
            const LigneProg& cible = parcours[PremierReprise(ligne) - 1];
            const int32_t but[3] = { PasDe(cible.X, 0), PasDe(cible.Y, 1), PasDe(cible.Z, 2) };
            int32_t pos[3] = { depart[0], depart[1], depart[2] };
            for (size_t i = debut; i < apres; ++i) {
                pos[reprise[i].first] += reprise[i].second;
                if (reprise[i].first == 2 && reprise[i].second < 0) {
                    EXPECT_TRUE(std::abs(pos[0] - but[0]) <= 1 && std::abs(pos[1] - but[1]) <= 1)
                        << p << " " << ligne;
                }
            }
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(pos[i], but[i], 1) << p << " " << ligne << " axe " << i;
                // The rest of the run ends where the full run ended.
                EXPECT_NEAR(PosPas[i], finale[i], 1) << p << " " << ligne << " axe " << i;
            }
            // As many steps after the approach as the full run made from
            // that block on, give or take the step of rounding per block.
            EXPECT_LE(reprise.size() - apres, complet.size());
        }
        const std::vector<std::vector<size_t>> attendues = { { 4, 8, 12 }, {} };
        EXPECT_EQ(refusees, attendues[p]);
    }
    EXPECT_EQ(std::count_if(FormHist.ListBoxHist.Lignes.begin(), FormHist.ListBoxHist.Lignes.end(),
                  [](const std::string& s) {
                      return s.ends_with("DEPART cycle à la ligne 2 (Démarrer à ce bloc).");
                  }),
        2);
}

TEST_F(Reprise, TheSpindleStartsAfterTheOperatorsOkAndItsSpinUpBeforeTheToolGoesDown)
{
    IniParam.EcrireReel("CYCLES", "TempoBroche", 2);
    Programme({ "M3", "G1 Z-2 F600", "G1 X10", "M5", "G1 X20" });
    ASSERT_EQ(CycleUsinage(), FinCycle::Normale);
    m->Enregistrer(100000);
    PosPas[0] = PosPas[2] = 0;
    const int64_t avant = horloge.maintenant;
    CycleEnCours = true;
    ASSERT_EQ(CycleDepuisLigne(2), FinCycle::Normale);
    ASSERT_EQ(vue.messages.size(), 2u) << vue.messages[0];
    // Only the moves made are told: the tool is above the point already.
    EXPECT_EQ(vue.messages[0],
        "Approche avant la ligne 3 : la broche démarre, puis Z descend à -2.000 à 600 mm/mn. Le cycle "
        "continue ensuite.");
    EXPECT_EQ(vue.messages[1], TexteConfirmerBroche);
    // The spin-up comes before the first step down.
    const auto pas = m->Pas();
    ASSERT_FALSE(pas.empty());
    EXPECT_EQ(pas[0].axe, 2);
    EXPECT_EQ(pas[0].sens, -1);
    EXPECT_GE(pas[0].instant - avant, 2 * horloge.frequence);
    // M5 of line 4 put it to rest again.
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);

    // Escape in the box: nothing moves, the spindle stays at rest.
    m->Enregistrer(100000);
    PosPas[0] = PosPas[2] = 0;
    vue.pendantBoite = [] { Entrees().DemanderUrgence(); };
    CycleEnCours = true;
    EXPECT_EQ(CycleDepuisLigne(2), FinCycle::Urgence);
    EXPECT_TRUE(m->Pas().empty());
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
}

TEST_F(Reprise, PauseLiftsTheToolStopsTheSpindleAndCycleBringsBothBack)
{
    IniParam.EcrireReel("CYCLES", "TempoBroche", 1);
    const std::vector<std::string> p = { "M3", "G1 Z-2 F600", "M0 G1 X10", "G1 X20" };
    Programme(p);
    ASSERT_EQ(CycleUsinage(), FinCycle::Normale);
    const int32_t sansPause[3] = { PosPas[0], PosPas[1], PosPas[2] };
    PosPas[0] = PosPas[1] = PosPas[2] = 0;
    m->Enregistrer(100000);
    Programme(p);
    vue.pendantBoite = [] { BitBtnPauseClick(); };
    int32_t zPause = 0;
    uint8_t brochePause = 0xFF;
    vue.script = { [&] {
        zPause = PosPas[2];
        brochePause = m->LatchA() & MasqueBroche;
        BitBtnCycleClick();
    } };
    CycleEnCours = true;
    ASSERT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_EQ(zPause, 0); // up to the highest Z of the program
    EXPECT_EQ(brochePause, 0);
    EXPECT_EQ(m->LatchA() & MasqueBroche, MasqueBroche);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PosPas[i], sansPause[i]);
    // Down 2, across 10, up 2, down 2, across 10.
    int z = 0, passages = 0, sens = 0;
    for (const PasVirtuel& s : m->Pas())
        if (s.axe == 2) {
            passages += s.sens != sens;
            sens = s.sens;
            z += s.sens;
        }
    EXPECT_EQ(passages, 3);
    EXPECT_EQ(z, sansPause[2]);

    // A stop before the spindle is back: it stays at rest, nothing goes down.
    PosPas[0] = PosPas[1] = PosPas[2] = 0;
    Programme(p);
    vue.script = { [] {
        Entrees().DemanderUrgence();
        BitBtnCycleClick();
    } };
    CycleEnCours = true;
    m->Enregistrer(100000);
    EXPECT_EQ(CycleUsinage(), FinCycle::Urgence);
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    EXPECT_GE(PosPas[2], 0);

    // Outside a run Pause does nothing: Cycle still starts the next one.
    MesRazClick();
    CycleEnCours = true;
    BitBtnPauseClick();
    EXPECT_FALSE(StopFinBloc);
    EXPECT_FALSE(PauseDemandee);
}

TEST_F(Reprise, ARunThatLeavesTheTravelIsRefusedBeforeAnyStep)
{
    IniParam.EcrireReel("AXES", "Course(0)", 5);
    Programme({ "G1 X10 F600" });
    EXPECT_EQ(CycleUsinage(), FinCycle::Refus);
    EXPECT_TRUE(m->Pas().empty());
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_TRUE(
        vue.messages[0].starts_with("Le programme sort de la course de la machine : en X côté positif"));
}
