#include "apercu/cn_dessins.h"
#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "iso/correction_outils.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "pupitre/programme.h"
#include "support/support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Apercu : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        FormCreate();
    }

    void Programme(std::vector<std::string> lignes)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = false;
        ParcoursCalcule = false;
    }

    // A view fixed by hand over an empty analysed program, so pixels can
    // be checked without a fit.
    void Vue(double echelle, int32_t ox, int32_t oy)
    {
        EchelleApercu = echelle;
        OrigineApercu[0] = ox;
        OrigineApercu[1] = oy;
        ProgAnalyse = true;
        NbLignesProg = 0;
        DessinePiece();
        vue.dessins.clear();
    }

    // Blocks written straight into TabProg, as if analysed.
    static void Table(std::vector<LigneProg> blocs)
    {
        TabProg.assign(blocs.begin(), blocs.end());
        NbLignesProg = static_cast<uint16_t>(blocs.size() - 1);
        ProgAnalyse = true;
    }

    static LigneProg Bloc(int g, double x, double y, double z = 0)
    {
        LigneProg l = LigneDefaut;
        l.CodeG[0] = g;
        l.X = x;
        l.Y = y;
        l.Z = z;
        return l;
    }

    std::vector<Trace> DeCouleur(int couche, uint32_t couleur) const
    {
        std::vector<Trace> r;
        for (const Trace& t : vue.couches[couche])
            if (t.couleur == couleur)
                r.push_back(t);
        return r;
    }

    static Trace Segment(uint32_t couleur, StyleTrait style, int x1, int y1, int x2, int y2, int largeur = 1)
    {
        Trace t;
        t.couleur = couleur;
        t.style = style;
        t.largeur = largeur;
        t.x1 = x1;
        t.y1 = y1;
        t.x2 = x2;
        t.y2 = y2;
        return t;
    }
};

} // namespace

TEST_F(Apercu, MappingRoundsHalvesToEvenAndTurnsYUp)
{
    Vue(1, 100, 50);
    EXPECT_EQ(ColonneApercu(2.5), 102);
    EXPECT_EQ(ColonneApercu(3.5), 104);
    EXPECT_EQ(ColonneApercu(-2.5), 98);
    EXPECT_EQ(ColonneApercu(0.49), 100);
    EXPECT_EQ(RangApercu(1.5), 48);
    EXPECT_EQ(RangApercu(2.5), 48);
    EXPECT_EQ(RangApercu(-10), 60);
    Vue(0.5, 0, 0);
    EXPECT_EQ(ColonneApercu(5), 2); // 2.5 goes to 2
    EXPECT_EQ(ColonneApercu(7), 4); // 3.5 goes to 4
}

TEST_F(Apercu, AWideProgramFillsTheWidthAndIsCentredVertically)
{
    BoiteProg b;
    b.Max[0] = 100;
    b.Max[1] = 10;
    CadrerApercu(b); // 455 x 300: 455 / 112 < 300 / 22
    EXPECT_DOUBLE_EQ(EchelleApercu, 455.0 / 112);
    EXPECT_EQ(OrigineApercu[0], 24); // -round(-6 x 4.0625)
    EXPECT_EQ(OrigineApercu[1], 170); // round((300 - 22 x 4.0625) / 2 + 16 x 4.0625)
    // The 6 mm margins touch the left and right edges.
    EXPECT_EQ(ColonneApercu(-6), 0);
    EXPECT_EQ(ColonneApercu(106), 455);
    // Equal room above and below.
    EXPECT_NEAR(RangApercu(16) - 0, 300 - RangApercu(-6), 1);
}

TEST_F(Apercu, ATallProgramFillsTheHeightAndIsCentredHorizontally)
{
    BoiteProg b;
    b.Min[0] = -5;
    b.Max[0] = 5;
    b.Min[1] = 20;
    b.Max[1] = 120;
    CadrerApercu(b);
    const double s = 300.0 / 112;
    EXPECT_DOUBLE_EQ(EchelleApercu, s);
    EXPECT_EQ(OrigineApercu[1], 338); // round(126 x s)
    EXPECT_EQ(RangApercu(126), 0);
    EXPECT_EQ(RangApercu(14), 300);
    EXPECT_NEAR(ColonneApercu(-11) - 0, 455 - ColonneApercu(11), 1);
    EXPECT_EQ(OrigineApercu[0], 228); // -round(-11 s - (455 - 22 s) / 2)

    ZoomApercu = 2;
    CadrerApercu(b);
    EXPECT_DOUBLE_EQ(EchelleApercu, 2 * s);
}

