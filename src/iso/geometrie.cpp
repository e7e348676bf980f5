#include "iso/geometrie.h"

#include "foundation/nombres.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace virmak {

namespace {

    constexpr double Pi = std::numbers::pi;

    bool Fini(PointXY p)
    {
        return std::isfinite(p.X) && std::isfinite(p.Y);
    }

    // A difference of two far-apart finite points may overflow; only its
    // direction is kept then.
    PointXY Direction(PointXY v)
    {
        if (std::isnan(v.X) || std::isnan(v.Y))
            return {};
        if (std::isinf(v.X) || std::isinf(v.Y))
            return { std::isinf(v.X) ? std::copysign(1.0, v.X) : 0.0,
                std::isinf(v.Y) ? std::copysign(1.0, v.Y) : 0.0 };
        return v;
    }

    // Slope and intercept of a segment that is not vertical.
    void Pente(const ElementGeo& l, double& m, double& b)
    {
        const double x1 = l.Debut.X, y1 = l.Debut.Y, x2 = l.Fin.X, y2 = l.Fin.Y;
        m = (y1 - y2) / (x1 - x2);
        b = (y2 * x1 - y1 * x2) / (x1 - x2);
    }

    bool Entre(double v, double a, double b)
    {
        return std::min(a, b) <= v && v <= std::max(a, b);
    }

    // Roots of a*u^2 + b*u + c = 0, the one with -sqrt first.
    int Racines(double a, double b, double c, double& u1, double& u2)
    {
        const double delta = b * b - 4 * a * c;
        if (!(delta >= 0))
            return 0;
        if (delta == 0) {
            u1 = u2 = -b / (2 * a);
            return 1;
        }
        const double r = std::sqrt(delta);
        u1 = (-b - r) / (2 * a);
        u2 = (-b + r) / (2 * a);
        return 2;
    }

    // Points of the vertical line x = x0 on the circle (c, r).
    int VerticaleCercle(double x0, PointXY c, double r, PointXY& p1, PointXY& p2)
    {
        double y1 = 0, y2 = 0;
        const double dx = x0 - c.X;
        const int n = Racines(1, -2 * c.Y, c.Y * c.Y + dx * dx - r * r, y1, y2);
        p1 = { x0, y1 };
        p2 = { x0, y2 };
        return n;
    }

    // Points of the line y = m*x + b on the circle (c, r).
    int DroiteCercle(double m, double b, PointXY c, double r, PointXY& p1, PointXY& p2)
    {
        double x1 = 0, x2 = 0;
        const double bc = b - c.Y;
        const int n = Racines(1 + m * m, 2 * (m * b - m * c.Y - c.X), bc * bc - r * r + c.X * c.X, x1, x2);
        p1 = { x1, m * x1 + b };
        p2 = { x2, m * x2 + b };
        return n;
    }

    // Counts the carrier points lying on both elements and puts a valid one
    // first. A point that overflowed counts as no point at all.
    template <typename Valide> Intersection Classer(int n, PointXY p1, PointXY p2, Valide valide)
    {
        if (n == 0 || !Fini(p1) || !Fini(p2))
            return {};
        Intersection r { p1, p2, n, 0 };
        const bool v1 = valide(p1);
        const bool v2 = n == 2 && valide(p2);
        r.NbValides = (v1 ? 1 : 0) + (v2 ? 1 : 0);
        if (!v1 && v2)
            std::swap(r.P1, r.P2);
        return r;
    }

    ElementGeo LuTrigo(ElementGeo e)
    {
        if (e.Nature == NatureArcHoraire)
            std::swap(e.Debut, e.Fin);
        return e;
    }

    bool EstArc(const ElementGeo& e)
    {
        return e.Nature == NatureArcHoraire || e.Nature == NatureArcTrigo;
    }

} // namespace

double AngleVecteur(PointXY v)
{
    v = Direction(v);
    if (v.X == 0) {
        if (v.Y > 0)
            return Pi / 2;
        if (v.Y < 0)
            return 3 * Pi / 2;
        return 0;
    }
    double a = std::atan(std::fabs(v.Y) / std::fabs(v.X));
    if (v.X < 0)
        a = Pi - a;
    if (v.Y < 0)
        a = 2 * Pi - a;
    // A direction a hair below +X rounds up to 2*pi, which is +X again.
    return a < 2 * Pi ? a : 0;
}

