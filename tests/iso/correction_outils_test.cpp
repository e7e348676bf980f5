#include "iso/correction_outils.h"

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

using namespace virmak;

namespace {

// Builds TabProg as the analysis would: each block starts as a copy of the
// one before, and a block whose X or Y changes opens a new segment.
class Prog {
public:
    explicit Prog(double x = 0, double y = 0, double z = 0)
    {
        LigneProg l = LigneDefaut;
        l.X = x;
        l.Y = y;
        l.Z = z;
        blocs_.push_back(l);
    }
    Prog& Rayon(double cor)
    {
        cor_ = cor;
        return *this;
    }
    Prog& Longueur(bool active, int outil)
    {
        longueur_ = active;
        outil_ = outil;
        return *this;
    }
    Prog& G(int mode, double x, double y, double i = 0, double j = 0)
    {
        LigneProg& l = Suivant();
        l.CodeG[0] = mode;
        l.X = x;
        l.Y = y;
        l.I = i;
        l.J = j;
        return *this;
    }
    Prog& Z(double z)
    {
        Suivant().Z = z;
        return *this;
    }
    Prog& M(int m)
    {
        blocs_.back().CodeM[1] = m;
        return *this;
    }
    // A move that opens a segment without changing X or Y.
    Prog& MouvementNul(int mode, double i = 0, double j = 0)
    {
        const LigneProg avant = blocs_.back();
        G(mode, avant.X, avant.Y, i, j);
        forces_.push_back(blocs_.size() - 1);
        return *this;
    }
    void Installer()
    {
        if (TabProg.size() < blocs_.size())
            TabProg.resize(blocs_.size());
        for (size_t i = 0; i < blocs_.size(); ++i) {
            LigneProg l = blocs_[i];
            if (i > 0) {
                const LigneProg& p = TabProg[i - 1];
                const bool nouveau = EstForce(i) || l.X != p.X || l.Y != p.Y;
                l.NumSegment = static_cast<uint16_t>(p.NumSegment + (nouveau ? 1 : 0));
            }
            TabProg[i] = l;
        }
        NbLignesProg = static_cast<uint16_t>(blocs_.size() - 1);
    }

private:
    LigneProg& Suivant()
    {
        LigneProg l = blocs_.back();
        if (l.CodeG[0] > 1)
            l.CodeG[0] = 1;
        l.CodeM.fill(MSlotVide);
        l.CorRayon = cor_;
        l.CorLongueur = longueur_;
        l.NumOutil = outil_;
        l.IndexLigne = static_cast<uint16_t>(blocs_.size() - 1);
        blocs_.push_back(l);
        return blocs_.back();
    }
    bool EstForce(size_t i) const
    {
        for (size_t f : forces_)
            if (f == i)
                return true;
        return false;
    }

    std::vector<LigneProg> blocs_;
    std::vector<size_t> forces_;
    double cor_ = 0;
    bool longueur_ = false;
    int outil_ = 0;
};

class CorrectionOutilsTest : public test::AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        ChargerConfiguration();
    }

    static const LigneProg& C(int i) { return TabProgCorr[i]; }

    static void AttendreXY(int i, double x, double y)
    {
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_NEAR(C(i).X, x, 1e-9);
        EXPECT_NEAR(C(i).Y, y, 1e-9);
    }

    // Every coordinate of the result is a number, and the table holds it.
    static void AttendreSain()
    {
        ASSERT_LT(NbLignesCorr, TabProgCorr.size());
        for (int i = 0; i <= NbLignesCorr; ++i) {
            SCOPED_TRACE("record " + std::to_string(i));
            EXPECT_TRUE(std::isfinite(C(i).X) && std::isfinite(C(i).Y) && std::isfinite(C(i).Z));
            EXPECT_TRUE(std::isfinite(C(i).I) && std::isfinite(C(i).J));
        }
    }

    // Clockwise square of side 10 from the origin, up the side X = 0 first.
    static Prog CarreHoraire(double cor)
    {
        Prog p;
        p.Rayon(cor).G(1, 0, 10).G(1, 10, 10).G(1, 10, 0).G(1, 0, 0);
        return p;
    }
};

} // namespace

