// Acceleration ramps: the decoded pulse trains keep every rule of the
// model, and the machine gets the speed the look-ahead promises.

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "exec/manuel.h"
#include "exec/plan_cycle.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/planificateur.h"
#include "support/machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace virmak;
using namespace virmak::test;

namespace {

class Rampes : public AvecMachineCablee {
protected:
    void SetUp() override
    {
        AvecMachineCablee::SetUp();
        for (int i = 0; i < 3; ++i) {
            AvMax[i] = 1000;
            ValPas[i] = 0.0025;
            CompJeu[i] = false;
        }
        for (int i = 0; i < 2; ++i) {
            VitesseRampe[i] = 4000;
            Acceleration[i] = 8000;
        }
        AvanceMax = AvanceMaxMachine();
        MajCurseurAvance();
        BlocTermine = [](size_t) { finsDeBloc.push_back(PlateformeActive().Compteur()); };
    }
    void TearDown() override
    {
        BlocTermine = nullptr;
        AvecMachineCablee::TearDown();
    }
    double Secondes(int64_t ticks) const
    {
        return static_cast<double>(ticks) / static_cast<double>(horloge.frequence);
    }
    // The run of `lignes` from rest at 0; its duration in seconds.
    double Executer(std::vector<std::string> lignes, FinCycle attendue = FinCycle::Normale)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = ParcoursCalcule = false;
        m->Enregistrer(2000000);
        finsDeBloc.clear();
        debut = horloge.maintenant;
        EXPECT_EQ(CycleUsinage(), attendue);
        return Secondes(m->Pas().empty() ? 0 : m->Pas().back().instant - debut);
    }
    // Every rule of the model on the steps of `axe` since `debut`: no
    // interval shorter than the top rate; a move starts and ends at AvMax
    // at most; the signed rate changes by at most Acceleration per second,
    // plus AvMax where a block ends in between (`regulier`: the axis steps
    // at every event, so its intervals are its rate).
    void Verifier(int axe, bool regulier, const std::string& cas)
    {
        const double haute = VitesseHaute(axe), depart = AvMax[axe], acc = Acceleration[axe];
        const double tick = 1.0 / static_cast<double>(horloge.frequence);
        int64_t avant = debut, avantAvant = debut;
        double rate = 0;
        int pas = 0;
        for (const PasVirtuel& p : m->Pas()) {
            if (p.axe != axe)
                continue;
            const double d = Secondes(p.instant - avant);
            const double r = p.sens / d;
            const int64_t precedent = avantAvant;
            avantAvant = avant;
            avant = p.instant;
            // The first step comes at once after a rest: the start is the
            // rate of the second.
            if (pas++ == 0)
                continue;
            ASSERT_GE(d * haute, 1 - 1e-6) << cas << " pas " << pas;
            // A block's end within the last two intervals: a junction, or a
            // start after the axis stood still.
            const bool jonction = pas == 2
                || std::any_of(finsDeBloc.begin(), finsDeBloc.end(),
                    [&](int64_t f) { return f >= precedent && f < p.instant; });
            // Within the clock's resolution: one tick on each period.
            const double resolution = (rate * rate + r * r) * tick;
            if (regulier) {
                ASSERT_LE(std::fabs(r - rate), acc * d + (jonction ? depart : 0) + resolution)
                    << cas << " pas " << pas << " " << rate << " -> " << r;
            }
            rate = r;
        }
        ASSERT_LE(std::fabs(rate), depart * (1 + 1e-6)) << cas << ": the last step";
    }
    inline static std::vector<int64_t> finsDeBloc;
    int64_t debut = 0;
};

std::vector<std::string> Segments(int n, double pas)
{
    std::vector<std::string> l { "G1 X0 F600" };
    for (int k = 1; k <= n; ++k)
        l.push_back("G1 X" + std::to_string(k * pas));
    return l;
}

} // namespace

