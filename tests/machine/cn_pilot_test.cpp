#include "machine/cn_pilot.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/choix_port.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "support/machine.h"
#include "support/support.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using Moniteur = AvecMachineVirtuelle;

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
    // As on a real port: the virtual machine, once asked for, is itself
    // the simulation and ignores both settings.
    MachineVirtuelleDemandee = false;
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
        { true, Focus::Saisie, 0 }, { true, Focus::Autre, 1 }, { true, Focus::Aucun, 1 } };
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

using Pas = AvecMachineCablee;

TEST_F(Pas, CalculPeriodeTakesTheDominantAxisWithinEveryAxisMaximum)
{
    const struct {
        double dx, dy, dz, avance;
        int32_t avMax[3];
        int64_t periode; // 0: unchanged
        const char* reelle;
    } cas[] = {
        // 4000 steps asked in 1 s, the axis gives 1000 a second.
        { 10, 0, 0, 600, { 1000, 1000, 1000 }, TabPeriodes[1000], " 150" },
        { 10, 10, 0, 600, { 1000, 1000, 1000 }, TabPeriodes[1000], " 212" },
        { 1, 0, 0, 60, { 1000, 1000, 1000 }, TabPeriodes[400], "  60" },
        // One maximum for all: the periods of the rules by dominant axis.
        { 10, 9.99, 0, 6000, { 1000, 1000, 1000 }, TabPeriodes[1000], " 212" },
        { 0.5, 0, 10, 60, { 1000, 1000, 1000 }, TabPeriodes[400], "  60" },
        { 0.001, 0, 0, 600, { 1000, 1000, 1000 }, 0, "" },
        { 10, 0, 0, 0, { 1000, 1000, 1000 }, 0, "" },
        // Unequal maxima: no axis faster than its own.
        { 10, 10, 0, 600, { 1000, 400, 1000 }, TabPeriodes[400], "  85" },
        { 10, 0, 9, 6000, { 1000, 500, 800 }, TabPeriodes[888], " 179" },
    };
    for (const auto& c : cas) {
        for (int i = 0; i < 3; ++i)
            AvMax[i] = c.avMax[i];
        PeriodePas = 12345;
        Form1.RapTextAv.Texte = "";
        EXPECT_EQ(CalculPeriode(c.dx, c.dy, c.dz, c.avance), c.periode ? c.periode : 12345)
            << c.dx << " " << c.avance;
        EXPECT_EQ(Form1.RapTextAv.Texte, c.reelle) << c.dx << " " << c.avance;
    }
}

TEST_F(Pas, StepsComeExactlyOnePeriodApartWithTheirDirectionSetBefore)
{
    for (int k = 0; k < 5; ++k)
        PasXY(Motif(0, 1), 1, 0);
    for (int k = 0; k < 3; ++k)
        PasXY(static_cast<uint8_t>(Motif(0, -1) + Motif(1, -1)), -1, -1);
    std::vector<PasVirtuel> pas;
    for (const PasVirtuel& p : m->Pas())
        if (p.axe == 0)
            pas.push_back(p);
    ASSERT_EQ(pas.size(), 8u);
    EXPECT_EQ(m->Position(0), 2 + NPasJ[0]);
    EXPECT_EQ(PosPas[0], 2);
    EXPECT_EQ(PosPas[1], -3);
    EXPECT_EQ(m->ViolationsDirection(), 0);
    for (size_t k = 1; k < pas.size(); ++k)
        EXPECT_EQ(pas[k].instant - pas[k - 1].instant, TabPeriodes[1000]) << k;
    // The readouts take turns: X shows what it had at its last turn.
    EXPECT_EQ(Form1.StaticTextX.Texte, "   0.007");
    AfficherX();
    EXPECT_EQ(Form1.StaticTextX.Texte, "   0.005");
}