TEST_F(CorrectionOutilsTest, SansCompensationLeXYResteEtG43AjouteLaLongueur)
{
    TabOutils[2].Jauge[1] = 40;
    TabOutils[2].CorDyn[1] = 0.5;
    Prog p(1, 2, 7);
    p.G(0, 5, 5).Z(-1).Longueur(true, 2).G(1, 10, 5).Z(-2).Longueur(false, 2).G(0, 0, 0);
    p.Installer();

    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, NbLignesProg);
    for (int i = 0; i <= NbLignesProg; ++i) {
        AttendreXY(i, TabProg[i].X, TabProg[i].Y);
        EXPECT_EQ(C(i).IndexLigne, TabProg[i].IndexLigne);
        EXPECT_EQ(C(i).CodeG[0], TabProg[i].CodeG[0]);
    }
    EXPECT_DOUBLE_EQ(C(0).Z, 7); // the start block is never corrected
    EXPECT_DOUBLE_EQ(C(2).Z, -1);
    EXPECT_DOUBLE_EQ(C(3).Z, -1 + 40.5);
    EXPECT_DOUBLE_EQ(C(4).Z, -2 + 40.5);
    EXPECT_DOUBLE_EQ(C(5).Z, -2);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(CorrectionOutilsTest, OutilHorsTableSansLongueur)
{
    TabOutils[0].Jauge[1] = 10;
    Prog p;
    p.Longueur(true, 100).G(1, 5, 0).Longueur(true, -1).Z(-3);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    EXPECT_DOUBLE_EQ(C(1).Z, 0);
    EXPECT_DOUBLE_EQ(C(2).Z, -3);
}

TEST_F(CorrectionOutilsTest, CarreHoraireOutilDehorsArcsAuxCoins)
{
    CarreHoraire(-3).Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 7);
    AttendreXY(1, -3, 10);
    AttendreXY(2, 0, 13);
    AttendreXY(3, 10, 13);
    AttendreXY(4, 13, 10);
    AttendreXY(5, 13, 0);
    AttendreXY(6, 10, -3);
    AttendreXY(7, 0, -3); // the last side keeps its shift to its end
    const double coins[3][2] = { { 0, 10 }, { 10, 10 }, { 10, 0 } };
    for (int c = 0; c < 3; ++c) {
        const LigneProg& arc = C(2 + 2 * c);
        SCOPED_TRACE(c);
        EXPECT_EQ(arc.CodeG[0], 2);
        EXPECT_DOUBLE_EQ(arc.I, coins[c][0]);
        EXPECT_DOUBLE_EQ(arc.J, coins[c][1]);
        EXPECT_NEAR(std::hypot(C(1 + 2 * c).X - arc.I, C(1 + 2 * c).Y - arc.J), 3, 1e-12);
        EXPECT_NEAR(std::hypot(arc.X - arc.I, arc.Y - arc.J), 3, 1e-12);
        EXPECT_EQ(arc.IndexLigne, TabProg[1 + c].IndexLigne);
    }
    // Only Y differs from the programmed end: no return move.
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(CorrectionOutilsTest, CarreTrigoOutilDedansCoupeAuxCroisements)
{
    Prog p;
    p.Rayon(-3).G(1, 10, 0).G(1, 10, 10).G(1, 0, 10).G(1, 0, 0);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 4);
    AttendreXY(1, 7, 3);
    AttendreXY(2, 7, 7);
    AttendreXY(3, 3, 7);
    AttendreXY(4, 3, 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(C(i).CodeG[0], 1);
}