TEST_F(Rampes, EachMoveKeepsEveryRuleOfTheModelAndTakesThePlannedTime)
{
    std::vector<std::string> cercle { "G1 X20 F600" };
    for (int k = 1; k <= 720; ++k) {
        const double a = 2 * std::numbers::pi * k / 720;
        char t[64];
        std::snprintf(t, sizeof t, "G1 X%.4f Y%.4f", 20 * std::cos(a), 20 * std::sin(a));
        cercle.push_back(t);
    }
    const struct {
        const char* cas;
        std::vector<std::string> programme;
        double duree, tolerance; // seconds, of the whole run
        bool xRegulier, yRegulier, zRegulier;
    } cas[] = {
        // 0.375 s up, 9.53 s at 4000 steps/s, 0.375 s down (40 s without ramps).
        { "100 mm en X", { "G1 X100 F600" }, 10.28, 0.01, true, true, true },
        // Each corner at 1000 steps/s at most.
        { "carré de 50 mm", { "G1 X50 F600", "G1 Y50", "G1 X0", "G1 Y0" }, 21.13, 0.02, true, true, true },
        // A reversal: 500 steps/s each way at most.
        { "aller et retour", { "G1 X10 F600", "G1 X0" }, 2.67, 0.01, true, true, true },
        // Short blocks in a line run as one move.
        { "1000 segments de 0,1 mm", Segments(1000, 0.1), 10.28, 0.02, true, true, true },
        // A circle of 720 chords, then the same as one G2: within 15 % of
        // 12.57 s, after the 2.28 s of the first line.
        { "cercle de 720 cordes", cercle, 2.28 + 12.57 * 1.075, 12.57 * 0.075, false, false, true },
        { "cercle G2", { "G1 X20 F600", "G2 X20 Y0 I0 J0" }, 2.28 + 12.57 * 1.075, 12.57 * 0.075, false,
            false, true },
        // Z has no ramp: it stays at its AvMax, and slows X and Y with it.
        { "diagonale avec Z", { "G1 X10 Y10 Z-5 F600" }, 4.0, 0.01, true, true, false },
        { "rapide", { "G0 X30 Y10" }, 3.28, 0.01, true, false, true },
    };
    for (const auto& c : cas) {
        for (int i = 0; i < 3; ++i) {
            m->DefinirPosition(i, 0);
            PosPas[i] = 0;
            AfficherAxe(i);
        }
        const double duree = Executer(c.programme);
        EXPECT_NEAR(duree, c.duree, c.tolerance) << c.cas;
        Verifier(0, c.xRegulier, c.cas);
        Verifier(1, c.yRegulier, c.cas);
        Verifier(2, c.zRegulier, c.cas);
        EXPECT_EQ(m->Position(0), PosPas[0]) << c.cas;
        EXPECT_EQ(m->Position(1), PosPas[1]) << c.cas;
    }
}

TEST_F(Rampes, StopsAreNotRampedAndABlockStopRampsDownToABlockEnd)
{
    // URGENCE at full speed: no step after the press, the spindle at rest.
    Pendant(5, [] { Entrees().DemanderUrgence(); });
    Executer({ "M3 G1 X100 F600" }, FinCycle::Urgence);
    EXPECT_LE(m->Pas().back().instant, static_cast<int64_t>(5.002 * static_cast<double>(horloge.frequence)));
    EXPECT_FALSE(BrocheEnMarche);
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    MesRazClick();
    horloge.pendantAttente = nullptr;

    // "Arrêt bloc" at full speed: the machine brakes to the end of a later
    // block within the rules, waits there, and goes on.
    PosPas[0] = 0;
    m->DefinirPosition(0, 0);
    AfficherAxe(0);
    Pendant(
        horloge.maintenant * 1.0 / static_cast<double>(horloge.frequence) + 3, [] { StopFinBloc = true; });
    int32_t arretA = 0;
    vue.script = { [&arretA] {
        arretA = PosPas[0];
        StopFinBloc = false;
        BitBtnCycleClick();
    } };
    vue.attentes = 0;
    CycleEnCours = false;
    Executer(Segments(1000, 0.1));
    EXPECT_EQ(vue.attentes, 1);
    // At 3 s X is near 11 440 steps; braking takes 938 more, then the
    // block's end.
    EXPECT_GT(arretA, 12300);
    EXPECT_LT(arretA, 12500);
    EXPECT_EQ(m->Position(0), 40000);
    Verifier(0, true, "arrêt bloc");
}