TEST_F(Pas, AReversalTakesUpTheBacklashUncountedWithItsLedLit)
{
    NPasJ[0] = 20;
    std::vector<bool> led;
    struct Vue : VueEnregistreuse {
        std::vector<bool>* led;
        void Repeindre(const std::string& c) override
        {
            if (c == "LedJeu")
                led->push_back(Form1.LedJeu.Allume);
        }
    } vueLed;
    vueLed.led = &led;
    DefinirVue(&vueLed);
    PasXY(Motif(0, 1), 1, 0);
    PasXY(Motif(0, -1), -1, 0);
    EXPECT_EQ(m->Position(0), 1 - 21);
    EXPECT_EQ(PosPas[0], 0);
    EXPECT_EQ(led, (std::vector<bool> { true, false }));
    // Z down, then held up against gravity by uncounted steps.
    NPasJ[2] = 8;
    SensAxe[2] = -1;
    PasZ(Motif(2, -1), -1);
    SoutienZ(-1);
    EXPECT_EQ(PosPas[2], -1);
    EXPECT_EQ(m->Position(2), -1 + 8);
    EXPECT_EQ(SensAxe[2], 1);
    DefinirVue(&vue);
}

TEST_F(Pas, ALatchedLimitRefusesStepsTowardsItAndLetsTheOthersClearIt)
{
    SensAxe[0] = 1;
    m->FermerButee(0, true);
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_TRUE(ButeeActivee);
    EXPECT_EQ(Form1.MesEtat.Texte, "Butée activée");
    EXPECT_EQ(m->Position(0), 0);
    EXPECT_EQ(PosPas[0], 0);
    PasXY(Motif(0, -1), -1, 0);
    EXPECT_FALSE(ButeeActivee);
    EXPECT_EQ(PosPas[0], -1);
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_TRUE(ButeeActivee);
    // Released by hand: the next step is made and counted.
    m->FermerButee(0, false);
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_FALSE(ButeeActivee);
    EXPECT_EQ(PosPas[0], 0);
    EXPECT_EQ(m->Position(0), 0);
}

TEST_F(Pas, F1HeldLowersTheOverrideOneNotchAndEscapeStopsBeforeTheStep)
{
    horloge.touches = { Touche::F1 };
    for (int k = 0; k < 4; ++k)
        PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 9);
    horloge.touches = {};
    PasXY(Motif(0, 1), 1, 0);
    horloge.touches = { Touche::F2 };
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 10);
    horloge.touches = { Touche::Echap };
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_TRUE(ArretUrgence);
    EXPECT_EQ(PosPas[0], 6);
    EXPECT_EQ(m->Position(0), 6);
}

TEST_F(Pas, EveryTapOfF1OrF2DuringAMoveIsOneNotchAtTheNextStep)
{
    PasXY(Motif(0, 1), 1, 0);
    horloge.frappes[Touche::F1] = 2; // both between two steps
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 8);
    horloge.frappes[Touche::F2] = 1;
    PasXY(Motif(0, 1), 1, 0);
    PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 9);
}

TEST_F(Pas, SimulationNeitherWritesNorWaits)
{
    MachineVirtuelleDemandee = false; // a real port's simulation mode
    Simulation = true;
    const int64_t avant = horloge.maintenant;
    for (int k = 0; k < 1000; ++k)
        PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(horloge.maintenant, avant);
    EXPECT_EQ(m->Position(0), 0);
    EXPECT_EQ(PosPas[0], 1000);
}

TEST_F(Pas, TheVirtualMachineStepsAndWaitsWhateverTheSimulationModeAndThePortSay)
{
    Simulation = true;
    PortLPT = 0;
    const int64_t avant = horloge.maintenant;
    for (int k = 0; k < 1000; ++k)
        PasXY(Motif(0, 1), 1, 0);
    EXPECT_EQ(horloge.maintenant - avant, 1000 * PeriodePas);
    EXPECT_EQ(m->Position(0), 1000);
    EXPECT_EQ(PosPas[0], 1000);
    // Its inputs are read all the same.
    m->DefinirArretUrgence(true);
    ScruterEntrees();
    EXPECT_TRUE(ArretUrgence);
}