TEST_F(CorrectionOutilsTest, BlocsSansMouvementXYAuDepartDuMouvementSuivant)
{
    // A plunge, a comment and a repeated point at an inside corner wait at
    // the crossing, where the tool already is.
    Prog p(0, 0, 5);
    p.Z(-1).Rayon(-3).G(1, 10, 0).Z(-2).G(1, 10, 0).G(1, 10, 10).Z(5);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 6);
    AttendreXY(1, 0, 3); // before the first move: at its shifted start
    AttendreXY(2, 7, 3);
    AttendreXY(3, 7, 3);
    EXPECT_DOUBLE_EQ(C(3).Z, -2);
    AttendreXY(4, 7, 3);
    AttendreXY(5, 7, 10);
    AttendreXY(6, 7, 10);
    EXPECT_DOUBLE_EQ(C(6).Z, 5);
}

TEST_F(CorrectionOutilsTest, EntreeEtSortieDeCompensationEnLigneDroite)
{
    Prog p(-10, 0);
    p.G(1, 0, 0).Rayon(-3).G(1, 10, 0).G(1, 20, 0).Rayon(0).G(1, 30, 0);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 6);
    AttendreXY(1, 0, 0);
    AttendreXY(2, 0, 3); // straight to the shifted start
    EXPECT_EQ(C(2).CodeG[0], 1);
    AttendreXY(3, 10, 3);
    AttendreXY(4, 20, 3);
    AttendreXY(5, 20, 0); // straight back to the programmed corner
    EXPECT_EQ(C(5).CodeG[0], 1);
    AttendreXY(6, 30, 0);
}

TEST_F(CorrectionOutilsTest, MouvementsAlignesSansInsertion)
{
    Prog p;
    p.Rayon(3).G(1, 5, 0).G(1, 10, 0).G(1, 10, -5);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 3);
    AttendreXY(1, 5, -3);
    AttendreXY(2, 7, -3); // inside corner with the next side
    AttendreXY(3, 7, -5);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(CorrectionOutilsTest, PetitEcartDroitPlusGrandEnArc)
{
    for (double ecart : { 0.01, 0.03 }) {
        SCOPED_TRACE(ecart);
        // A slight right turn with the tool on the left opens a gap of
        // 2 * 3 * sin(theta / 2) between the shifted sides.
        const double theta = 2 * std::asin(ecart / 6);
        Prog p;
        p.Rayon(-3).G(1, 10, 0).G(1, 10 + 10 * std::cos(theta), -10 * std::sin(theta));
        p.Installer();
        ASSERT_TRUE(CorrectionOutils());
        ASSERT_EQ(NbLignesCorr, 4); // the last, a return move
        AttendreXY(1, 10, 3);
        EXPECT_NEAR(std::hypot(C(2).X - C(1).X, C(2).Y - C(1).Y), ecart, 1e-9);
        if (ecart < 0.02) {
            EXPECT_EQ(C(2).CodeG[0], 1);
        } else {
            EXPECT_EQ(C(2).CodeG[0], 2);
            EXPECT_DOUBLE_EQ(C(2).I, 10);
            EXPECT_DOUBLE_EQ(C(2).J, 0);
        }
    }
}

TEST_F(CorrectionOutilsTest, CompensationsDifferentesToujoursEnDroite)
{
    Prog p;
    p.Rayon(-3).G(1, 10, 0).Rayon(-4).G(1, 10, -10);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 3);
    AttendreXY(1, 10, 3);
    AttendreXY(2, 14, 0);
    EXPECT_EQ(C(2).CodeG[0], 1);
}

TEST_F(CorrectionOutilsTest, DemiTourContourneLeBoutDuCoteOppose)
{
    for (double cor : { -3.0, 3.0 }) {
        SCOPED_TRACE(cor);
        Prog p;
        p.Rayon(cor).G(1, 10, 0).G(1, 0, 0);
        p.Installer();
        ASSERT_TRUE(CorrectionOutils());
        ASSERT_EQ(NbLignesCorr, 3);
        AttendreXY(1, 10, -cor);
        AttendreXY(2, 10, cor);
        // Round the end through (13, 0): clockwise with the tool on the left.
        EXPECT_EQ(C(2).CodeG[0], cor < 0 ? 2 : 3);
    }
}