TEST_F(Rampes, BacklashTakeUpAndHeldJogsStayWithinTheRules)
{
    // A reversal with backlash compensation runs its move at AvMax.
    CompJeu[0] = true;
    NPasJ[0] = 20;
    Executer({ "G1 X10 F600", "G1 X0" });
    Verifier(0, false, "rattrapage");
    int64_t avant = -1;
    for (const PasVirtuel& p : m->Pas())
        if (p.axe == 0 && p.sens < 0) {
            if (avant >= 0) {
                EXPECT_GE(p.instant - avant, TabPeriodes[1000]);
            }
            avant = p.instant;
        }
    EXPECT_EQ(m->Position(0), -20); // the take-up, not counted
    EXPECT_EQ(PosPas[0], 0);
    CompJeu[0] = false;

    // A jog held 2 s, then released: it brakes within the distance the help
    // gives, and its last step is at AvMax at most.
    Form1.TrackBarVitAv.DefinirPosition(Arrondi(AvanceMax));
    Form1.CmbIncrement.Selection = 0;
    m->Enregistrer(2000000);
    finsDeBloc.clear();
    debut = horloge.maintenant;
    const int64_t lache = debut + 2 * horloge.frequence;
    horloge.boutons.insert(BoutonSouris::Gauche);
    horloge.pendantAttente = [&](int64_t, int64_t fin) {
        if (fin >= lache)
            horloge.boutons.clear();
    };
    const int32_t depart = PosPas[0];
    XPlusMouseDown();
    const std::vector<PasVirtuel> pas = m->Pas();
    const auto apres
        = std::count_if(pas.begin(), pas.end(), [&](const PasVirtuel& p) { return p.instant > lache; });
    EXPECT_GT(apres, 100);
    EXPECT_LE(apres, DistanceFreinage(0) / ValPas[0] + 2);
    EXPECT_NEAR(DistanceFreinage(0), 2.34375, 1e-9);
    Verifier(0, true, "jog");
    EXPECT_GT(PosPas[0] - depart, 4000);

    // URGENCE 0.1 s into the braking: no step after it, the spindle at rest.
    BtBrocheClick();
    ASSERT_TRUE(BrocheEnMarche);
    const int64_t urgence = horloge.maintenant + horloge.frequence + horloge.frequence / 10;
    horloge.boutons.insert(BoutonSouris::Gauche);
    horloge.pendantAttente = [&](int64_t, int64_t fin) {
        if (fin >= urgence - horloge.frequence / 10)
            horloge.boutons.clear();
        if (fin >= urgence && !ArretUrgence)
            Entrees().DemanderUrgence();
    };
    XPlusMouseDown();
    EXPECT_TRUE(ArretUrgence);
    EXPECT_GT(m->Pas().back().instant, urgence - horloge.frequence / 20); // still braking
    EXPECT_LE(m->Pas().back().instant, urgence + horloge.frequence / 500);
    EXPECT_FALSE(BrocheEnMarche);
    EXPECT_EQ(m->LatchA() & MasqueBroche, 0);
    MesRazClick();

    // The go-to ramps too, from rest to rest.
    horloge.pendantAttente = nullptr;
    m->Enregistrer(2000000);
    debut = horloge.maintenant;
    Form1.EditGoX.Texte = "-20";
    Form1.EditGoY.Texte = Form1.EditGoZ.Texte = "0";
    const double pasAller = 8000 + PosPas[0];
    GoXYZClick();
    EXPECT_EQ(PosPas[0], -8000);
    // Nearer its top rate than its AvMax.
    EXPECT_LT(Secondes(m->Pas().back().instant - debut), pasAller / 3000);
    Verifier(0, true, "aller à");
}

TEST_F(Rampes, APlanStaysWithinItsBoundOfMovesAndEndsAtRest)
{
    // A half circle of 4 km radius at the finest facets: 222 000 chords.
    CreteCir = 1e-4;
    ValPas[0] = ValPas[1] = 0.01;
    TabProgCorr.assign(2, LigneProg {});
    LigneProg& arc = TabProgCorr[1];
    arc.CodeG[0] = 2;
    arc.CodeM.fill(999);
    arc.X = 8e6;
    arc.I = 4e6;
    arc.Avance = 600;
    NbLignesCorr = 1;
    size_t dernier = 0;
    const std::vector<Troncon> t = TronconsCycle(1, dernier);
    ASSERT_EQ(t.size(), TronconsMaxi);
    EXPECT_TRUE(t.back().arret);
    EXPECT_EQ(dernier, 1u);
}
