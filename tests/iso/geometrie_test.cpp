#include "iso/geometrie.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

using namespace virmak;

namespace {

constexpr double Pi = std::numbers::pi;

ElementGeo Droite(double x1, double y1, double x2, double y2)
{
    return { NatureDroite, { x1, y1 }, { x2, y2 }, {} };
}

ElementGeo Arc(uint8_t nature, PointXY debut, PointXY fin, PointXY centre)
{
    return { nature, debut, fin, centre };
}

void AttendrePoint(PointXY p, double x, double y)
{
    EXPECT_NEAR(p.X, x, 1e-9);
    EXPECT_NEAR(p.Y, y, 1e-9);
}

bool Fini(PointXY p)
{
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

} // namespace

TEST(AngleVecteur, QuadrantsEtAxes)
{
    EXPECT_EQ(AngleVecteur({ 1, 0 }), 0);
    EXPECT_DOUBLE_EQ(AngleVecteur({ -1, 0 }), Pi);
    EXPECT_DOUBLE_EQ(AngleVecteur({ 1, -1 }), 7 * Pi / 4);
    EXPECT_DOUBLE_EQ(AngleVecteur({ 0, 2 }), Pi / 2);
    EXPECT_DOUBLE_EQ(AngleVecteur({ 0, -2 }), 3 * Pi / 2);
    EXPECT_DOUBLE_EQ(AngleVecteur({ -1, 1 }), 3 * Pi / 4);
    EXPECT_DOUBLE_EQ(AngleVecteur({ -1, -1 }), 5 * Pi / 4);
    EXPECT_DOUBLE_EQ(AngleVecteur({ 1, 1 }), Pi / 4);
}

TEST(AngleVecteur, VecteurNulEtCasLimitesRestentDansLIntervalle)
{
    EXPECT_EQ(AngleVecteur({ 0, 0 }), 0);
    // 2*pi - 1e-20 rounds to 2*pi, which is outside [0, 2*pi).
    EXPECT_EQ(AngleVecteur({ 1, -1e-20 }), 0);
    const double max = std::numeric_limits<double>::max();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_DOUBLE_EQ(AngleVecteur({ inf, -inf }), 7 * Pi / 4);
    EXPECT_DOUBLE_EQ(AngleVecteur({ -max, 1e-300 }), Pi);
    EXPECT_DOUBLE_EQ(AngleVecteur({ 1e-300, max }), Pi / 2);
}

TEST(VecteurUnitaire, LongueurUnEtVecteurNulInchange)
{
    AttendrePoint(VecteurUnitaire({ 3, -4 }), 0.6, -0.8);
    AttendrePoint(VecteurUnitaire({ 0, 0 }), 0, 0);
    const double max = std::numeric_limits<double>::max();
    AttendrePoint(VecteurUnitaire({ max, max }), std::sqrt(0.5), std::sqrt(0.5));
    AttendrePoint(VecteurUnitaire({ 4e-320, 0 }), 1, 0);
    EXPECT_DOUBLE_EQ(Distance({ 1, 1 }, { 4, 5 }), 5);
}

TEST(PointSurSegment, BoiteVerticaleEtEcartMesureEnY)
{
    const ElementGeo s = Droite(0, 0, 10, 5);
    EXPECT_TRUE(PointSurSegment(s, { 4, 2 }, 1e-6));
    EXPECT_TRUE(PointSurSegment(s, { 4, 2 + 5e-7 }, 1e-6));
    EXPECT_FALSE(PointSurSegment(s, { 4, 2 + 5e-6 }, 1e-6));
    EXPECT_FALSE(PointSurSegment(s, { 12, 6 }, 1e-6)); // on the line, past the end
    EXPECT_TRUE(PointSurSegment(s, { 10 + 5e-7, 5 }, 1e-6));

    // Steep: 1e-5 away at right angles is 1e-3 away along Y.
    const ElementGeo raide = Droite(0, 0, 1, 100);
    EXPECT_FALSE(PointSurSegment(raide, { 0.5 + 1e-5, 50 }, 1e-4));

    const ElementGeo vertical = Droite(3, 0, 3 + 1e-7, 10);
    EXPECT_TRUE(PointSurSegment(vertical, { 3 + 9e-7, 7 }, 1e-6));
    EXPECT_FALSE(PointSurSegment(vertical, { 3 + 2e-6, 7 }, 1e-6));
    EXPECT_FALSE(PointSurSegment(vertical, { 3, 11 }, 1e-6));
}

TEST(PointSurArc, ArcPassantParZeroEtCercleComplet)
{
    // Counter-clockwise from 3*pi/2 to pi/2, through angle 0.
    const ElementGeo arc = Arc(NatureArcTrigo, { 0, -5 }, { 0, 5 }, { 0, 0 });
    EXPECT_TRUE(PointSurArc(arc, { 5, 0 }, 1e-6));
    EXPECT_FALSE(PointSurArc(arc, { -5, 0 }, 1e-6));
    EXPECT_TRUE(PointSurArc(arc, { 0, 5 }, 1e-6));
    EXPECT_FALSE(PointSurArc(arc, { 5.1, 0 }, 1e-6));

    const ElementGeo quart = Arc(NatureArcTrigo, { 5, 0 }, { 0, 5 }, { 0, 0 });
    EXPECT_TRUE(PointSurArc(quart, { 5 * std::cos(Pi / 4), 5 * std::sin(Pi / 4) }, 1e-6));
    EXPECT_FALSE(PointSurArc(quart, { 5 * std::cos(3 * Pi / 4), 5 * std::sin(3 * Pi / 4) }, 1e-6));

    const ElementGeo cercle = Arc(NatureArcTrigo, { 5, 0 }, { 5, 0 }, { 0, 0 });
    EXPECT_TRUE(PointSurArc(cercle, { -5, 0 }, 1e-6));
    EXPECT_TRUE(PointSurArc(cercle, { 0, -5 }, 1e-6));
}

TEST(InterDroites, CroisementHorsSegmentsParallelesEtConfondues)
{
    Intersection r = InterDroites(Droite(0, 0, 10, 10), Droite(0, 10, 10, 0));
    EXPECT_EQ(r.NbPoints, 1);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 5, 5);
    AttendrePoint(r.P2, 5, 5);

