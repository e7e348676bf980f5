#include "foundation/nombres.h"
#include "foundation/texte.h"
#include "support/support.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

using namespace virmak;
using namespace virmak::test;

TEST(Arrondi, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(Arrondi(0.5), 0);
    EXPECT_EQ(Arrondi(1.5), 2);
    EXPECT_EQ(Arrondi(2.5), 2);
    EXPECT_EQ(Arrondi(-0.5), 0);
    EXPECT_EQ(Arrondi(-1.5), -2);
    EXPECT_EQ(Arrondi(2.4999), 2);
    EXPECT_EQ(Arrondi(259.8076), 260);
}

TEST(Arrondi, NeverLeavesTheIntegerRange)
{
    EXPECT_EQ(Arrondi(std::nan("")), 0);
    EXPECT_EQ(Arrondi(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(Arrondi(-std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Arrondi64(1e300), std::numeric_limits<int64_t>::max());
}

TEST(Format, FixedWidthRightAlignedWithAPoint)
{
    EXPECT_EQ(FormatFixe(0, 8, 3), "   0.000");
    EXPECT_EQ(FormatFixe(-12.3456, 8, 3), " -12.346");
    EXPECT_EQ(FormatFixe(-0.0001, 8, 3), "   0.000");
    EXPECT_EQ(FormatFixe(123456.5, 8, 3), "123456.500");
    EXPECT_EQ(FormatFixe(199.5, 4, 0), " 200");
    EXPECT_EQ(FormatEntier(100, 3), "100");
    EXPECT_EQ(FormatEntier(50, 4), "  50");
}

TEST(Format, FixedFormIsTheExactValueRoundedWhateverTheShortcut)
{
    // Halves that are exact in binary go to even; the others follow the
    // exact value, which may lie just below or above the half.
    const struct {
        double v;
        const char* texte;
    } cas[] = { { 0.0625, "0.062" }, { 0.1875, "0.188" }, { 2.0005, "2.001" }, { 1.0005, "1.000" },
        { -0.0004, "0.000" }, { 999999999.9995, "1000000000.000" }, { 1e15, "1000000000000000.000" } };
    for (const auto& c : cas)
        EXPECT_EQ(FormatFixe(c.v, 0, 3), c.texte) << c.v;
    // Against the standard conversion on values of every size.
    uint64_t etat = 88172645463325252ull;
    for (int i = 0; i < 200000; ++i) {
        etat ^= etat << 13;
        etat ^= etat >> 7;
        etat ^= etat << 17;
        const double v
            = (static_cast<double>(etat >> 11) / 9007199254740992.0 - 0.5) * std::pow(10.0, i % 14);
        char attendu[400];
        const auto fin = std::to_chars(attendu, attendu + sizeof attendu, v, std::chars_format::fixed, 3).ptr;
        std::string_view a(attendu, static_cast<size_t>(fin - attendu));
        if (a.find_first_not_of("-0.") == std::string_view::npos)
            a = "0.000";
        ASSERT_EQ(FormatFixe(v, 0, 3), a) << v;
    }
}

TEST(Format, GeneralFormIsShortAndUsesAPoint)
{
    EXPECT_EQ(FormatGeneral(0.0025), "0.0025");
    EXPECT_EQ(FormatGeneral(0.8), "0.8");
    EXPECT_EQ(FormatGeneral(1000), "1000");
    EXPECT_EQ(FormatGeneral(259.80762113533160), "259.807621135332");
}

TEST(LectureTexte, IntegersInDecimalOrHexadecimal)
{
    EXPECT_EQ(LireEntierTexte("42"), 42);
    EXPECT_EQ(LireEntierTexte(" -7 "), -7);
    EXPECT_EQ(LireEntierTexte("0x1F"), 31);
    EXPECT_EQ(LireEntierTexte("0X378"), 0x378);
    EXPECT_FALSE(LireEntierTexte(""));
    EXPECT_FALSE(LireEntierTexte("12a"));
    EXPECT_FALSE(LireEntierTexte("1.5"));
    EXPECT_FALSE(LireEntierTexte("--1"));
    EXPECT_FALSE(LireEntierTexte("0x"));
    EXPECT_FALSE(LireEntierTexte("99999999999"));
}

TEST(LectureTexte, RealsWithPointOrCommaButNeverNaNOrInfinity)
{
    EXPECT_DOUBLE_EQ(*LireReelTexte("0.0025"), 0.0025);
    EXPECT_DOUBLE_EQ(*LireReelTexte("0,0025"), 0.0025);
    EXPECT_DOUBLE_EQ(*LireReelTexte("+2"), 2.0);
    EXPECT_DOUBLE_EQ(*LireReelTexte("-1e-3"), -0.001);
    EXPECT_FALSE(LireReelTexte(""));
    EXPECT_FALSE(LireReelTexte("abc"));
    EXPECT_FALSE(LireReelTexte("1.2.3"));
    EXPECT_FALSE(LireReelTexte("nan"));
    EXPECT_FALSE(LireReelTexte("inf"));
    EXPECT_FALSE(LireReelTexte("1e999"));
    EXPECT_FALSE(LireReelTexte("+-1"));
}

TEST(TexteRapide, WritesThroughItsBufferWhatTheFormatsGiveOneByOne)
{
    std::string attendu, texte = "début ";
    attendu = texte;
    {
        TexteRapide t(texte);
        for (int i = 0; i < 2000; ++i) {
            const double v = i % 97 == 0 ? -1e300 / (i + 1) : (i - 1000) * 1.0005;
            t.Fixe(v, 8, 3);
            attendu += FormatFixe(v, 8, 3);
            t.Entier(i * 37 - 5000, 5);
            attendu += FormatEntier(i * 37 - 5000, 5);
            const std::string mot = i == 1000 ? std::string(5000, 'x') : " ; ";
            t.Ajouter(mot);
            attendu += mot;
        }
        EXPECT_EQ(t.Taille(), attendu.size());
    }
    EXPECT_EQ(texte, attendu);
}

TEST(Texte, LinesEndWithLfOrCrLfAndOldFilesMayBeWindows1252)
{
    const auto lignes = DecouperLignes("G0 X1\r\nG1 Y2\n(caf\xE9)\r\nfin");
    ASSERT_EQ(lignes.size(), 4u);
    EXPECT_EQ(lignes[0], "G0 X1");
    EXPECT_EQ(lignes[1], "G1 Y2");
    EXPECT_EQ(lignes[2], "(café)");
    EXPECT_EQ(lignes[3], "fin");
    EXPECT_EQ(DecouperLignes("a\r\n").size(), 1u);
    EXPECT_TRUE(DecouperLignes("").empty());
    EXPECT_EQ(DecoderLigne("\x80"), "€");
    EXPECT_EQ(DecoderLigne("déjà"), "déjà");
}

TEST(Texte, TheLineReaderGivesViewsIntoTheTextAndConvertsOnlyTheWindows1252Lines)
{
    const std::string texte = "G0 X1\r\n(caf\xE9)\r\r\n\n(café) crème\nfin\r";
    LecteurLignes lecteur(texte);
    EXPECT_EQ(lecteur.Nombre(), 5u);
    std::vector<std::string_view> vues;
    for (std::string_view ligne; lecteur.Suivante(ligne);) {
        EXPECT_EQ(ligne, DecouperLignes(texte)[vues.size()]);
        vues.push_back(ligne);
    }
    ASSERT_EQ(vues.size(), 5u);
    EXPECT_EQ(vues[0].data(), texte.data()); // not copied
    EXPECT_EQ(vues[3].data(), texte.data() + texte.find("(café)"));
    EXPECT_EQ(vues[1], "(café)\r"); // one CR is the line end, the other is text
    EXPECT_EQ(vues[2], "");
    EXPECT_EQ(vues[4], "fin");
    EXPECT_EQ(LecteurLignes("").Nombre(), 0u);
    EXPECT_EQ(LecteurLignes("\n\n").Nombre(), 2u);
}

class FichierDeLignes : public AvecConfiguration { };

TEST_F(FichierDeLignes, AFileIsReadThroughABufferAsTheWholeTextWouldBe)
{
    // Lines and CR LF across the 64 KB pieces, one line longer than a
    // piece, a Windows-1252 line, no end of line at the end.
    std::string texte;
    for (int i = 0; texte.size() < 70000; ++i)
        texte += "N" + std::to_string(i) + " G1 X" + std::to_string(i % 97) + (i % 3 ? "\r\n" : "\n");
    texte += std::string(65534 - texte.size() % 65536, 'Y') + "\r\n(caf\xE9)\n";
    texte += std::string(200000, 'Z') + "\nfin";
    EcrireTout(Fichier("long.iso"), texte);
    const std::vector<std::string> attendues = DecouperLignes(texte);
    LecteurLignes lecteur;
    ASSERT_EQ(lecteur.Ouvrir(Fichier("long.iso")), Lecture::Ok);
    EXPECT_FALSE(lecteur.ContientNul());
    EXPECT_EQ(lecteur.Nombre(), attendues.size());
    size_t n = 0;
    for (std::string_view ligne; lecteur.Suivante(ligne); ++n)
        ASSERT_EQ(ligne, attendues.at(n)) << n;
    EXPECT_EQ(n, attendues.size());
    EXPECT_EQ(lecteur.Etat(), Lecture::Ok);

    EcrireTout(Fichier("nul.iso"), std::string("G1\nX\0Y\n", 7));
    ASSERT_EQ(lecteur.Ouvrir(Fichier("nul.iso")), Lecture::Ok);
    EXPECT_TRUE(lecteur.ContientNul());
    EXPECT_EQ(lecteur.Ouvrir(Fichier("long.iso"), 1000), Lecture::TropGros);
    EXPECT_EQ(lecteur.Ouvrir(Fichier("absent.iso")), Lecture::Absent);
    EXPECT_EQ(lecteur.Ouvrir(dossier), Lecture::PasUnFichier);
    std::string_view ligne;
    EXPECT_FALSE(lecteur.Suivante(ligne));
    EcrireTout(Fichier("vide.iso"), "");
    ASSERT_EQ(lecteur.Ouvrir(Fichier("vide.iso")), Lecture::Ok);
    EXPECT_EQ(lecteur.Nombre(), 0u);
    EXPECT_FALSE(lecteur.Suivante(ligne));
}

TEST_F(FichierDeLignes, AFileWrittenInPiecesReplacesTheOldOneOnlyWhenFinished)
{
    EcrireTout(Fichier("pas.txt"), "ancien");
    {
        FichierAtomique f;
        ASSERT_TRUE(f.Ouvrir(Fichier("pas.txt")));
        EXPECT_TRUE(f.Ecrire("a\r\n"));
        EXPECT_EQ(LireTout(Fichier("pas.txt")), "ancien");
    } // not finished: nothing replaced, nothing left
    EXPECT_EQ(LireTout(Fichier("pas.txt")), "ancien");
    FichierAtomique f;
    ASSERT_TRUE(f.Ouvrir(Fichier("pas.txt")));
    EXPECT_TRUE(f.Ecrire("a\r\n"));
    EXPECT_TRUE(f.Ecrire(std::string(100000, 'b')));
    EXPECT_TRUE(f.Terminer());
    EXPECT_EQ(LireTout(Fichier("pas.txt")), "a\r\n" + std::string(100000, 'b'));
    EXPECT_FALSE(f.Terminer());
    EXPECT_FALSE(f.Ouvrir(Fichier("absent/pas.txt")));
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dossier))
        n += e.path().filename().string().starts_with("pas.txt");
    EXPECT_EQ(n, 1u);
}
