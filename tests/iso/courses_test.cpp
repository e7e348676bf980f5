#include "iso/courses.h"

#include "foundation/cn_varia.h"
#include "iso/cn_outils.h"
#include "iso/correction_outils.h"
#include "support/programme.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Courses : public AvecProgramme {
protected:
    std::string Controle(std::vector<std::string> lignes, double x, double y, double z)
    {
        const double c[3] = { x, y, z };
        for (int i = 0; i < 3; ++i)
            IniParam.EcrireReel("AXES", CleIndexee("Course", i), c[i]);
        Lignes(std::move(lignes));
        EXPECT_TRUE(Analyser());
        EXPECT_TRUE(CorrectionOutils());
        return ControleCourses();
    }
};

struct Cas {
    const char* quoi;
    std::vector<std::string> lignes;
    double course[3];
    const char* refus; // the start of the reason, empty: the job fits
};

const Cas Table[] = {
    { "a clockwise arc's top passes while its ends stay in", { "G2 X20 Y0 I10 J0 F100" }, { 30, 9, 10 },
        "en Y côté positif, le centre de l'outil va à 10.000 mm, 1.000 mm" },
    { "the counter-clockwise arc goes the other way", { "G3 X20 Y0 I10 J0 F100" }, { 30, 9, 10 },
        "en Y côté négatif, le centre de l'outil va à -10.000 mm, 1.000 mm" },
    { "an arc on the travel's edge fits", { "G2 X20 Y0 I10 J0 F100" }, { 20, 10, 10 }, "" },
    { "a quarter to the right of two ends on the Y axis", { "G3 X0 Y20 I0 J10 F100" }, { 9.5, 30, 10 },
        "en X côté positif, le centre de l'outil va à 10.000 mm, 0.500 mm" },
    { "a full circle by both halves", { "G2 X0 Y0 I-10 J0 F100" }, { 19.9, 10, 10 }, "en X côté négatif" },
    { "the hole's bottom, below its plane and clearance", { "G0 Z1", "G81 X5 Z-3 R-1 F100" }, { 10, 10, 2.5 },
        "en Z côté négatif, le centre de l'outil va à -3.000 mm, 0.500 mm" },
    { "a straight move out in X", { "G1 X-40 F100" }, { 30, 0, 0 }, "en X côté négatif" },
    { "unknown travel checks nothing", { "G1 X1000 Y-1000 Z500 F100" }, { 0, 0, 0 }, "" },
};

} // namespace

TEST_F(Courses, TheToolCentrePathIsJudgedByItsTrueExtremesAgainstTheTravel)
{
    for (const Cas& c : Table) {
        const std::string refus = Controle(c.lignes, c.course[0], c.course[1], c.course[2]);
        if (*c.refus == 0)
            EXPECT_EQ(refus, "") << c.quoi;
        else
            EXPECT_NE(refus.find(c.refus), std::string::npos) << c.quoi << ": " << refus;
    }
}

TEST_F(Courses, TheCompensatedPathIsCheckedAndTheTooltipGivesItsExtents)
{
    IniOutil.EcrireReel("OUTIL(1)", "Jauge(0)", 4);
    ChargerOutils();
    // The part's contour stays at Y 0; the tool centre runs 2 mm below it.
    const std::vector<std::string> contour = { "T1 G0 X-10 Y0", "G42 G1 X0 Y0 F100", "X20", "G40 G1 X30" };
    EXPECT_NE(
        Controle(contour, 50, 1.5, 10).find("en Y côté négatif, le centre de l'outil va à -2.000 mm, 0.500"),
        std::string::npos);
    EXPECT_EQ(Controle({ "G2 X20 Y0 I10 J0 F100" }, 0, 0, 0), "");
    EXPECT_EQ(Form1.GroupBox5.Conseil,
        "Parcours du centre de l'outil :\nX de 0.000 à 20.000 mm,\nY de 0.000 à 10.000 mm,\nZ de 0.000 à "
        "0.000 mm");
}
