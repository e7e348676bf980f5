#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "iso/analyse_ligne.h"
#include "iso/trace_prog.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "support/programme.h"
#include "support/support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace virmak;
using namespace virmak::test;

using Programme = AvecProgramme;

TEST_F(Programme, EmptyListGivesOnlyTheStartBlockAtTheCurrentPosition)
{
    Lignes({});
    PosMm[0] = 1.5;
    PosMm[2] = -2;
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(NbLignesProg, 0);
    EXPECT_TRUE(ProgAnalyse);
    EXPECT_EQ(boite.Min[0], 1.5);
    EXPECT_EQ(boite.Max[0], 1.5);
    EXPECT_EQ(boite.Min[2], -2);
    EXPECT_EQ(Listing(), "L  0  G 0  X   1.500  Y   0.000  Z  -2.000 > ENT=0 COR=   0.000\r\n");
    PosMm[0] = PosMm[2] = 0;
    Analyser();
    EXPECT_EQ(Listing(), "L  0  G 0  X   0.000  Y   0.000  Z   0.000 > ENT=0 COR=   0.000\r\n");
}

TEST_F(Programme, AFullCircleIsSplitIntoTwoHalves)
{
    Lignes({ "G0 X10 Y0", "G2 X10 Y0 I5 J0 F100" });
    ASSERT_TRUE(Analyser());
    ASSERT_EQ(NbLignesProg, 3);
    EXPECT_EQ(TabProg[2].X, 0);
    EXPECT_EQ(TabProg[2].Y, 0);
    EXPECT_EQ(TabProg[3].X, 10);
    EXPECT_EQ(TabProg[3].Y, 0);
    EXPECT_EQ(TabProg[2].IndexLigne, 1);
    EXPECT_EQ(TabProg[3].IndexLigne, 1);
    EXPECT_EQ(TabProg[3].NumSegment, TabProg[2].NumSegment + 1);
    EXPECT_EQ(TabProg[2].CodeG[0], 2);
    // The opposite point of the split does not widen the box.
    EXPECT_EQ(boite.Min[0], 0);
    EXPECT_EQ(boite.Max[0], 10);
}

TEST_F(Programme, AFullCircleStartingOffLevelIsSplitAtTheOppositePoint)
{
    Lignes({ "G0 X5 Y10", "G3 X5 Y10 I5 J5 F100" });
    ASSERT_TRUE(Analyser());
    ASSERT_EQ(NbLignesProg, 3);
    EXPECT_EQ(TabProg[2].X, 5);
    EXPECT_EQ(TabProg[2].Y, 0);
    EXPECT_EQ(TabProg[3].Y, 10);
    // A centre near the largest double keeps the opposite point finite.
    Lignes({ "G0 X0 Y5", "G91.1 G2 F100 X0 Y5 I-1" + std::string(400, '3') });
    ASSERT_TRUE(Analyser());
    EXPECT_TRUE(std::isfinite(TabProg[2].X));
}

TEST_F(Programme, BlocksWithoutXYMotionShareTheSegmentNumber)
{
    Lignes({ "G1 X5 Y5 F100", "Z-1", "Z-2", "M3", "X6" });
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(TabProg[1].NumSegment, 1);
    EXPECT_EQ(TabProg[2].NumSegment, 1);
    EXPECT_EQ(TabProg[3].NumSegment, 1);
    EXPECT_EQ(TabProg[4].NumSegment, 1);
    EXPECT_EQ(TabProg[5].NumSegment, 2);
    EXPECT_EQ(boite.Min[2], -2);
}

TEST_F(Programme, TheBoxAlwaysHoldsTheCurrentPosition)
{
    Lignes({ "G0 X10 Y20 Z5", "G1 X30 Y40 F100" });
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(boite.Min[0], 0);
    EXPECT_EQ(boite.Min[1], 0);
    EXPECT_EQ(boite.Min[2], 0);
    EXPECT_EQ(boite.Max[0], 30);
    EXPECT_EQ(boite.Max[1], 40);
    EXPECT_EQ(boite.Max[2], 5);
}