PointXY VecteurUnitaire(PointXY v)
{
    const double carre = v.X * v.X + v.Y * v.Y;
    if (carre > 1e-300 && carre < 1e300) {
        const double l = std::sqrt(carre);
        return { v.X / l, v.Y / l };
    }
    const PointXY d = Direction(v);
    const double s = std::max(std::fabs(d.X), std::fabs(d.Y));
    if (s == 0)
        return d;
    // Scaled first so that the length itself cannot overflow.
    const PointXY w = { d.X / s, d.Y / s };
    const double l = std::hypot(w.X, w.Y);
    return { w.X / l, w.Y / l };
}

double Distance(PointXY a, PointXY b)
{
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double d = std::sqrt(dx * dx + dy * dy);
    // hypot is exact where the squares overflow, but far slower.
    return std::isinf(d) ? std::hypot(dx, dy) : d;
}

std::optional<PointXY> CentreArcRayon(PointXY debut, PointXY fin, double rayon, bool horaire)
{
    // Halves first: the chord between two far-apart finite points overflows,
    // and a half chord that does is longer than any radius.
    const PointXY demiDebut = 0.5 * debut, demiFin = 0.5 * fin;
    const double a = Distance(demiDebut, demiFin);
    const double r = std::fabs(rayon);
    if (a == 0 || !(r > 0) || r < a - ToleranceRayonArc)
        return std::nullopt;
    // sqrt(r^2 - a^2), without squares that overflow; near the largest
    // double the product may still round past it, and an infinite offset
    // times the chord's zero component would give no centre at all.
    const double h = std::min(r > a ? std::sqrt(r - a) * std::sqrt(r / 2 + a / 2) * std::numbers::sqrt2 : 0.0,
        std::numeric_limits<double>::max());
    const PointXY u = VecteurUnitaire(demiFin - demiDebut);
    // The shorter arc has its centre on its inner side: left of the chord
    // turning counter-clockwise, right turning clockwise.
    const double cote = horaire == (rayon > 0) ? -1.0 : 1.0;
    const PointXY c = demiDebut + demiFin + (cote * h) * PointXY { -u.Y, u.X };
    return PointXY { Sature(c.X), Sature(c.Y) };
}

bool PointSurSegment(const ElementGeo& segment, PointXY p, double t)
{
    const double x1 = segment.Debut.X, y1 = segment.Debut.Y, x2 = segment.Fin.X, y2 = segment.Fin.Y;
    if (p.X + t < std::min(x1, x2) || p.X - t > std::max(x1, x2))
        return false;
    if (p.Y + t < std::min(y1, y2) || p.Y - t > std::max(y1, y2))
        return false;
    if (std::fabs(x2 - x1) <= t)
        return std::fabs(x1 - p.X) <= t;
    double m = 0, b = 0;
    Pente(segment, m, b);
    return std::fabs(m * p.X + b - p.Y) <= t;
}

bool PointSurArc(const ElementGeo& arc, PointXY p, double t)
{
    const PointXY c = arc.Centre;
    if (!(std::fabs(Distance(p, c) - Distance(arc.Debut, c)) <= t))
        return false;
    const double aS = AngleVecteur(arc.Debut - c);
    const double aE = AngleVecteur(arc.Fin - c);
    const double aP = AngleVecteur(p - c);
    if (aS == aE)
        return true;
    if (aS < aE)
        return aS <= aP && aP <= aE;
    return aP >= aS || aP <= aE;
}

Intersection InterDroites(const ElementGeo& l1, const ElementGeo& l2)
{
    const bool vert1 = l1.Debut.X == l1.Fin.X;
    const bool vert2 = l2.Debut.X == l2.Fin.X;
    double m1 = 0, b1 = 0, m2 = 0, b2 = 0;
    if (!vert1)
        Pente(l1, m1, b1);
    if (!vert2)
        Pente(l2, m2, b2);

    if ((vert1 && vert2) || (!vert1 && !vert2 && m1 == m2)) {
        const bool memeDroite = vert1 ? l1.Debut.X == l2.Debut.X : b1 == b2;
        if (!memeDroite)
            return {};
        return { l1.Fin, l1.Fin, 2, 2 };
    }

    PointXY p;
    if (vert1)
        p = { l1.Debut.X, m2 * l1.Debut.X + b2 };
    else if (vert2)
        p = { l2.Debut.X, m1 * l2.Debut.X + b1 };
    else {
        const double x = (b2 - b1) / (m1 - m2);
        p = { x, m1 * x + b1 };
    }
    // The range tests are exact: along Y for a vertical line, along X otherwise.
    const auto dedans = [&p](const ElementGeo& l, bool vertical) {
        return vertical ? Entre(p.Y, l.Debut.Y, l.Fin.Y) : Entre(p.X, l.Debut.X, l.Fin.X);
    };
    if (!Fini(p))
        return {};
    return { p, p, 1, dedans(l1, vert1) && dedans(l2, vert2) ? 1 : 0 };
}