TEST_F(Apercu, AnEmptyProgramDrawsOnlyTheAxesFittedAroundTheStartPosition)
{
    Programme({});
    DessinePiece();
    // 12 mm square around (0, 0): 300 / 12 = 25 px/mm, centred across.
    EXPECT_EQ(EchelleApercu, 25);
    EXPECT_EQ(OrigineApercu[0], 228); // -round(-150 - 77.5): the half goes to even
    EXPECT_EQ(OrigineApercu[1], 150);
    ASSERT_EQ(vue.dessins, std::vector<int> { 1 });
    const std::vector<Trace> attendu {
        Segment(CoulAxes, StyleTrait::TiretPoint, 0, 150, 455, 150),
        Segment(CoulAxes, StyleTrait::TiretPoint, 228, 0, 228, 300),
    };
    EXPECT_EQ(vue.couches[1], attendu);
}

TEST_F(Apercu, MovesAreDrawnByTheirMotionCode)
{
    Vue(2, 10, 200);
    LigneProg g0 = Bloc(0, 5, 0);
    LigneProg g1 = Bloc(1, 5, 20);
    LigneProg g4 = Bloc(4, 50, 50); // no drawing for an unknown motion
    Table({ Bloc(0, 0, 0), g0, g1, g4 });
    DessinePiece();
    const auto& c = vue.couches[1];
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[2], Segment(CoulRapide, StyleTrait::Pointille, 10, 200, 20, 200));
    EXPECT_EQ(c[3], Segment(CoulContour, StyleTrait::Plein, 20, 200, 20, 160));
}

TEST_F(Apercu, AZOnlyBlockDrawsNothingButADrillingBlockAlwaysDrawsItsHole)
{
    Programme({ "G1 Z-5 F100", "G0 Z2", "T3 G81 X10 Y0 Z-4 R1", "Z-6", "G80" });
    TabOutils[3].Jauge[0] = 4;
    TabOutils[3].CorDyn[0] = 0.5;
    DessinePiece();
    ASSERT_TRUE(ProgAnalyse);
    EXPECT_EQ(DeCouleur(1, CoulRapide).size(), 1u); // the move to the hole
    const auto contour = DeCouleur(1, CoulContour);
    ASSERT_EQ(contour.size(), 2u); // one disc for each drilling block, moving or not
    for (const Trace& t : contour) {
        EXPECT_EQ(t.genre, Trace::Genre::Disque);
        EXPECT_EQ(t.x1, ColonneApercu(10 - 2.5));
        EXPECT_EQ(t.x2, ColonneApercu(10 + 2.5));
        EXPECT_EQ(t.y1, RangApercu(2.5));
        EXPECT_EQ(t.y2, RangApercu(-2.5));
    }
    EXPECT_EQ(vue.couches[1].size(), 2u + 1u + 2u);
}

TEST_F(Apercu, ArcsRunCounterClockwiseThroughTheirBoxFromTheRightEnd)
{
    Vue(10, 100, 100);
    LigneProg g3 = Bloc(3, 0, 5);
    g3.I = 0;
    g3.J = 0;
    LigneProg g2 = Bloc(2, 5, 0);
    g2.I = 0;
    g2.J = 0;
    Table({ Bloc(0, 5, 0), g3, g2 });
    DessinePiece();
    const auto arcs = DeCouleur(1, CoulContour);
    ASSERT_EQ(arcs.size(), 2u);
    for (const Trace& t : arcs) {
        EXPECT_EQ(t.genre, Trace::Genre::Arc);
        EXPECT_EQ(std::vector<int>({ t.x1, t.y1, t.x2, t.y2 }), std::vector<int>({ 50, 50, 150, 150 }));
    }
    // G3 from its start (5, 0) to its end (0, 5).
    EXPECT_EQ(std::vector<int>({ arcs[0].xd, arcs[0].yd, arcs[0].xf, arcs[0].yf }),
        std::vector<int>({ 150, 100, 100, 50 }));
    // G2 from its end (5, 0) back to its start (0, 5).
    EXPECT_EQ(std::vector<int>({ arcs[1].xd, arcs[1].yd, arcs[1].xf, arcs[1].yf }),
        std::vector<int>({ 150, 100, 100, 50 }));
}

