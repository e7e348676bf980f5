#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "iso/analyse_ligne.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>

using namespace virmak;
using namespace virmak::test;

namespace {

constexpr double ReelMax = std::numeric_limits<double>::max();
constexpr int32_t EntierMax = std::numeric_limits<int32_t>::max();

std::array<int32_t, 11> SlotsM(std::initializer_list<int32_t> mots)
{
    std::array<int32_t, 11> slots;
    slots.fill(MSlotVide);
    std::size_t i = 1;
    for (int32_t m : mots)
        slots[i++] = m;
    return slots;
}

void ExpectMemeEtat(const LigneProg& a, const LigneProg& b)
{
    EXPECT_EQ(a.NumBloc, b.NumBloc);
    EXPECT_EQ(a.IndexLigne, b.IndexLigne);
    EXPECT_EQ(a.CodeG, b.CodeG);
    EXPECT_EQ(a.CodeM, b.CodeM);
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(a.Z, b.Z);
    EXPECT_EQ(a.I, b.I);
    EXPECT_EQ(a.J, b.J);
    EXPECT_EQ(a.K, b.K);
    EXPECT_EQ(a.XCycle, b.XCycle);
    EXPECT_EQ(a.YCycle, b.YCycle);
    EXPECT_EQ(a.ZCycle, b.ZCycle);
    EXPECT_EQ(a.VitBroche, b.VitBroche);
    EXPECT_EQ(a.Avance, b.Avance);
    EXPECT_EQ(a.NumOutil, b.NumOutil);
    EXPECT_EQ(a.CorRayon, b.CorRayon);
    EXPECT_EQ(a.CorLongueur, b.CorLongueur);
    EXPECT_EQ(a.Commentaire, b.Commentaire);
    EXPECT_EQ(a.NumSegment, b.NumSegment);
    EXPECT_EQ(a.P, b.P);
    EXPECT_EQ(a.Q, b.Q);
    EXPECT_EQ(a.R, b.R);
}

struct Lecture {
    double valeur;
    std::size_t position;
};

Lecture Reel(std::string_view ligne, std::size_t position = 1)
{
    const double valeur = LireReel(ligne, position);
    return { valeur, position };
}

Lecture Entier(std::string_view ligne, std::size_t position = 1)
{
    const int32_t valeur = LireEntier(ligne, position);
    return { static_cast<double>(valeur), position };
}

// Each case: the line, the value read from position 1 and the position after.
struct Cas {
    const char* ligne;
    double valeur;
    std::size_t position;
};

void ExpectLectures(Lecture (*lire)(std::string_view, std::size_t), std::initializer_list<Cas> cas)
{
    for (const Cas& c : cas) {
        const Lecture l = lire(c.ligne, 1);
        EXPECT_EQ(l.valeur, c.valeur) << c.ligne;
        EXPECT_EQ(l.position, c.position) << c.ligne;
    }
}

class AnalyseBloc : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        ChargerConfiguration();
    }

    // Parses the lines in order, each from the record of the one before.
    LigneProg Suite(std::initializer_list<std::string_view> lignes, const LigneProg& depart = LigneDefaut)
    {
        LigneProg courante = depart;
        for (std::string_view ligne : lignes) {
            LigneProg suivante;
            AnalyseLigne(ligne, courante, suivante);
            courante = suivante;
        }
        return courante;
    }
};

} // namespace

TEST(Scanners, IntegerStopsAtTheFirstNonDigitAndReportsTheLastConsumed)
{
    ExpectLectures(Entier,
        { { "G12X", 12, 3 }, { "G 1", 0, 1 }, { "T-1", 0, 1 }, { "F150.5", 150, 4 }, { "N007", 7, 4 } });
    EXPECT_EQ(Entier("X5M7", 3).valeur, 7);
    EXPECT_EQ(Entier("X5M7", 3).position, 4u);
}