    r = InterDroites(Droite(0, 0, 1, 1), Droite(0, 10, 10, 0));
    EXPECT_EQ(r.NbPoints, 1);
    EXPECT_EQ(r.NbValides, 0);
    AttendrePoint(r.P1, 5, 5);

    r = InterDroites(Droite(0, 0, 10, 0), Droite(0, 3, 10, 3));
    EXPECT_EQ(r.NbPoints, 0);
    EXPECT_EQ(r.NbValides, 0);
    AttendrePoint(r.P1, 0, 0);

    r = InterDroites(Droite(0, 0, 10, 0), Droite(10, 0, 20, 0));
    EXPECT_EQ(r.NbPoints, 2);
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, 10, 0);

    r = InterDroites(Droite(2, 0, 2, 5), Droite(2, 9, 2, 20));
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, 2, 5);
    EXPECT_EQ(InterDroites(Droite(2, 0, 2, 5), Droite(3, 0, 3, 5)).NbPoints, 0);
}

TEST(InterDroites, VerticalesEtBornesExactes)
{
    // L1 vertical: the Y range of L1 and the X range of L2 decide.
    Intersection r = InterDroites(Droite(4, 0, 4, 10), Droite(0, 2, 8, 6));
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 4, 4);
    r = InterDroites(Droite(0, 2, 8, 6), Droite(4, 5, 4, 10));
    EXPECT_EQ(r.NbPoints, 1);
    EXPECT_EQ(r.NbValides, 0);
    AttendrePoint(r.P1, 4, 4);

    // An end point exactly on the other line is valid; a hair beyond is not.
    EXPECT_EQ(InterDroites(Droite(0, 0, 4, 0), Droite(4, -1, 4, 1)).NbValides, 1);
    EXPECT_EQ(InterDroites(Droite(0, 0, 4, 0), Droite(4 + 1e-12, -1, 4 + 1e-12, 1)).NbValides, 0);
}