TEST_F(Apercu, AnArcWhoseEndsAreNeighbourPixelsIsAStraightLine)
{
    Vue(1, 100, 100);
    LigneProg voisin = Bloc(2, 1, 0); // one pixel across: squared distance 1
    voisin.I = 0.5;
    voisin.J = 30;
    LigneProg diagonal = Bloc(3, 2, 1); // one pixel diagonally: squared distance 2
    diagonal.I = 1.5;
    diagonal.J = -30;
    Table({ Bloc(0, 0, 0), voisin, diagonal });
    DessinePiece();
    const auto c = DeCouleur(1, CoulContour);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], Segment(CoulContour, StyleTrait::Plein, 100, 100, 101, 100));
    EXPECT_EQ(c[1].genre, Trace::Genre::Arc);
}

TEST_F(Apercu, AFullCircleIsDrawnAsItsTwoHalves)
{
    Programme({ "G0 X10 Y0", "G2 X10 Y0 I5 J0 F100" });
    DessinePiece();
    const auto arcs = DeCouleur(1, CoulContour);
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].genre, Trace::Genre::Arc);
    EXPECT_EQ(arcs[1].genre, Trace::Genre::Arc);
    EXPECT_EQ(arcs[0].xd, arcs[1].xf);
    EXPECT_EQ(arcs[0].xf, arcs[1].xd);
}

TEST_F(Apercu, PieceAfterZoomingAndPanningRestoresTheFit)
{
    Programme({ "G1 X40 Y10", "G1 X0 Y30" });
    DessinePiece();
    const double echelle = EchelleApercu;
    const int32_t o[2] = { OrigineApercu[0], OrigineApercu[1] };
    BitBtnZoomPlusClick();
    BitBtnZoomPlusClick();
    EXPECT_DOUBLE_EQ(EchelleApercu, echelle * 1.1 * 1.1);
    EXPECT_DOUBLE_EQ(ZoomApercu, 1.1 * 1.1);
    // The buttons scale about the program origin.
    EXPECT_EQ(OrigineApercu[0], o[0]);
    EXPECT_EQ(OrigineApercu[1], o[1]);
    BitBtnDEcXPlusClick();
    BitBtnDecYPlusClick();
    EXPECT_EQ(OrigineApercu[0], o[0] + 10);
    EXPECT_EQ(OrigineApercu[1], o[1] - 10);
    BitBtnDecXMoinsClick();
    BitBtnDecYMoinsClick();
    BitBtnDecYMoinsClick();
    EXPECT_EQ(OrigineApercu[1], o[1] + 10);
    ParcoursCalcule = true;
    BitBtnPieceClick();
    EXPECT_FALSE(ParcoursCalcule);
    EXPECT_EQ(ZoomApercu, 1.0);
    EXPECT_DOUBLE_EQ(EchelleApercu, echelle);
    EXPECT_EQ(OrigineApercu[0], o[0]);
    EXPECT_EQ(OrigineApercu[1], o[1]);
    EXPECT_EQ(vue.dessins.back(), 1);
}

TEST_F(Apercu, ZoomOrPanRedrawsThePathOnlyOnceOutilHasDrawnIt)
{
    Programme({ "G0 X5 Y5", "G1 X20 F100", "G1 Y20" });
    DessinePiece();
    vue.dessins.clear();
    BitBtnZoomPlusClick();
    BitBtnDecXMoinsClick();
    ImageProgMouseDown(10, 10);
    ImageProgMouseMove(20, 20, true, false);
    EXPECT_EQ(vue.dessins, (std::vector<int> { 1, 1, 1 }));

    vue.dessins.clear();
    BitBtnParcoursOutilClick();
    EXPECT_TRUE(ParcoursCalcule);
    EXPECT_EQ(vue.dessins, std::vector<int> { 2 });
    EXPECT_FALSE(DeCouleur(2, CoulOutil).empty());
    vue.dessins.clear();
    BitBtnZoomMoinsClick();
    BitBtnDecYPlusClick();
    ImageProgMouseMove(25, 20, false, true);
    EXPECT_EQ(vue.dessins, (std::vector<int> { 1, 2, 1, 2, 1, 2 }));
}