TEST(Scanners, PositionsAtOrPastTheEndReadNothing)
{
    EXPECT_EQ(Entier("M5", 2).valeur, 0);
    EXPECT_EQ(Entier("M5", 2).position, 2u);
    EXPECT_EQ(Reel("X5", 50).valeur, 0.0);
    EXPECT_EQ(Reel("X5", 50).position, 50u);
    std::size_t p = std::numeric_limits<std::size_t>::max();
    std::string texte = "garde";
    LireCommentaire("(A)", p, texte);
    EXPECT_EQ(texte, "");
    EXPECT_EQ(p, std::numeric_limits<std::size_t>::max());
}

TEST(Scanners, IntegerSaturatesAtTheInt32Limit)
{
    ExpectLectures(Entier, { { "N2147483647", EntierMax, 11 }, { "N2147483648", EntierMax, 11 } });
    const Lecture longue = Entier("N" + std::string(500, '9') + "X");
    EXPECT_EQ(longue.valeur, EntierMax);
    EXPECT_EQ(longue.position, 501u);
}

TEST(Scanners, RealAcceptsSignPointAndMissingDigitsOnEitherSide)
{
    ExpectLectures(Reel,
        { { "X-.5", -0.5, 4 }, { "X.5", 0.5, 3 }, { "X5.", 5.0, 3 }, { "X+5", 5.0, 3 },
            { "X-12.375", -12.375, 8 }, { "X12.5Y3", 12.5, 5 }, { "X 10", 0.0, 1 }, { "X1e5", 1.0, 2 },
            { "X1,5", 1.0, 2 } }); // a comma is no decimal point
    EXPECT_FALSE(std::signbit(Reel("X-0").valeur));
}

TEST(Scanners, RealIsCorrectlyRoundedWhateverItsNumberOfDigits)
{
    // Short and long runs take different paths; both must agree with the
    // full conversion to the last bit.
    uint64_t etat = 12345;
    for (int n = 0; n < 20000; ++n) {
        etat = etat * 6364136223846793005ULL + 1442695040888963407ULL;
        std::string chiffres = std::to_string(etat >> 4);
        chiffres.resize(1 + n % chiffres.size());
        const std::size_t point = (etat >> 60) % (chiffres.size() + 1);
        const std::string nombre
            = (n % 3 ? "" : "-") + chiffres.substr(0, point) + "." + chiffres.substr(point);
        const std::optional<double> attendu = LireReelTexte(nombre);
        ASSERT_TRUE(attendu.has_value()) << nombre;
        EXPECT_EQ(Reel("X" + nombre).valeur, *attendu + 0.0) << nombre;
    }
    EXPECT_EQ(Reel("X0.1").valeur, 0.1);
    EXPECT_EQ(Reel("X3.14159265358979323846").valeur, 3.141592653589793);
    EXPECT_EQ(Reel("X123456789012345").valeur, 123456789012345.0);
    EXPECT_EQ(Reel("X1234567890123456789").valeur, 1234567890123456789.0);
}

TEST(Scanners, MalformedRealRunTakesItsLongestValidLeadingPartAndIsConsumedWhole)
{
    ExpectLectures(Reel,
        { { "X1.2.3", 1.2, 6 }, { "X1-2", 1.0, 4 }, { "X-", 0.0, 2 }, { "X.", 0.0, 2 }, { "X+-5", 0.0, 4 },
            { "X-.", 0.0, 3 }, { "X..5", 0.0, 4 }, { "X5..", 5.0, 4 }, { "X-3+", -3.0, 4 } });
}

TEST(Scanners, RealTooLargeSaturatesAndTooSmallGivesZero)
{
    const std::string zeros(400, '0');
    EXPECT_EQ(Reel("X1" + zeros).valeur, ReelMax);
    EXPECT_EQ(Reel("X-1" + zeros + ".5").valeur, -ReelMax);
    EXPECT_EQ(Reel("X0." + zeros + "1").valeur, 0.0);
    EXPECT_EQ(Reel("X" + zeros + "7.25").valeur, 7.25);
}