TEST(InterDroiteCercle, DeuxPointsTangenteEtAucun)
{
    const ElementGeo cercle = Arc(NatureArcTrigo, { 5, 0 }, { 5, 0 }, { 0, 0 });
    Intersection r = InterDroiteCercle(Droite(-10, 0, 10, 0), cercle);
    EXPECT_EQ(r.NbPoints, 2);
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, -5, 0); // the root with -sqrt comes first
    AttendrePoint(r.P2, 5, 0);

    r = InterDroiteCercle(Droite(3, -10, 3, 10), cercle);
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, 3, -4);
    AttendrePoint(r.P2, 3, 4);

    r = InterDroiteCercle(Droite(-10, 5, 10, 5), cercle);
    EXPECT_EQ(r.NbPoints, 1);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 0, 5);

    r = InterDroiteCercle(Droite(-10, 6, 10, 6), cercle);
    EXPECT_EQ(r.NbPoints, 0);
    EXPECT_EQ(r.NbValides, 0);
    AttendrePoint(r.P1, 0, 0);
    AttendrePoint(r.P2, 0, 0);
}

TEST(InterDroiteCercle, LePointValideVientEnP1)
{
    const ElementGeo cercle = Arc(NatureArcTrigo, { 5, 0 }, { 5, 0 }, { 0, 0 });
    Intersection r = InterDroiteCercle(Droite(0, 0, 10, 0), cercle);
    EXPECT_EQ(r.NbPoints, 2);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 5, 0);
    AttendrePoint(r.P2, -5, 0);

    // The upper half circle keeps only (0, 5) of the vertical x = 0.
    const ElementGeo demi = Arc(NatureArcTrigo, { 5, 0 }, { -5, 0 }, { 0, 0 });
    r = InterDroiteCercle(Droite(0, -10, 0, 10), demi);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 0, 5);
}

TEST(InterCercles, ConcentriquesRadicaleEtArcs)
{
    const ElementGeo c1 = Arc(NatureArcTrigo, { 5, 0 }, { 5, 0 }, { 0, 0 });
    Intersection r = InterCercles(c1, Arc(NatureArcTrigo, { 0, 5 }, { 0, -5 }, { 0, 0 }));
    EXPECT_EQ(r.NbPoints, 3);
    EXPECT_EQ(r.NbValides, 3);
    r = InterCercles(c1, Arc(NatureArcTrigo, { 4, 0 }, { 4, 0 }, { 0, 0 }));
    EXPECT_EQ(r.NbPoints, 0);

    // Centres level: x from the radical line, y from the first circle.
    const ElementGeo c2 = Arc(NatureArcTrigo, { 13, 0 }, { 13, 0 }, { 8, 0 });
    r = InterCercles(c1, c2);
    EXPECT_EQ(r.NbPoints, 2);
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, 4, -3);
    AttendrePoint(r.P2, 4, 3);

    // Only the upper crossing is on the upper half of the first circle.
    r = InterCercles(Arc(NatureArcTrigo, { 5, 0 }, { -5, 0 }, { 0, 0 }), c2);
    EXPECT_EQ(r.NbPoints, 2);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 4, 3);

    // Centres at different heights.
    r = InterCercles(c1, Arc(NatureArcTrigo, { 5, 6 }, { 5, 6 }, { 0, 6 }));
    EXPECT_EQ(r.NbValides, 2);
    AttendrePoint(r.P1, -4, 3);
    AttendrePoint(r.P2, 4, 3);

    r = InterCercles(c1, Arc(NatureArcTrigo, { 21, 0 }, { 21, 0 }, { 20, 0 }));
    EXPECT_EQ(r.NbPoints, 0);
}