TEST_F(CorrectionOutilsTest, MouvementsAjoutesSansFonctionMNiCycle)
{
    Prog p;
    p.Rayon(-3).G(1, 0, 10).M(0).G(1, 10, 20).M(5);
    p.Installer();
    TabProg[1].CodeG[1] = 81;
    TabProg[2].CodeG[1] = 81;
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 4);
    EXPECT_EQ(C(1).CodeM[1], 0);
    EXPECT_EQ(C(2).CodeG[0], 2); // the corner arc, from block 1
    EXPECT_EQ(C(2).CodeM[1], MSlotVide);
    EXPECT_EQ(C(2).CodeG[1], 0);
    EXPECT_EQ(C(3).CodeM[1], 5);
    EXPECT_EQ(C(4).CodeG[0], 0); // the return move
    EXPECT_EQ(C(4).CodeM[1], MSlotVide);
    EXPECT_EQ(C(4).CodeG[1], 0);
}

TEST_F(CorrectionOutilsTest, RetourRapideALaFinProgrammee)
{
    TabOutils[1].Jauge[1] = 20;
    Prog p;
    p.Longueur(true, 1).Rayon(3).G(1, 10, 0).G(1, 20, 10).Z(-1);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 5);
    const double s = 3 / std::sqrt(2.0);
    AttendreXY(3, 20 + s, 10 - s);
    AttendreXY(4, 20 + s, 10 - s);
    EXPECT_DOUBLE_EQ(C(4).Z, 19);
    AttendreXY(5, 20, 10);
    EXPECT_EQ(C(5).CodeG[0], 0);
    EXPECT_DOUBLE_EQ(C(5).Z, 19); // copied from a corrected record, not corrected again
}

TEST_F(CorrectionOutilsTest, CoinNonValideSignaleUneFois)
{
    // The shifted line crosses the shifted circle twice, far from the ends.
    const double a = 350 * std::numbers::pi / 180;
    Prog p(-10, 0);
    p.Rayon(-3).G(1, 10, 0).G(3, 10 * std::cos(a), 10 * std::sin(a), 0, 0);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], "Prise de correction non valide !");
    // The moves stay as shifted, not joined.
    ASSERT_EQ(NbLignesCorr, 3);
    AttendreXY(1, 10, 3);
    AttendreXY(2, 7 * std::cos(a), 7 * std::sin(a));
    EXPECT_EQ(C(2).CodeG[0], 3);
}

TEST_F(CorrectionOutilsTest, JaugeOutilsPendantLePassage)
{
    struct VueJauge : test::VueEnregistreuse {
        void Repeindre(const std::string& c) override
        {
            VueEnregistreuse::Repeindre(c);
            if (c == "GaugeProg")
                etats.push_back(Form1.LabelGaugeProg.Texte + (Form1.GaugeProg.Visible ? "+" : "-")
                    + std::to_string(Form1.GaugeProg.Progression));
        }
        std::vector<std::string> etats;
    } vueJauge;
    DefinirVue(&vueJauge);
    CarreHoraire(-3).Installer();
    CorrectionOutils();
    EXPECT_EQ(Form1.GaugeProg.Max, 4);
    const std::vector<std::string> attendu = { "Outils+0", "Outils+2", "Outils+3", "Outils+4", "-0" };
    EXPECT_EQ(vueJauge.etats, attendu);
    EXPECT_FALSE(Form1.GaugeProg.Visible);
    EXPECT_EQ(Form1.LabelGaugeProg.Texte, "");

    // A long program repaints the gauge once per percent, not per corner.
    vueJauge.etats.clear();
    Prog p;
    p.Rayon(-1);
    for (int i = 0; i < 5000; ++i)
        p.G(1, i % 2 ? 0 : 10, i);
    p.Installer();
    CorrectionOutils();
    EXPECT_LE(vueJauge.etats.size(), 103u); // shown, 0 to 100 %, hidden
    EXPECT_GE(vueJauge.etats.size(), 90u);
    DefinirVue(&vue);
}

