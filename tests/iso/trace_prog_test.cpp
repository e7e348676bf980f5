#include "iso/trace_prog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace virmak;

namespace {

LigneProg Exemple()
{
    LigneProg l;
    l.IndexLigne = 3;
    l.CodeG[0] = 1;
    l.X = 10;
    l.Y = 5;
    l.Z = -1;
    l.NumSegment = 2;
    return l;
}

} // namespace

TEST(LigneTrace, LigneExempleAuCaracterePres)
{
    const std::string attendu = "L  3  G 1  X  10.000  Y   5.000  Z  -1.000  I   0.000  J   0.000  K   0.000"
                                " > ENT=  2 COR=   0.000 Cycle  G 0 EX   0.000 EY   0.000 EZ   0.000"
                                "  P   0.000  Q   0.000  R   0.000";
    EXPECT_EQ(LigneTrace(Exemple()), attendu);
    EXPECT_EQ(attendu.size(), 175u);
}

TEST(LigneTrace, ChaqueChampASaPlaceEtLesGrandesValeursElargissent)
{
    LigneProg l = Exemple();
    l.IndexLigne = 1234;
    l.CodeG = { 3, 83 };
    l.I = 1.0005; // halves to even at the third decimal
    l.J = -0.0001;
    l.K = 2;
    l.NumSegment = 65535;
    l.CorRayon = -3.1;
    l.XCycle = 4;
    l.YCycle = 5;
    l.ZCycle = -6;
    l.P = 0.5;
    l.Q = 7;
    l.R = 123456.789;
    EXPECT_EQ(LigneTrace(l),
        "L1234  G 3  X  10.000  Y   5.000  Z  -1.000  I   1.000  J   0.000  K   2.000"
        " > ENT=65535 COR=  -3.100 Cycle  G83 EX   4.000 EY   5.000 EZ  -6.000"
        "  P   0.500  Q   7.000  R123456.789");
}

TEST(TexteTrace, EnregistrementsUnANAvecCRLF)
{
    std::vector<LigneProg> table(4, Exemple());
    table[0].IndexLigne = 99; // the start record is not traced
    table[2].IndexLigne = 7;
    const std::string texte = TexteTrace(table, 2);
    const std::string l1 = LigneTrace(table[1]), l2 = LigneTrace(table[2]);
    EXPECT_EQ(texte, l1 + "\r\n" + l2 + "\r\n");
    EXPECT_EQ(TexteTrace(table, 0), "");
    EXPECT_EQ(TexteTrace(table, 50).size(), 3 * (175u + 2));
    EXPECT_EQ(TexteTrace({}, 5), "");
}