TEST(Decalages, DroitesEtArcs)
{
    ElementGeo e = DecaleDroite(Droite(0, 0, 10, 0), 3);
    AttendrePoint(e.Debut, 0, -3); // right of +X is -Y
    AttendrePoint(e.Fin, 10, -3);
    e = DecaleElement(Droite(0, 0, 0, 10), -3);
    AttendrePoint(e.Debut, -3, 0);
    AttendrePoint(e.Fin, -3, 10);
    e = DecaleDroite(Droite(2, 2, 2, 2), 3);
    AttendrePoint(e.Debut, 2, 2);

    const ElementGeo trigo = Arc(NatureArcTrigo, { 5, 0 }, { 0, 5 }, { 0, 0 });
    e = DecaleArc(trigo, 2);
    AttendrePoint(e.Debut, 7, 0);
    AttendrePoint(e.Fin, 0, 7);
    AttendrePoint(e.Centre, 0, 0);
    // Right of a counter-clockwise arc is outside, of a clockwise one inside.
    e = DecaleElement(trigo, 2);
    AttendrePoint(e.Fin, 0, 7);
    const ElementGeo horaire = Arc(NatureArcHoraire, { 0, 5 }, { 5, 0 }, { 0, 0 });
    e = DecaleElement(horaire, 2);
    AttendrePoint(e.Debut, 0, 3);
    AttendrePoint(e.Fin, 3, 0);
    EXPECT_EQ(e.Nature, NatureArcHoraire);

    const ElementGeo rayonNul = Arc(NatureArcTrigo, { 1, 1 }, { 1, 1 }, { 1, 1 });
    e = DecaleElement(rayonNul, 3);
    AttendrePoint(e.Debut, 1, 1);
    AttendrePoint(e.Fin, 1, 1);
}

TEST(InterElements, ArcHoraireLuDansLAutreSens)
{
    // The clockwise quarter from (0, 5) to (5, 0) crosses the diagonal.
    const ElementGeo horaire = Arc(NatureArcHoraire, { 0, 5 }, { 5, 0 }, { 0, 0 });
    const double c = 5 / std::sqrt(2.0);
    Intersection r = InterElements(Droite(0, 0, 10, 10), horaire);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, c, c);
    r = InterElements(horaire, Droite(0, 0, 10, 10));
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, c, c);
    // Read counter-clockwise as given it would be the other three quarters.
    EXPECT_EQ(InterDroiteCercle(Droite(0, 0, 10, 10), horaire).NbValides, 0);

    const ElementGeo autre = Arc(NatureArcHoraire, { 3, 0 }, { 13, 0 }, { 8, 0 }); // upper half
    r = InterElements(horaire, autre);
    EXPECT_EQ(r.NbValides, 1);
    AttendrePoint(r.P1, 4, 3);

    ElementGeo inconnu = Droite(0, 0, 10, 10);
    inconnu.Nature = 7;
    r = InterElements(inconnu, Droite(0, 10, 10, 0));
    EXPECT_EQ(r.NbPoints, 0);
    EXPECT_EQ(r.NbValides, 0);
}

TEST(Geometrie, AucunNaNPourDesDonneesFinies)
{
    const double max = std::numeric_limits<double>::max();
    const std::vector<double> valeurs = { 0, 1e-320, -3, 7.5, 1e15, -max, max };
    std::vector<PointXY> points;
    for (double x : valeurs)
        for (double y : valeurs)
            points.push_back({ x, y });
    const auto verifier = [](const Intersection& r) {
        EXPECT_TRUE(Fini(r.P1));
        EXPECT_TRUE(Fini(r.P2));
        EXPECT_LE(r.NbValides, r.NbPoints);
    };
    for (size_t i = 0; i < points.size(); i += 3) {
        for (size_t j = 0; j < points.size(); j += 2) {
            const PointXY a = points[i], b = points[j], c = points[(i + j) % points.size()];
            const ElementGeo d = Droite(a.X, a.Y, b.X, b.Y);
            const ElementGeo arc = Arc(NatureArcHoraire, a, b, c);
            const double angle = AngleVecteur(b - a);
            EXPECT_TRUE(angle >= 0 && angle < 2 * Pi);
            EXPECT_TRUE(Fini(VecteurUnitaire(b - a)));
            for (double dec : { -3.0, 0.0, 1e300 }) {
                const ElementGeo d2 = DecaleElement(d, dec), a2 = DecaleElement(arc, dec);
                EXPECT_TRUE(Fini(d2.Debut) && Fini(d2.Fin) && Fini(a2.Debut) && Fini(a2.Fin));
                verifier(InterElements(d, d2));
                verifier(InterElements(d2, a2));
                verifier(InterElements(a2, arc));
            }
        }
    }
}