Intersection InterDroiteCercle(const ElementGeo& droite, const ElementGeo& arc)
{
    const double r = Distance(arc.Debut, arc.Centre);
    PointXY p1, p2;
    int n = 0;
    if (droite.Debut.X == droite.Fin.X) {
        n = VerticaleCercle(droite.Debut.X, arc.Centre, r, p1, p2);
    } else {
        double m = 0, b = 0;
        Pente(droite, m, b);
        n = DroiteCercle(m, b, arc.Centre, r, p1, p2);
    }
    return Classer(n, p1, p2, [&](PointXY p) {
        return PointSurSegment(droite, p, ToleranceIntersection)
            && PointSurArc(arc, p, ToleranceIntersection);
    });
}

Intersection InterCercles(const ElementGeo& a1, const ElementGeo& a2)
{
    const PointXY c1 = a1.Centre, c2 = a2.Centre;
    const double r1 = Distance(a1.Debut, c1), r2 = Distance(a2.Debut, c2);
    if (c1 == c2) {
        if (r1 != r2)
            return {};
        return { a1.Fin, a1.Fin, 3, 3 };
    }
    // Through the radical line of the two circles.
    PointXY p1, p2;
    int n = 0;
    if (c1.Y == c2.Y) {
        const double x = (r2 * r2 - r1 * r1 - c2.X * c2.X + c1.X * c1.X) / (2 * (c1.X - c2.X));
        n = VerticaleCercle(x, c1, r1, p1, p2);
    } else {
        const double m = -(c2.X - c1.X) / (c2.Y - c1.Y);
        const double b = (c2.X * c2.X - c1.X * c1.X + c2.Y * c2.Y - c1.Y * c1.Y - r2 * r2 + r1 * r1)
            / (2 * (c2.Y - c1.Y));
        n = DroiteCercle(m, b, c1, r1, p1, p2);
    }
    return Classer(n, p1, p2, [&](PointXY p) {
        return PointSurArc(a1, p, ToleranceIntersection) && PointSurArc(a2, p, ToleranceIntersection);
    });
}

ElementGeo DecaleDroite(const ElementGeo& droite, double d)
{
    const PointXY u = VecteurUnitaire(droite.Fin - droite.Debut);
    const PointXY n = { u.Y, -u.X };
    ElementGeo r = droite;
    r.Debut = droite.Debut + d * n;
    r.Fin = droite.Fin + d * n;
    return Fini(r.Debut) && Fini(r.Fin) ? r : droite;
}

ElementGeo DecaleArc(const ElementGeo& arc, double d)
{
    ElementGeo r = arc;
    r.Debut = arc.Debut + d * VecteurUnitaire(arc.Debut - arc.Centre);
    r.Fin = arc.Fin + d * VecteurUnitaire(arc.Fin - arc.Centre);
    return Fini(r.Debut) && Fini(r.Fin) ? r : arc;
}

ElementGeo DecaleElement(const ElementGeo& e, double d)
{
    switch (e.Nature) {
    case NatureDroite:
        return DecaleDroite(e, d);
    case NatureArcHoraire:
        return DecaleArc(e, -d);
    case NatureArcTrigo:
        return DecaleArc(e, d);
    default:
        return e;
    }
}

Intersection InterElements(const ElementGeo& a, const ElementGeo& b)
{
    const bool droiteA = a.Nature == NatureDroite, droiteB = b.Nature == NatureDroite;
    if (droiteA && droiteB)
        return InterDroites(a, b);
    if (droiteA && EstArc(b))
        return InterDroiteCercle(a, LuTrigo(b));
    if (EstArc(a) && droiteB)
        return InterDroiteCercle(b, LuTrigo(a));
    if (EstArc(a) && EstArc(b))
        return InterCercles(LuTrigo(a), LuTrigo(b));
    return {};
}

} // namespace virmak