TEST(Scanners, CommentRunsToTheFirstClosingCharacterOrTheEnd)
{
    std::string texte = "ancien";
    std::size_t p = 1;
    LireCommentaire("(ABC) X", p, texte);
    EXPECT_EQ(texte, "ABC");
    EXPECT_EQ(p, 4u);
    p = 1;
    LireCommentaire("(APPROCHE", p, texte);
    EXPECT_EQ(texte, "APPROCHE");
    EXPECT_EQ(p, 9u);
    p = 1;
    LireCommentaire("(A}B)", p, texte);
    EXPECT_EQ(texte, "A");
    p = 1;
    LireCommentaire("()", p, texte);
    EXPECT_EQ(texte, "");
    EXPECT_EQ(p, 1u);
    p = 1;
    LireCommentaire("(", p, texte);
    EXPECT_EQ(texte, "");
    EXPECT_EQ(p, 1u);
}

TEST_F(AnalyseBloc, DefaultBlockIsRapidWithEmptyMSlots)
{
    EXPECT_EQ(LigneDefaut.CodeG, decltype(LigneDefaut.CodeG) {});
    EXPECT_EQ(LigneDefaut.CodeM, SlotsM({}));
    EXPECT_FALSE(LigneDefaut.CorLongueur);
    EXPECT_EQ(LigneDefaut.Commentaire, "");
    EXPECT_EQ(FacteurUnite, 1.0);
}

TEST_F(AnalyseBloc, EmptyLineCopiesThePreviousBlockWithArcsTurnedIntoLinesAndNoMWords)
{
    const LigneProg arc = Suite({ "N7 G2 G42 G43 X10 Y0 Z-1 I5 J0 F200 S900 T3 M3 (ARC)" });
    const LigneProg vide = Suite({ "" }, arc);
    LigneProg attendu = arc;
    attendu.CodeG[0] = 1;
    attendu.CodeM = SlotsM({});
    ExpectMemeEtat(vide, attendu);
}

TEST_F(AnalyseBloc, WordsOfAFullBlockLandInTheirFields)
{
    const LigneProg r = Suite({ "N10 G1 G41 X1.5 Y-2 Z3 F250 S12000 T4 M3 (PASSE 1)" });
    EXPECT_EQ(r.NumBloc, 10);
    EXPECT_EQ(r.CodeG[0], 1);
    EXPECT_EQ(r.CorRayon, -1.0);
    EXPECT_EQ(r.X, 1.5);
    EXPECT_EQ(r.Y, -2.0);
    EXPECT_EQ(r.Z, 3.0);
    EXPECT_EQ(r.Avance, 250.0);
    EXPECT_EQ(r.VitBroche, 12000);
    EXPECT_EQ(r.NumOutil, 4);
    EXPECT_EQ(r.CodeM, SlotsM({ 3 }));
    EXPECT_EQ(r.Commentaire, "PASSE 1");
}

TEST_F(AnalyseBloc, LowerCaseReadsLikeUpperCase)
{
    ExpectMemeEtat(Suite({ "g1 x5 y-2 z1 f100 m3 s1000 t2 n10 i1 j2 k3 g43" }),
        Suite({ "G1 X5 Y-2 Z1 F100 M3 S1000 T2 N10 I1 J2 K3 G43" }));
}

TEST_F(AnalyseBloc, ASpaceEndsTheNumberOfAWord)
{
    const LigneProg avant = Suite({ "G1 X5 T5" });
    const LigneProg r = Suite({ "G 1" }, avant);
    EXPECT_EQ(r.CodeG[0], 0);
    EXPECT_EQ(r.X, 5.0);
    EXPECT_EQ(Suite({ "X 10" }, avant).X, 0.0);
    EXPECT_EQ(Suite({ "T-1" }, avant).NumOutil, 0);
}