TEST_F(Programme, RadiusCompensationTakesTheToolRadiusAndItsWear)
{
    TabOutils[3].Jauge[0] = 6;
    TabOutils[3].CorDyn[0] = 0.1;
    Lignes({ "T3 G41 X1", "G42 X2", "G40 X3" });
    ASSERT_TRUE(Analyser());
    EXPECT_DOUBLE_EQ(TabProg[1].CorRayon, -3.1);
    EXPECT_DOUBLE_EQ(TabProg[2].CorRayon, 3.1);
    EXPECT_DOUBLE_EQ(TabProg[3].CorRayon, 0);
    EXPECT_NE(Listing().find("COR=  -3.100"), std::string::npos);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(Programme, AToolOutsideTheTableHasNoRadiusAndIsReportedOnce)
{
    Lignes({ "T150 G41 X1", "X2", "X3" });
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(TabProg[1].CorRayon, 0);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_NE(vue.messages[0].find("T150"), std::string::npos);
}

TEST_F(Programme, AnalysisStartsAfreshEachTime)
{
    Lignes({ "G70", "G1 X1 F4" });
    ASSERT_TRUE(Analyser());
    EXPECT_DOUBLE_EQ(TabProg[2].X, 25.4);
    Lignes({ "G1 X1 F100" });
    ASSERT_TRUE(Analyser());
    EXPECT_DOUBLE_EQ(TabProg[1].X, 1);
    EXPECT_EQ(TabProg[1].CodeG[0], 1);
}

TEST_F(Programme, AProgramTooLargeForTheTableIsRefusedWhole)
{
    EcrireTout(Fichier("CncParam.Ini"), "[GCODES]\nMaxLProg=5\n");
    FormCreate();
    Lignes({ "X1", "X2", "X3", "X4", "X5" });
    EXPECT_FALSE(Analyser());
    EXPECT_EQ(NbLignesProg, 0);
    EXPECT_FALSE(ProgAnalyse);
    EXPECT_EQ(TabProg.size(), 5u);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_NE(vue.messages[0].find("6 blocs"), std::string::npos);
    EXPECT_NE(vue.messages[0].find("5 (clé MaxLProg"), std::string::npos);
    EXPECT_FALSE(Form1.GaugeProg.Visible);

    Lignes({ "X1", "X2", "X3", "X4" });
    EXPECT_TRUE(Analyser());
    EXPECT_EQ(NbLignesProg, 4);
    // A full circle needs one entry more than its line.
    Lignes({ "X1", "X2", "X3", "G2 X3 Y0 I1 J0" });
    EXPECT_FALSE(Analyser());
    EXPECT_NE(vue.messages.back().find("6 blocs"), std::string::npos);
}

TEST_F(Programme, AFileAnalysedWithoutTheListGivesTheListsTableListingAndMessages)
{
    EcrireTout(Fichier("CncParam.Ini"), "[GCODES]\nMaxLProg=7\n[BOOLEAN]\nMesAvert=1\n");
    FormCreate();
    TabOutils[1].Jauge[0] = 6;
    const char* const textes[] = {
        "G1 X5 Y5 F100\r\n(caf\xE9 cr\xE8me)\r\nG2 X5 Y5 I6 J5\r\nZ-1 D1\nG41 T150 X2",
        "T1 G42 X1\nX2 H1\nG40 X3\nX4\nX5\nX6\nX7\nX8", // 9 entries for 7
        "X1\nX2\nX3\nX4\nX5\nG2 X5 Y0 I4 J0\nX8\n", // 9 as well, the circle at the limit
        "G1 X1\nG2 X9 R1\n",
        "G0 X1\n(SANS AVANCE)\nG1 X2 Y2\nX3", // refused once the whole program is read
        "",
    };
    for (const char* texte : textes) {
        Lignes(DecouperLignes(texte));
        const bool liste = Analyser();
        const std::string listing = liste ? Listing() : "";
        const size_t nb = NbLignesProg;
        const std::vector<std::string> messages = vue.messages;
        vue.messages.clear();
        BoiteProg b;
        LecteurLignes lecteur(texte);
        EXPECT_EQ(TraiteIso(lecteur, b), liste) << texte;
        EXPECT_EQ(liste ? Listing() : "", listing) << texte;
        EXPECT_EQ(NbLignesProg, nb);
        EXPECT_EQ(vue.messages, messages) << texte;
        EXPECT_EQ(b.Min[0], boite.Min[0]);
        EXPECT_EQ(b.Max[1], boite.Max[1]);
        if (texte == textes[0]) {
            EXPECT_EQ(TabProg[2].Commentaire, "café crème");
        }

        // Written as it goes, from the file, with the same messages once.
        vue.messages.clear();
        TabProg.assign(1, LigneProg {});
        EcrireTout(Fichier("p.iso"), texte);
        ASSERT_EQ(lecteur.Ouvrir(Fichier("p.iso")), Lecture::Ok);
        std::string ecrit;
        EXPECT_EQ(ListingIso(lecteur, [&ecrit](std::string_view morceau) { ecrit += morceau; }), liste);
        EXPECT_EQ(ecrit, listing) << texte;
        EXPECT_EQ(vue.messages, messages) << texte;
        EXPECT_EQ(TabProg.size(), 1u);
        EXPECT_TRUE(MesAvert);
        vue.messages.clear();
    }
}

TEST_F(Programme, AWarningShownThreeTimesInOnePassIsCountedInsteadAndTheNextPassStartsAfresh)
{
    MesAvert = true;
    Lignes(std::vector<std::string>(10, "D1"));
    vue.messages.clear();
    for (int passe = 0; passe < 2; ++passe) {
        ASSERT_TRUE(Analyser());
        ASSERT_EQ(vue.messages.size(), 4u * (passe + 1));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(vue.messages[4 * passe + i], TexteCodeD);
        EXPECT_EQ(vue.messages[4 * passe + 3], "7 autres avertissements répétés n'ont pas été affichés.");
    }
    Lignes({ "D1", "D1", "D1", "D1" });
    vue.messages.clear();
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(vue.messages.back(), "1 autre avertissement répété n'a pas été affiché.");
}

TEST_F(Programme, AZeroCapacityTableRefusesEvenAnEmptyProgram)
{
    EcrireTout(Fichier("CncParam.Ini"), "[GCODES]\nMaxLProg=65536\n");
    FormCreate();
    EXPECT_EQ(MaxLProg, 0);
    Lignes({});
    EXPECT_FALSE(Analyser());
    EXPECT_EQ(Listing(), "");
}

TEST_F(Programme, ArcsWithAbsoluteOrRelativeCentresOrARadiusGiveTheSameRecords)
{
    const struct {
        bool cle; // CentresRelatifs
        const char *depart, *arc, *reference;
    } cas[] = {
        { false, "G0 X10 Y0", "G91.1 G3 X0 Y10 I-10 J0 F100", "G3 X0 Y10 I0 J0 F100" },
        { false, "G0 X10 Y0", "I-10 Y10 G3 X0 G91.1 F100", "G3 X0 Y10 I0 J0 F100" }, // J left out is 0
        { true, "G0 X10 Y0", "G3 X0 Y10 J0 I-10 F100", "G3 X0 Y10 I0 J0 F100" },
        { true, "G0 X10 Y0", "G3 X0 Y10 I-10 F100", "G3 X0 Y10 I0 J0 F100" },
        { false, "G0 X10 Y0", "G91.1 G2 X10 Y0 I-5 F100",
            "G2 X10 Y0 I5 J0 F100" }, // a full circle's first half
        { false, "G0 X10 Y0", "G3 X0 Y10 R10 F100", "G3 X0 Y10 I0 J0 F100" },
        { true, "G0 X10 Y0", "R10 Y10 X0 G3 F100", "G3 X0 Y10 I0 J0 F100" },
        { false, "G0 X10 Y0", "G3 X0 Y-10 R-10 F100", "G3 X0 Y-10 I0 J0 F100" }, // the longer arc
        { false, "G0 X10 Y0", "G2 X0 Y-10 R10 F100", "G2 X0 Y-10 I0 J0 F100" },
        { false, "G0 X10 Y0", "G2 X0 Y10 R-10 F100", "G2 X0 Y10 I0 J0 F100" },
        { false, "G0 X10 Y0", "G2 X-10 Y0 R-10 F100", "G2 X-10 Y0 I0 J0 F100" },
        { false, "G0 X10 Y0", "G2 X0 Y0 R4.996 F100", "G2 X0 Y0 I5 J0 F100" }, // rounded half circle
        { false, "G0 X25.4 Y0", "G70 G3 X0 Y1 R1 F100", "G3 X0 Y25.4 I0 J0 F100" },
        { false, "G0 X25.4 Y0", "G70 G91.1 G3 X0 Y1 I-1 F100", "G3 X0 Y25.4 I0 J0 F100" },
    };
    for (const auto& c : cas) {
        CentresRelatifs = c.cle;
        Lignes({ c.depart, c.arc });
        ASSERT_TRUE(Analyser()) << c.arc;
        LigneProg obtenu = TabProg[2];
        CentresRelatifs = false;
        Lignes({ c.depart, c.reference });
        ASSERT_TRUE(Analyser());
        const LigneProg& attendu = TabProg[2];
        EXPECT_NEAR(obtenu.I, attendu.I, 1e-9) << c.arc;
        EXPECT_NEAR(obtenu.J, attendu.J, 1e-9) << c.arc;
        EXPECT_EQ(LigneTrace(obtenu), LigneTrace(attendu)) << c.arc;
    }
}

TEST_F(Programme, TheCentreModeStartsFromTheKeyAndSwitchesAtTheBlockThatSaysSo)
{
    Lignes({ "G0 X10 Y0", "G3 X0 Y10 I0 J0 F100", "G91.1", "G3 X-10 Y0 I0 J-10", "G3 X0 Y-10 I0 J0 G90.1",
        "G3 X10 Y0 I0 J0" });
    ASSERT_TRUE(Analyser());
    // Every centre is the origin only when each block reads it in its own mode.
    for (int i = 2; i <= 6; ++i) {
        EXPECT_EQ(TabProg[i].I, 0) << i;
        EXPECT_EQ(TabProg[i].J, 0) << i;
        EXPECT_EQ(TabProg[i].CentresRelatifs, i == 3 || i == 4) << i;
    }
    CentresRelatifs = true;
    ASSERT_TRUE(Analyser());
    EXPECT_EQ(TabProg[2].I, 10); // offsets from (10, 0)
    EXPECT_TRUE(TabProg[2].CentresRelatifs);
}

TEST_F(Programme, AFeedMoveWithNoPositiveFeedRefusesTheProgramNamingItsLine)
{
    const struct {
        std::vector<std::string> lignes;
        int ligne; // 0: accepted
    } cas[] = {
        { { "G1 X10" }, 1 },
        { { "G0 X5", "G1 X10 F0" }, 2 },
        { { "G1 X1 F100", "G1 X2 F0", "G0 X0 Y0", "G2 X10 Y0 I5 J0" }, 2 },
        { { "G0 X10", "G3 X0 Y0 I5 J0" }, 2 },
        { { "G0 X1", "G81 X1 Y1 Z-1 R1" }, 2 },
        // Nothing moves at the feed: a rapid, a G1 that stays, a hole of no depth.
        { { "G1 F0", "G0 X10", "G1 X10", "G81 X1 Z1 R1", "G80" }, 0 },
    };
    for (const auto& c : cas) {
        vue.messages.clear();
        Lignes(c.lignes);
        EXPECT_EQ(Analyser(), c.ligne == 0) << c.lignes.back();
        if (c.ligne == 0)
            continue;
        EXPECT_FALSE(ProgAnalyse);
        ASSERT_EQ(vue.messages.size(), 1u);
        EXPECT_EQ(vue.messages[0].rfind("Ligne " + std::to_string(c.ligne) + " : ", 0), 0u)
            << vue.messages[0];
        EXPECT_NE(vue.messages[0].find("sans vitesse d'avance F positive"), std::string::npos);
    }
}

TEST_F(Programme, AnRArcThatCannotReachItsEndRefusesTheProgramNamingItsLine)
{
    const struct {
        const char *arc, *raison;
    } cas[] = {
        { "G2 X10 Y0 R4.99", "le rayon R de l'arc est plus court que la moitié de la distance" },
        { "G2 X10 Y0 R0", "le rayon R de l'arc est plus court" },
        { "G3 R5", "un arc donné par son rayon R ne peut pas finir à son point de départ" },
    };
    for (const auto& c : cas) {
        vue.messages.clear();
        Lignes({ "G0 X0 Y0", "G1 X0", c.arc, "G1 X1" });
        EXPECT_FALSE(Analyser());
        EXPECT_EQ(NbLignesProg, 0);
        EXPECT_FALSE(ProgAnalyse);
        ASSERT_EQ(vue.messages.size(), 1u);
        EXPECT_EQ(vue.messages[0].rfind(std::string("Ligne 3 : ") + c.raison, 0), 0u) << vue.messages[0];
        EXPECT_NE(vue.messages[0].find("ni dessiné ni exécuté"), std::string::npos);
    }
}

namespace {

std::string CRLF(std::string texte)
{
    for (size_t i = texte.find('\n'); i != std::string::npos; i = texte.find('\n', i + 2))
        texte.insert(i, "\r");
    return texte;
}

} // namespace

// Programs without the words of the other ways of writing arcs analyse to the
// listing and traces they always gave, byte for byte.
TEST_F(Programme, ProgramsWithoutCentreModesOrRadiusArcsKeepTheirListingAndTrace)
{
    Lignes({ "%", "(ETALON) G90 G91 G90.0", "N10 G0 X10 Y0 Z5 T1 M3 S1000", "N20 G1 Z-1 F150.5",
        "N30 G2 I5 J0 X10 Y0", "N40 G3 X0 Y10 I0 J0 R2", "N50 G70 G1 X1 Y1", "N60 G71 G81 X5 Y5 Z-3 R1",
        "N70 X6 R2", "N80 G80 G42 G2 X24 Y5 I15 J5" });
    ASSERT_TRUE(Analyser());
    const std::string listing = R"(L  0  G 0  X   0.000  Y   0.000  Z   0.000 > ENT=0 COR=   0.000
L  0  G 0  X   0.000  Y   0.000  Z   0.000 > ENT=0 COR=   0.000
L  1  G 0  X   0.000  Y   0.000  Z   0.000 > ENT=0 COR=   0.000
L  2  G 0  X  10.000  Y   0.000  Z   5.000 > ENT=1 COR=   0.000
L  3  G 1  X  10.000  Y   0.000  Z  -1.000 > ENT=1 COR=   0.000
L  4  G 2  X   0.000  Y   0.000  Z  -1.000 > ENT=2 COR=   0.000
L  4  G 2  X  10.000  Y   0.000  Z  -1.000 > ENT=3 COR=   0.000
L  5  G 3  X   0.000  Y  10.000  Z  -1.000 > ENT=4 COR=   0.000
L  6  G 1  X  25.400  Y  25.400  Z  -1.000 > ENT=5 COR=   0.000
L  7  G 0  X   5.000  Y   5.000  Z  -1.000 > ENT=6 COR=   0.000
L  8  G 0  X   6.000  Y   5.000  Z  -1.000 > ENT=7 COR=   0.000
L  9  G 2  X  24.000  Y   5.000  Z  -1.000 > ENT=8 COR=   0.000
)";
    const std::string trace
        = R"(L  0  G 0  X   0.000  Y   0.000  Z   0.000  I   0.000  J   0.000  K   0.000 > ENT=  0 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  1  G 0  X   0.000  Y   0.000  Z   0.000  I   0.000  J   0.000  K   0.000 > ENT=  0 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  2  G 0  X  10.000  Y   0.000  Z   5.000  I   0.000  J   0.000  K   0.000 > ENT=  1 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  3  G 1  X  10.000  Y   0.000  Z  -1.000  I   0.000  J   0.000  K   0.000 > ENT=  1 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  4  G 2  X   0.000  Y   0.000  Z  -1.000  I   5.000  J   0.000  K   0.000 > ENT=  2 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  4  G 2  X  10.000  Y   0.000  Z  -1.000  I   5.000  J   0.000  K   0.000 > ENT=  3 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  5  G 3  X   0.000  Y  10.000  Z  -1.000  I   0.000  J   0.000  K   0.000 > ENT=  4 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   2.000
L  6  G 1  X  25.400  Y  25.400  Z  -1.000  I   0.000  J   0.000  K   0.000 > ENT=  5 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
L  7  G 0  X   5.000  Y   5.000  Z  -1.000  I   0.000  J   0.000  K   0.000 > ENT=  6 COR=   0.000 Cycle  G81 EX   5.000 EY   5.000 EZ  -3.000  P   0.000  Q   0.000  R   1.000
L  8  G 0  X   6.000  Y   5.000  Z  -1.000  I   0.000  J   0.000  K   0.000 > ENT=  7 COR=   0.000 Cycle  G81 EX   6.000 EY   5.000 EZ  -3.000  P   0.000  Q   0.000  R   2.000
L  9  G 2  X  24.000  Y   5.000  Z  -1.000  I  15.000  J   5.000  K   0.000 > ENT=  8 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000  P   0.000  Q   0.000  R   0.000
)";
    EXPECT_EQ(Listing(), CRLF(listing));
    EXPECT_EQ(TexteTrace(TabProg, NbLignesProg), CRLF(trace));
}

TEST(NomAffiche, LongPathsShowTheFirstFolderAndTheFileName)
{
    const std::string cinquante = "/home/atelier/programmes/pieces/serie-2026/p12.iso";
    ASSERT_EQ(cinquante.size(), 50u);
    EXPECT_EQ(NomPourAffichage(cinquante), cinquante);
    const std::string soixanteDeux = "/home/atelier/programmes/pieces/serie-2026/lot-b/bride-123.iso";
    ASSERT_EQ(soixanteDeux.size(), 62u);
    EXPECT_EQ(NomPourAffichage(soixanteDeux), "/home/ ... /bride-123.iso");
    EXPECT_EQ(NomPourAffichage(std::string(60, 'a')), " ... /" + std::string(60, 'a'));
}