TEST_F(Apercu, OutilAfterAnEditAnalysesTheNewListFirst)
{
    Programme({ "G1 X10 F100" });
    DessinePiece();
    Programme({ "G1 X10 F100", "G1 Y10" });
    vue.dessins.clear();
    BitBtnParcoursOutilClick();
    EXPECT_TRUE(ProgAnalyse);
    EXPECT_EQ(NbLignesProg, 2);
    EXPECT_EQ(vue.dessins, (std::vector<int> { 1, 2 }));
}

TEST_F(Apercu, TheToolPathIsAsWideAsTheToolWhenOTIsTicked)
{
    Vue(4, 0, 100);
    TabOutils[2].Jauge[0] = 3;
    TabOutils[2].CorDyn[0] = 0.1;
    LigneProg rapide = Bloc(0, 10, 0);
    rapide.NumOutil = 2;
    LigneProg coupe = Bloc(1, 10, 10);
    coupe.NumOutil = 2;
    TabProgCorr.assign({ Bloc(0, 0, 0), rapide, coupe });
    NbLignesCorr = 2;
    DessineParcours();
    ASSERT_EQ(vue.couches[2].size(), 2u);
    EXPECT_EQ(vue.couches[2][1].largeur, 1);
    Form1.CheckBoxOT.Cochee = true;
    DessineParcours();
    EXPECT_EQ(vue.couches[2][0].largeur, 1); // rapids stay thin
    EXPECT_EQ(vue.couches[2][1].largeur, 12); // 2 x 4 px/mm x 1.6 mm: 12.8
    EXPECT_EQ(vue.couches[2][1].couleur, CoulOutil);
    // A tool far wider than the image gives a pen no wider than it needs.
    Vue(1e9, 0, 100);
    DessineParcours();
    for (const Trace& t : vue.couches[2])
        EXPECT_LE(t.largeur, Form1.LargeurImage + Form1.HauteurImage);
}

TEST_F(Apercu, TheToolMarkerIsADiscOnTheTopLayer)
{
    Vue(2, 50, 60);
    DessineOutil(CoulOutil, 10, 5, 1.5);
    ASSERT_EQ(vue.dessins, std::vector<int> { 3 });
    ASSERT_EQ(vue.couches[3].size(), 1u);
    const Trace& t = vue.couches[3][0];
    EXPECT_EQ(t.genre, Trace::Genre::Disque);
    EXPECT_EQ(t.couleur, CoulOutil);
    EXPECT_EQ(std::vector<int>({ t.x1, t.y1, t.x2, t.y2 }), std::vector<int>({ 67, 47, 73, 53 }));
    // Out of view: nothing to draw, the layer still shows.
    DessineOutil(CoulOutil, 1000, 5, 1.5);
    EXPECT_TRUE(vue.couches[3].empty());
    EXPECT_EQ(vue.dessins.size(), 2u);
}

TEST_F(Apercu, RightDragZoomsAboutThePreviousMousePosition)
{
    Vue(2, 100, 200);
    ImageProgMouseDown(300, 150);
    const double x = (300 - 100) / 2.0, y = (200 - 150) / 2.0; // the program point under the mouse
    ImageProgMouseMove(310, 130, false, true); // 20 px up: 1.1 times
    EXPECT_DOUBLE_EQ(EchelleApercu, 2.2);
    EXPECT_DOUBLE_EQ(ZoomApercu, 1.1);
    EXPECT_NEAR(ColonneApercu(x), 300, 1);
    EXPECT_NEAR(RangApercu(y), 150, 1);
    EXPECT_EQ(SourisPrec[0], 310);
    EXPECT_EQ(SourisPrec[1], 130);
}

TEST_F(Apercu, OneFastRightDragZoomsAtMostTenTimesEitherWay)
{
    // Far more than 200 px between two mouse events, down then up.
    const struct {
        int32_t y;
        double zoom;
    } cas[] = { { 5000, 0.1 }, { -5000, 10 }, { 150 + 400, 0.1 } };
    for (const auto& c : cas) {
        ZoomApercu = 1;
        Vue(2, 100, 200);
        ImageProgMouseDown(300, 150);
        ImageProgMouseMove(300, c.y, false, true);
        EXPECT_DOUBLE_EQ(ZoomApercu, c.zoom) << c.y;
        EXPECT_DOUBLE_EQ(EchelleApercu, 2 * c.zoom) << c.y;
    }
}