TEST_F(AnalyseBloc, FeedIsAWholeNumberScaledByTheUnit)
{
    EXPECT_EQ(Suite({ "F150.5" }).Avance, 150.0);
    EXPECT_EQ(Suite({ "G70 F10" }).Avance, 254.0);
    EXPECT_EQ(Suite({ "G70 F7" }).Avance, 178.0); // 177.8
}

TEST_F(AnalyseBloc, ArcsAreNotModalAndKeepTheirCentre)
{
    const LigneProg r = Suite({ "G2 X10 Y0 I5 J0", "X20" });
    EXPECT_EQ(r.CodeG[0], 1);
    EXPECT_EQ(r.X, 20.0);
    EXPECT_EQ(r.I, 5.0);
    EXPECT_EQ(r.J, 0.0);
    EXPECT_EQ(Suite({ "G3 X1 Y1 I0 J1", "Y2" }).CodeG[0], 1);
    EXPECT_EQ(Suite({ "G2 X1", "G3 X2" }).CodeG[0], 3);
}

TEST_F(AnalyseBloc, DrillingCycleIsModalUntilG80)
{
    const LigneProg trou1 = Suite({ "G1 Z5", "G81 X10 Y5 Z-3 R1" });
    EXPECT_EQ(trou1.CodeG[0], 0);
    EXPECT_EQ(trou1.CodeG[1], 81);
    EXPECT_EQ(trou1.XCycle, 10.0);
    EXPECT_EQ(trou1.YCycle, 5.0);
    EXPECT_EQ(trou1.ZCycle, -3.0);
    EXPECT_EQ(trou1.Z, 5.0);
    EXPECT_EQ(trou1.R, 1.0);

    const LigneProg trou2 = Suite({ "X20" }, trou1);
    EXPECT_EQ(trou2.CodeG[1], 81);
    EXPECT_EQ(trou2.CodeG[0], 0);
    EXPECT_EQ(trou2.X, 20.0);
    EXPECT_EQ(trou2.XCycle, 20.0);
    EXPECT_EQ(trou2.YCycle, 5.0);
    EXPECT_EQ(trou2.ZCycle, -3.0);

    const LigneProg fin = Suite({ "G80" }, trou2);
    EXPECT_EQ(fin.CodeG[1], 0);
    EXPECT_EQ(fin.CodeG[0], 0);
    EXPECT_EQ(fin.XCycle, 0.0);
    EXPECT_EQ(fin.YCycle, 0.0);
    EXPECT_EQ(fin.ZCycle, 0.0);
    EXPECT_EQ(fin.R, 0.0);
    EXPECT_EQ(fin.X, 20.0);
    EXPECT_EQ(Suite({ "X30" }, fin).CodeG[0], 0);
    EXPECT_EQ(Suite({ "G1 X30" }, fin).CodeG[0], 1);
    EXPECT_EQ(Suite({ "G1 G80 X4" }).CodeG[0], 1);
}

TEST_F(AnalyseBloc, WordsBeforeG81ArePlainMoves)
{
    LigneProg avant = LigneDefaut;
    avant.XCycle = 7;
    avant.ZCycle = -7;
    avant.Z = 2;
    const LigneProg r = Suite({ "X10 Z-3 G81" }, avant);
    EXPECT_EQ(r.X, 10.0);
    EXPECT_EQ(r.Z, -3.0);
    EXPECT_EQ(r.XCycle, 7.0);
    EXPECT_EQ(r.ZCycle, -7.0);
    EXPECT_EQ(r.CodeG[1], 81);
}

TEST_F(AnalyseBloc, G0ToG3ClearTheCycleParametersButNotTheCycle)
{
    const LigneProg r = Suite({ "G83 X1 Y1 Z-5 R2 Q1 P3", "G1 X2" });
    EXPECT_EQ(r.P, 0.0);
    EXPECT_EQ(r.Q, 0.0);
    EXPECT_EQ(r.R, 0.0);
    EXPECT_EQ(r.CodeG[1], 83);
    EXPECT_EQ(r.XCycle, 2.0);
}