TEST_F(CorrectionOutilsTest, ProgrammeVideEtBlocUnique)
{
    TabProg[0].X = 4;
    NbLignesProg = 0;
    ASSERT_TRUE(CorrectionOutils());
    EXPECT_EQ(NbLignesCorr, 0);
    EXPECT_DOUBLE_EQ(C(0).X, 4);
    EXPECT_EQ(SegmentSuivant(0), 0);

    TabOutils[0].Jauge[1] = 2;
    Prog p(1, 1);
    p.Rayon(-3).Longueur(true, 0).Z(-1);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 1);
    AttendreXY(1, 1, 1);
    EXPECT_DOUBLE_EQ(C(1).Z, 1);
}

TEST_F(CorrectionOutilsTest, UnSeulMouvementXYPremierMilieuDernier)
{
    // Blocks before the move wait at its shifted start, blocks after it at
    // its shifted end; the end differs in X and Y, so the tool returns.
    const double s = 3 / std::sqrt(2.0);
    for (int avant : { 0, 1, 3 }) {
        for (int apres : { 0, 2 }) {
            SCOPED_TRACE(std::to_string(avant) + " " + std::to_string(apres));
            Prog p;
            p.Rayon(3);
            for (int i = 0; i < avant; ++i)
                p.Z(-i);
            p.G(1, 10, 10);
            for (int i = 0; i < apres; ++i)
                p.Z(i);
            p.Installer();
            ASSERT_EQ(SegmentSuivant(avant + 1), NbLignesProg - 1);
            ASSERT_TRUE(CorrectionOutils());
            AttendreSain();
            ASSERT_EQ(NbLignesCorr, NbLignesProg + 1);
            for (int i = 1; i <= avant; ++i)
                AttendreXY(i, s, -s);
            for (int i = avant + 1; i <= NbLignesProg; ++i)
                AttendreXY(i, 10 + s, 10 - s);
            AttendreXY(NbLignesCorr, 10, 10);
        }
    }
}

TEST_F(CorrectionOutilsTest, MouvementsXYSeulementAuDebut)
{
    Prog p;
    p.Rayon(-3).G(1, 10, 0).G(1, 10, 10).Z(-1).Rayon(0).Z(-2).M(5);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    ASSERT_EQ(NbLignesCorr, 4);
    AttendreXY(1, 7, 3);
    AttendreXY(2, 7, 10);
    AttendreXY(3, 7, 10);
    AttendreXY(4, 7, 10);
    EXPECT_EQ(C(4).CodeM[1], 5);
}

TEST_F(CorrectionOutilsTest, MouvementsDeLongueurNulle)
{
    // A move of no length cannot be shifted: the tool goes through the
    // programmed point there, joined straight to the shifted neighbours.
    Prog p;
    p.Rayon(-3).G(1, 10, 0).MouvementNul(1).G(1, 10, 10);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    AttendreSain();
    ASSERT_EQ(NbLignesCorr, 5);
    AttendreXY(1, 10, 3);
    AttendreXY(2, 10, 0);
    EXPECT_EQ(C(2).CodeG[0], 1);
    AttendreXY(3, 10, 0);
    AttendreXY(4, 7, 0);
    EXPECT_EQ(C(4).CodeG[0], 1);
    AttendreXY(5, 7, 10);

    Prog q;
    q.Rayon(3).MouvementNul(1).MouvementNul(2, 5, 5).MouvementNul(1);
    q.Installer();
    ASSERT_TRUE(CorrectionOutils());
    AttendreSain();
}