TEST_F(Apercu, BothButtonsPanFirstThenZoomAboutTheOldPosition)
{
    Vue(1, 0, 0);
    ImageProgMouseDown(100, 100);
    ImageProgMouseMove(110, 80, true, true); // pan (10, -20), then zoom 1.1 about (100, 100)
    EXPECT_DOUBLE_EQ(EchelleApercu, 1.1);
    EXPECT_EQ(OrigineApercu[0], 10 + Arrondi(10 * 0.1 - 0.1 * 100));
    EXPECT_EQ(OrigineApercu[1], -20 - Arrondi(-0.1 * -20 + 0.1 * 100));
}

TEST_F(Apercu, AMouseMoveWithoutButtonsOnlyFollowsTheMouse)
{
    Vue(1, 7, 8);
    ImageProgMouseMove(40, 50, false, false);
    EXPECT_TRUE(vue.dessins.empty());
    EXPECT_EQ(OrigineApercu[0], 7);
    EXPECT_EQ(SourisPrec[0], 40);
    EXPECT_EQ(SourisPrec[1], 50);
}

TEST_F(Apercu, BeforeAnyDrawingTheViewControlsOnlyKeepTheirSettings)
{
    BitBtnZoomPlusClick();
    BitBtnDEcXPlusClick();
    ImageProgMouseDown(0, 0);
    ImageProgMouseMove(10, 10, true, true);
    ImageProgResize(500, 350);
    EXPECT_TRUE(vue.dessins.empty());
    EXPECT_TRUE(vue.messages.empty());
    EXPECT_FALSE(ProgAnalyse);
    EXPECT_DOUBLE_EQ(ZoomApercu, 1.1 * 0.95);
}

TEST_F(Apercu, LoadingAProgramDrawsItsPart)
{
    const std::string chemin = Fichier("piece.iso");
    EcrireTout(chemin, "G1 X10 Y10 F100\r\nG1 X20\r\n");
    ZoomApercu = 3;
    ASSERT_TRUE(ChargerProgramme(chemin));
    EXPECT_EQ(vue.dessins, std::vector<int> { 1 });
    EXPECT_EQ(DeCouleur(1, CoulContour).size(), 2u);
    EXPECT_EQ(ZoomApercu, 1.0);
    EXPECT_EQ(LimitesProg.Max[0], 20);
    EXPECT_EQ(LimitesProg.Max[1], 10);
}

TEST_F(Apercu, ARefusedProgramDrawsOnlyTheAxesAndIsNotAnalysedAgainByTheView)
{
    EcrireTout(Fichier("CncParam.Ini"), "[GCODES]\r\nMaxLProg=3\r\n");
    FormCreate();
    vue.messages.clear();
    Programme({ "G1 X10 F100", "G1 Y10", "G1 X0", "G1 Y0" });
    PosMm[0] = 2;
    DessinePiece();
    EXPECT_FALSE(ProgAnalyse);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.couches[1].size(), 2u);
    EXPECT_EQ(LimitesProg.Min[0], 2);
    EXPECT_EQ(LimitesProg.Max[0], 2);
    BitBtnZoomPlusClick();
    ImageProgMouseDown(0, 0);
    ImageProgMouseMove(5, 5, true, false);
    ImageProgResize(600, 400);
    EXPECT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.couches[1].size(), 2u);
    // Once the list is edited the view tries again.
    Form1.ListBoxProg1.Lignes = { "G1 X10 F100", "G1 Y10" };
    BitBtnZoomPlusClick();
    EXPECT_TRUE(ProgAnalyse);
    EXPECT_EQ(DeCouleur(1, CoulContour).size(), 2u);
}

TEST_F(Apercu, AResizeRedrawsAtTheSameScaleUnlessTheListChanged)
{
    ImageProgResize(600, 400);
    EXPECT_TRUE(vue.dessins.empty()); // nothing drawn yet
    EXPECT_EQ(Form1.LargeurImage, 600);
    Programme({ "G1 X10 Y10 F100" });
    DessinePiece();
    BitBtnParcoursOutilClick();
    const double echelle = EchelleApercu;
    vue.dessins.clear();
    ImageProgResize(800, 500);
    EXPECT_EQ(vue.dessins, (std::vector<int> { 1, 2 }));
    EXPECT_EQ(EchelleApercu, echelle);
    EXPECT_EQ(vue.couches[1][0].x2, 800); // the horizontal axis spans the new width
    Programme({ "G1 X10 Y10 F100" });
    ImageProgResize(400, 500);
    EXPECT_DOUBLE_EQ(EchelleApercu, 400.0 / 22);
    ImageProgResize(0, -5);
    EXPECT_EQ(Form1.LargeurImage, 1);
    EXPECT_EQ(Form1.HauteurImage, 1);
}