TEST_F(AnalyseBloc, CompensationCodes)
{
    EXPECT_EQ(Suite({ "G41" }).CorRayon, -1.0);
    EXPECT_EQ(Suite({ "G42" }).CorRayon, 1.0);
    EXPECT_EQ(Suite({ "G42", "G40" }).CorRayon, 0.0);
    EXPECT_EQ(Suite({ "G42", "X1" }).CorRayon, 1.0);
    EXPECT_TRUE(Suite({ "G43", "X1" }).CorLongueur);
    EXPECT_FALSE(Suite({ "G43", "G49" }).CorLongueur);
}

TEST_F(AnalyseBloc, OtherGCodesChangeNothing)
{
    const LigneProg avant = Suite({ "G1 G42 G43 X1 Y2 Z3 F100 M3 (A)" });
    LigneProg attendu = avant;
    attendu.CodeM = SlotsM({});
    ExpectMemeEtat(Suite({ "G4 G17 G90 G91 G54 G99 G2147483647 G99999999999" }, avant), attendu);
    EXPECT_EQ(FacteurUnite, 1.0);
}

TEST_F(AnalyseBloc, UnitFactorAppliesFromTheWordAfterTheUnitCode)
{
    EXPECT_EQ(Suite({ "G70 X1" }).X, 25.4);
    FacteurUnite = 1.0;
    const LigneProg r = Suite({ "X1 G70 Y1" });
    EXPECT_EQ(r.X, 1.0);
    EXPECT_EQ(r.Y, 25.4);
    EXPECT_EQ(FacteurUnite, 25.4);
    EXPECT_EQ(Suite({ "Z2" }).Z, 50.8); // the factor outlives the block
    EXPECT_EQ(Suite({ "G71 X1" }).X, 1.0);
    EXPECT_EQ(Suite({ "X1 G70 X1" }).X, 25.4);
}

TEST_F(AnalyseBloc, EveryLengthWordTakesTheFactor)
{
    const LigneProg r = Suite({ "G70 G2 I1 J2 K3 G81 X1 Y1 Z-1 R0.5 Q0.25 P2" });
    EXPECT_EQ(r.I, 25.4);
    EXPECT_EQ(r.J, 50.8);
    EXPECT_DOUBLE_EQ(r.K, 76.2);
    EXPECT_EQ(r.XCycle, 25.4);
    EXPECT_EQ(r.YCycle, 25.4);
    EXPECT_EQ(r.ZCycle, -25.4);
    EXPECT_EQ(r.R, 12.7);
    EXPECT_EQ(r.Q, 6.35);
    EXPECT_EQ(r.P, 50.8);
}

TEST_F(AnalyseBloc, G82DwellIsNotALengthOnceTheCycleIsOn)
{
    const LigneProg r = Suite({ "G70 P2 G82 R1", "P2" });
    EXPECT_EQ(r.P, 2.0);
    EXPECT_EQ(r.R, 25.4);
    EXPECT_EQ(Suite({ "G70 P2" }).P, 50.8);
}

TEST_F(AnalyseBloc, UnitCodesComeFromTheConfiguration)
{
    PrgPou = 20;
    PrgMet = 21;
    EXPECT_EQ(Suite({ "G70 X1" }).X, 1.0);
    EXPECT_EQ(Suite({ "G20 X1" }).X, 25.4);
    EXPECT_EQ(Suite({ "G21 X1" }).X, 1.0);
}