TEST_F(CorrectionOutilsTest, ArcsDeRayonNulEtArcHorsDeSonCercle)
{
    // Radius 0 at the start: that end stays, the other is shifted.
    Prog p;
    p.Rayon(-2).G(1, 10, 0).G(2, 20, 0, 10, 0).G(1, 20, 10);
    p.Installer();
    ASSERT_TRUE(CorrectionOutils());
    AttendreSain();

    // A whole circle of radius 0 split in two halves of no length.
    Prog q(5, 5);
    q.Rayon(-2).MouvementNul(2, 5, 5).G(1, 10, 5).MouvementNul(3, 10, 5);
    q.Installer();
    ASSERT_TRUE(CorrectionOutils());
    AttendreSain();

    // The end lies 5 from the centre, the start 10: each end moves radially.
    Prog r(10, 0);
    r.Rayon(3).G(3, 0, 5, 0, 0).G(1, -10, 5);
    r.Installer();
    ASSERT_TRUE(CorrectionOutils());
    AttendreSain();
    AttendreXY(1, 0, 8);
    EXPECT_EQ(C(1).CodeG[0], 3);
    EXPECT_DOUBLE_EQ(C(1).I, 0);
}

TEST_F(CorrectionOutilsTest, TableIncoherenteNeLitPasHorsLimites)
{
    CarreHoraire(-3).Installer();
    NbLignesProg = 60000; // more than the table holds
    TabProg.resize(5);
    ASSERT_TRUE(CorrectionOutils());
    EXPECT_EQ(NbLignesCorr, 7);
    AttendreSain();
}

TEST_F(CorrectionOutilsTest, ParcoursTropLongRefuse)
{
    // Every corner of a clockwise walk with the tool outside inserts an arc.
    Prog p;
    p.Rayon(-1);
    const double coins[4][2] = { { 0, 10 }, { 10, 10 }, { 10, 0 }, { 0, 0 } };
    for (int i = 0; i < 33000; ++i)
        p.G(1, coins[i % 4][0], coins[i % 4][1]);
    p.Installer();
    ParcoursCalcule = true;
    EXPECT_FALSE(CorrectionOutils());
    EXPECT_EQ(NbLignesCorr, 0);
    EXPECT_FALSE(ParcoursCalcule);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], TexteParcoursTropLong);
    EXPECT_FALSE(Form1.GaugeProg.Visible);

    // Half as long, it fits.
    NbLignesProg = 16000;
    EXPECT_TRUE(CorrectionOutils());
    EXPECT_EQ(NbLignesCorr, 2 * 16000 - 1);
}

TEST_F(CorrectionOutilsTest, DecritEtSuitLesSegments)
{
    Prog p(1, 2);
    p.Z(-1).G(0, 5, 2).G(2, 5, 8, 5, 5).Z(3).G(3, 1, 1, 9, 9);
    p.Installer();
    EXPECT_EQ(SegmentSuivant(0), 2);
    EXPECT_EQ(SegmentSuivant(2), 3);
    EXPECT_EQ(SegmentSuivant(3), 5);
    EXPECT_EQ(SegmentSuivant(5), 4);
    ElementGeo e = DecritSegment(0, 2);
    EXPECT_EQ(e.Nature, NatureDroite);
    EXPECT_DOUBLE_EQ(e.Debut.X, 1);
    EXPECT_DOUBLE_EQ(e.Fin.X, 5);
    EXPECT_DOUBLE_EQ(e.Centre.X, 0);
    e = DecritSegment(2, 3);
    EXPECT_EQ(e.Nature, NatureArcHoraire);
    EXPECT_DOUBLE_EQ(e.Centre.Y, 5);
    e = DecritSegment(4, 5);
    EXPECT_EQ(e.Nature, NatureArcTrigo);
    EXPECT_DOUBLE_EQ(e.Debut.Y, 8);
    EXPECT_DOUBLE_EQ(e.Centre.X, 9);
}