TEST_F(Apercu, AResizeShowsAgainThePathARunDrewUnlessThePartAloneWasDrawnSince)
{
    Programme({ "G1 X10 Y10 F100" });
    DessinePiece();
    ASSERT_TRUE(CorrectionOutils());
    DessineParcours(); // as a run does, without the "Outil" button
    vue.dessins.clear();
    ImageProgResize(800, 500);
    EXPECT_EQ(vue.dessins, (std::vector<int> { 1, 2 }));
    DessinePiece();
    vue.dessins.clear();
    ImageProgResize(600, 400);
    EXPECT_EQ(vue.dessins, std::vector<int> { 1 });
}

TEST_F(Apercu, FarCoordinatesAndHugeZoomsStayInsideTheImageMargins)
{
    Programme({ "G1 X1000000000 Y-1000000000 F100", "G2 X-1000000000 Y-1000000000 I0 J0", "G0 X3 Y4",
        "G3 X3 Y-4 I0 J0", "G81 X1 Y1 Z-1 R1", "G80", "G1 X1" + std::string(300, '0') });
    TabOutils[0].Jauge[0] = 6;
    DessinePiece();
    ASSERT_TRUE(ProgAnalyse);
    auto dansLesMarges = [](const std::vector<Trace>& traces) {
        const int m = 2 * (Form1.LargeurImage + Form1.HauteurImage) + 16;
        for (const Trace& t : traces)
            for (int v : { t.x1, t.y1, t.x2, t.y2, t.xd, t.yd, t.xf, t.yf })
                if (v < -m || v > Form1.LargeurImage + m)
                    return false;
        return true;
    };
    EXPECT_TRUE(dansLesMarges(vue.couches[1]));
    // Zoom right into the hole, then far beyond any sensible scale.
    EchelleApercu = 1e6;
    OrigineApercu[0] = Form1.LargeurImage / 2 - 1000000;
    OrigineApercu[1] = Form1.HauteurImage / 2 + 1000000;
    DessinePiece();
    EXPECT_TRUE(dansLesMarges(vue.couches[1]));
    EXPECT_FALSE(DeCouleur(1, CoulContour).empty()); // inside the disc: rows of lime
    for (int i = 0; i < 400; ++i)
        BitBtnZoomPlusClick();
    EXPECT_LE(EchelleApercu, 1e12);
    EXPECT_TRUE(dansLesMarges(vue.couches[1]));
    for (int i = 0; i < 800; ++i)
        BitBtnZoomMoinsClick();
    EXPECT_GE(EchelleApercu, 1e-12);
    for (int i = 0; i < 300; ++i)
        ImageProgMouseMove(0, (i % 2) ? -100000 : 100000, true, true);
    EXPECT_TRUE(dansLesMarges(vue.couches[1]));
    EXPECT_TRUE(EchelleApercu > 0);
}

TEST_F(Apercu, AHugeArcCrossingTheImageIsDrawnAsChordsAlongItsCircle)
{
    // Radius 10 m at 10 px/mm: the arc's box is a hundred thousand pixels wide.
    Vue(10, 200, 150);
    LigneProg arc = Bloc(3, 0, 0);
    arc.I = 10000;
    arc.J = 0;
    LigneProg depart = Bloc(0, 10000 * (1 - std::cos(0.01)), 10000 * std::sin(0.01));
    Table({ depart, arc });
    DessinePiece();
    const auto cordes = DeCouleur(1, CoulContour);
    ASSERT_FALSE(cordes.empty());
    for (const Trace& t : cordes) {
        EXPECT_EQ(t.genre, Trace::Genre::Ligne);
        // Every chord end lies on the circle, within a pixel.
        for (auto [x, y] : { std::pair { t.x1, t.y1 }, std::pair { t.x2, t.y2 } }) {
            const double dx = (x - 200) / 10.0 - 10000, dy = (150 - y) / 10.0;
            EXPECT_NEAR(std::hypot(dx, dy), 10000, 0.15);
        }
    }
}