TEST_F(AnalyseBloc, MWordsFillTheSlotsInOrderAndAnEleventhIsIgnored)
{
    EXPECT_EQ(Suite({ "M3 M8" }).CodeM, SlotsM({ 3, 8 }));
    EXPECT_EQ(Suite({ "M3 M8", "X1" }).CodeM, SlotsM({}));
    EXPECT_EQ(
        Suite({ "M1 M2 M3 M4 M5 M6 M7 M8 M9 M10 M11 M12" }).CodeM, SlotsM({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }));
    EXPECT_EQ(Suite({ "M" }).CodeM, SlotsM({ 0 }));
    EXPECT_EQ(Suite({ std::string(100000, 'M') }).CodeM, SlotsM({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));
}

TEST_F(AnalyseBloc, CommentsOpenWithAnyOfThreeCharactersAndCarryOver)
{
    EXPECT_EQ(Suite({ "(APPROCHE" }).Commentaire, "APPROCHE");
    const LigneProg a = Suite({ "(A) X5" });
    EXPECT_EQ(a.Commentaire, "A");
    EXPECT_EQ(a.X, 5.0);
    EXPECT_EQ(Suite({ "X6" }, a).Commentaire, "A");
    EXPECT_EQ(Suite({ "X6 ; FIN" }, a).Commentaire, " FIN");
    EXPECT_EQ(Suite({ "{B} Y1" }, a).Commentaire, "B");
    EXPECT_EQ(Suite({ "()" }, a).Commentaire, "");
    const LigneProg deux = Suite({ "X1 (ETAPE 1) Y2 (ETAPE 2)" });
    EXPECT_EQ(deux.Commentaire, "ETAPE 2");
    EXPECT_EQ(deux.Y, 2.0);
}

TEST_F(AnalyseBloc, WordsInsideACommentAreNotRead)
{
    const LigneProg r = Suite({ "(G1 X99 M3) X1" });
    EXPECT_EQ(r.X, 1.0);
    EXPECT_EQ(r.CodeG[0], 0);
    EXPECT_EQ(r.CodeM, SlotsM({}));
    // A closing character ends even a semicolon comment; what follows is read.
    EXPECT_EQ(Suite({ "; A) X3" }).X, 3.0);
}

TEST_F(AnalyseBloc, DAndHWordsWarnOnceEachWhenWarningsAreOn)
{
    const LigneProg r = Suite({ "D1 X4 H2 d3" });
    EXPECT_EQ(r.X, 4.0);
    EXPECT_EQ(vue.messages, (std::vector<std::string> { TexteCodeD, TexteCodeH, TexteCodeD }));
    EXPECT_EQ(vue.messages[0], "Code D non traité, utiliser T ! ");
    EXPECT_EQ(vue.messages[1], "Code H non traité, utiliser T ! ");

    vue.messages.clear();
    MesAvert = false;
    EXPECT_EQ(Suite({ "D1 H2 X5" }).X, 5.0);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(AnalyseBloc, ArbitraryBytesAreSkipped)
{
    const std::string binaire { "X1\0Y2\xFF\xC3Z3\x80", 10 };
    const LigneProg r = Suite({ binaire });
    EXPECT_EQ(r.X, 1.0);
    EXPECT_EQ(r.Y, 2.0);
    EXPECT_EQ(r.Z, 3.0);

    const std::string commentaire { "(\0\xE9t\xFF)", 6 };
    EXPECT_EQ(Suite({ commentaire }).Commentaire, std::string("\0\xE9t\xFF", 4));
    EXPECT_EQ(Suite({ "\xE9\xE0 G1 % / O1000 A5 B6" }).CodeG[0], 1);
}

TEST_F(AnalyseBloc, HugeLinesParseToFiniteValues)
{
    const LigneProg r = Suite({ "G70 X" + std::string(99995, '9') });
    EXPECT_EQ(r.X, ReelMax);
    const LigneProg n = Suite({ "X-" + std::string(99998, '9') });
    EXPECT_EQ(n.X, -ReelMax);
    FacteurUnite = 1.0;
    EXPECT_EQ(Suite({ "F" + std::string(99999, '9') }).Avance, static_cast<double>(EntierMax));

    const std::string texte(99999, 'c');
    EXPECT_EQ(Suite({ "(" + texte }).Commentaire, texte);
}

TEST_F(AnalyseBloc, ResultMayBeThePreviousRecordItself)
{
    const LigneProg avant = Suite({ "G2 X1 Y1 I1 J0 M3 (A)" });
    LigneProg memeObjet = avant;
    AnalyseLigne("X2 (B) M5", memeObjet, memeObjet);
    ExpectMemeEtat(memeObjet, Suite({ "X2 (B) M5" }, avant));
}

TEST_F(AnalyseBloc, OnlyG90Point1AndG91Point1ReadTheirDecimals)
{
    PrgPou = 91; // a unit code may coincide with the integer G91
    const struct {
        const char* ligne;
        bool relatifAvant, relatif;
        double facteur;
    } cas[] = {
        { "G91.1", false, true, 1.0 }, { "g91.10X5", false, true, 1.0 }, { "G90.1", true, false, 1.0 },
        { "G91", false, false, 25.4 }, { "G91.2", false, false, 25.4 }, { "G91.01", false, false, 25.4 },
        { "G90.1", false, false, 1.0 }, { "G 91.1", false, false, 1.0 }, // the space makes it G0
    };
    for (const auto& c : cas) {
        FacteurUnite = 1.0;
        LigneProg depart = LigneDefaut;
        depart.CentresRelatifs = c.relatifAvant;
        const LigneProg r = Suite({ c.ligne }, depart);
        EXPECT_EQ(r.CentresRelatifs, c.relatif) << c.ligne;
        EXPECT_EQ(FacteurUnite, c.facteur) << c.ligne;
    }
    EXPECT_EQ(Suite({ "G91.1X5" }).X, 5.0);
}

TEST_F(AnalyseBloc, RadiusArcsWithAbsurdValuesStayFiniteOrAreRefused)
{
    const std::string grand(400, '9');
    const struct {
        std::string depart, arc;
        DefautBloc defaut;
    } cas[] = {
        { "G0 X0 Y0", "G2 X" + grand + " R" + grand, DefautBloc::Aucun },
        { "G0 X" + grand + " Y" + grand, "G3 X-" + grand + " Y-" + grand + " R" + grand,
            DefautBloc::ArcRayonTropCourt }, // the chord itself overflows
        { "G0 X" + grand + " Y-" + grand, "G70 G2 X" + grand + " Y0 R-" + grand, DefautBloc::Aucun },
        // A short chord along an axis: the centre's offset across it is
        // about the radius, the one along it nothing.
        { "G0 X0 Y0", "G2 X10 Y0 R-" + grand, DefautBloc::Aucun },
        { "G0 X0 Y0", "G3 X0 Y10 R" + grand, DefautBloc::Aucun },
        { "G0 X0 Y1" + std::string(293, '0'), "G2 X0 Y0 R-" + grand, DefautBloc::Aucun },
        { "G0 X0 Y0", "G2 X0.0000001 R0", DefautBloc::ArcRayonTropCourt },
        { "G0 X1 Y1", "G3 R1", DefautBloc::ArcRayonSansLongueur },
        { "G0 X0 Y0", "G3 X1 R0.0" + std::string(400, '0') + "1", DefautBloc::ArcRayonTropCourt },
    };
    for (const auto& c : cas) {
        FacteurUnite = 1.0;
        const LigneProg depart = Suite({ c.depart });
        LigneProg r;
        EXPECT_EQ(AnalyseLigne(c.arc, depart, r), c.defaut) << c.arc.substr(0, 20);
        EXPECT_TRUE(std::isfinite(r.I) && std::isfinite(r.J)) << c.arc.substr(0, 20);
        EXPECT_EQ(r.R, 0.0);
    }
}