namespace {

// Every other step comes 200 µs late.
struct Lente : HorlogeVirtuelle {
    int64_t AttendreJusqua(int64_t echeance) override
    {
        maintenant = std::max(maintenant, echeance) + (++n % 2 ? frequence / 5000 : 0);
        return maintenant;
    }
    int n = 0;
};

} // namespace

TEST_F(Pas, LateStepsAreCountedAndSaidOnceAtTheEndOfTheMove)
{
    Lente lente;
    DefinirPlateforme(&lente);
    const size_t avant = FormHist.ListBoxHist.Lignes.size();
    // The first step after a long pause is not late: it goes at once.
    lente.maintenant += lente.frequence;
    DebutMouvement();
    for (int k = 0; k < 5; ++k)
        PasXY(Motif(0, 1), 1, 0);
    FinMouvement();
    const auto& lignes = FormHist.ListBoxHist.Lignes;
    const auto retards = std::count_if(lignes.begin() + static_cast<long>(avant), lignes.end(),
        [](const std::string& l) { return l.find("pas en retard") != std::string::npos; });
    EXPECT_EQ(retards, 1);
    EXPECT_TRUE(
        lignes.back().ends_with("2 pas en retard de plus de 100 µs pendant ce déplacement (au pire 200 µs)."))
        << lignes.back();
    DefinirPlateforme(&horloge);
}

TEST_F(Pas, LateStepsOfManualMovesAreSummedInOneHistoryLineAMinuteAtMostAndARunsInOne)
{
    Lente lente;
    DefinirPlateforme(&lente);
    FormHist.ListBoxHist.Vider();
    // Moves of five steps, two of them late, each after a pause.
    const auto deplacements = [&](int n) {
        for (int k = 0; k < n; ++k) {
            lente.maintenant += lente.frequence;
            lente.n = 0;
            DebutMouvement();
            for (int pas = 0; pas < 5; ++pas)
                PasXY(Motif(0, 1), 1, 0);
            FinMouvement();
        }
    };
    const auto lignes = [] {
        std::vector<std::string> l;
        for (const std::string& ligne : FormHist.ListBoxHist.Lignes)
            if (ligne.find("pas en retard") != std::string::npos)
                l.push_back(ligne.substr(ligne.find("--> ") + 4));
        return l;
    };
    deplacements(3);
    EXPECT_EQ(lignes(),
        std::vector<std::string> {
            "2 pas en retard de plus de 100 µs pendant ce déplacement (au pire 200 µs)." });
    Timer1Timer();
    EXPECT_EQ(lignes().size(), 1u);
    // The monitor says what the minute held back, once.
    lente.maintenant += 60 * lente.frequence;
    Timer1Timer();
    Timer1Timer();
    ASSERT_EQ(lignes().size(), 2u);
    EXPECT_EQ(
        lignes()[1], "4 pas en retard de plus de 100 µs pendant 2 déplacements manuels (au pire 200 µs).");
    OuvrirBilanCycle();
    deplacements(3);
    EXPECT_EQ(lignes().size(), 2u);
    FermerBilanCycle();
    ASSERT_EQ(lignes().size(), 3u);
    EXPECT_EQ(lignes()[2], "6 pas en retard de plus de 100 µs pendant ce cycle (au pire 200 µs).");
    DefinirPlateforme(&horloge);
}

TEST_F(Pas, AMoveOnTheRealPortGivesTheRealTimePriorityBack)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The first move locks the process's memory, which the sanitizers'
    // shadow makes huge.
    GTEST_SKIP();
#endif
    horloge.priorites.clear();
    MouvementsVirtuels = false;
    DebutMouvement();
    FinMouvement();
    MouvementsVirtuels = true;
    EXPECT_EQ(horloge.priorites, (std::vector<bool> { true, false }));
}
