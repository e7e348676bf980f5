#pragma once
// Plane geometry of the tool-radius compensation: elements of a path
// (segments and arcs), their parallels and their intersections. Pure
// functions. For finite inputs no result holds NaN or an infinity: where a
// computation overflows, the element stays unshifted or the intersection
// counts no point.

#include <cstdint>
#include <optional>

namespace virmak {

inline constexpr double ToleranceIntersection = 1e-6; // mm
// How much shorter than half its chord the radius of an R arc may be and
// still give a half circle: CAM output rounds both to 3 or 4 decimals.
inline constexpr double ToleranceRayonArc = 0.005; // mm

struct PointXY {
    double X = 0, Y = 0;
};

inline PointXY operator+(PointXY a, PointXY b)
{
    return { a.X + b.X, a.Y + b.Y };
}
inline PointXY operator-(PointXY a, PointXY b)
{
    return { a.X - b.X, a.Y - b.Y };
}
inline PointXY operator*(double d, PointXY v)
{
    return { d * v.X, d * v.Y };
}
inline bool operator==(PointXY a, PointXY b)
{
    return a.X == b.X && a.Y == b.Y;
}

inline constexpr uint8_t NatureDroite = 1;
inline constexpr uint8_t NatureArcHoraire = 2; // G2
inline constexpr uint8_t NatureArcTrigo = 3; // G3

struct ElementGeo {
    uint8_t Nature = NatureDroite;
    PointXY Debut, Fin;
    PointXY Centre; // (0, 0) for a segment; the radius is |Debut - Centre|
};

// What two carrier lines or circles share. P1 is a valid point whenever
// NbValides >= 1; both points are (0, 0) when there is none.
struct Intersection {
    PointXY P1, P2;
    int NbPoints = 0; // points of the carriers; 3 for two equal circles
    int NbValides = 0; // of those, the points lying on both elements
};

// Direction in [0, 2*pi), counter-clockwise from +X; 0 for the zero vector.
double AngleVecteur(PointXY v);

// The vector divided by its length; the zero vector is returned unchanged.
PointXY VecteurUnitaire(PointXY v);

double Distance(PointXY a, PointXY b);

// Centre of the arc of radius |rayon| from debut to fin turning clockwise
// (horaire) or not: the shorter arc for a positive rayon, the longer for a
// negative one. None when debut = fin, rayon is 0 or shorter than half the
// chord by more than ToleranceRayonArc; within it, the half circle.
std::optional<PointXY> CentreArcRayon(PointXY debut, PointXY fin, double rayon, bool horaire);

// Within t of the segment, the gap measured along Y except for segments
// narrower than t in X.
bool PointSurSegment(const ElementGeo& segment, PointXY p, double t);

// Within t of the circle and inside the angular range of the arc, taken
// counter-clockwise from Debut to Fin; Debut = Fin in angle is a full circle.
bool PointSurArc(const ElementGeo& arc, PointXY p, double t);

Intersection InterDroites(const ElementGeo& l1, const ElementGeo& l2);
// The arcs are read counter-clockwise from Debut to Fin.
Intersection InterDroiteCercle(const ElementGeo& droite, const ElementGeo& arc);
Intersection InterCercles(const ElementGeo& a1, const ElementGeo& a2);

// Parallels: a positive d moves a segment to the right of its direction and
// makes an arc's radius larger.
ElementGeo DecaleDroite(const ElementGeo& droite, double d);
ElementGeo DecaleArc(const ElementGeo& arc, double d);
// d > 0 is to the right of the direction of travel, whatever the Nature.
ElementGeo DecaleElement(const ElementGeo& e, double d);

// Dispatch by Nature; a clockwise arc is handed over as the same arc read
// counter-clockwise. Another Nature gives no point.
Intersection InterElements(const ElementGeo& a, const ElementGeo& b);

} // namespace virmak
