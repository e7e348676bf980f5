#include "apercu/cn_dessins.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace virmak {

BoiteProg LimitesProg;
int32_t SourisPrec[2] = { 0, 0 };

namespace {

    constexpr double MargePiece = 6; // mm on every side of the part
    constexpr double PasZoom = 1.1;
    constexpr int32_t PasDecalage = 10; // pixels
    constexpr double DistanceSourisZoom = 200; // pixels of vertical drag per unit of zoom
    // The zoom of one mouse event: a fast downward drag must not turn the
    // picture over or flatten it to a point the zoom can never leave, nor a
    // fast upward one throw it out of sight.
    constexpr double FacteurSourisMini = 0.1;
    constexpr double FacteurSourisMaxi = 10;
    constexpr double EchelleMini = 1e-12, EchelleMaxi = 1e12; // pixels per mm
    // The origin may lie far outside the image, but never where a pan or a
    // zoom step would overflow it.
    constexpr int64_t OrigineMaxi = 1'000'000'000;
    constexpr int32_t TailleImageMaxi = 1 << 15;
    constexpr long double FlecheMaxi = 0.25L; // pixels, arcs drawn as chords
    constexpr int CordesMaxi = 4096; // per visible stretch of one arc
    constexpr long double DeuxPi = 2 * std::numbers::pi_v<long double>;

    // Something was drawn since start-up, so a resize draws it again.
    bool dessine = false;
    // The tool path is in view: drawn since the part was last drawn alone.
    bool parcoursMontre = false;
    // The list whose analysis was refused, known by its fingerprint: zoom,
    // pan and resize do not analyse it again, which would repeat the
    // message at every mouse move.
    bool refusConnu = false;
    uint64_t empreinteRefusee = 0;

    uint64_t EmpreinteListe()
    {
        uint64_t h = 14695981039346656037ull;
        auto ajouter = [&h](unsigned char c) {
            h ^= c;
            h *= 1099511628211ull;
        };
        for (const std::string& ligne : Form1.ListBoxProg1.Lignes) {
            for (char c : ligne)
                ajouter(static_cast<unsigned char>(c));
            ajouter('\n');
        }
        return h;
    }

    int32_t BornerOrigine(int64_t valeur)
    {
        return static_cast<int32_t>(std::clamp(valeur, -OrigineMaxi, OrigineMaxi));
    }

    bool EstPercage(const LigneProg& l)
    {
        return l.CodeG[1] >= 81 && l.CodeG[1] <= 83;
    }

    bool Bouge(const LigneProg& p, const LigneProg& l)
    {
        return l.X != p.X || l.Y != p.Y || l.Z != p.Z;
    }

    // Tool radius with its wear; a number outside the table has none.
    double RayonOutil(int32_t numero)
    {
        if (numero < 0 || numero >= NbOutils)
            return 0;
        return TabOutils[numero].Jauge[0] / 2 + TabOutils[numero].CorDyn[0];
    }

    struct Pt {
        long double x, y;
        bool operator==(const Pt&) const = default;
    };

    Pt Point(double x, double y)
    {
        return { ColonneApercu(x), RangApercu(y) };
    }

    // Builds the primitives of one layer. Everything is computed in
    // extended precision and cut to the image plus a margin before rounding,
    // so any coordinate, however far, gives bounded pixels and bounded work.
    class Dessin {
    public:
        Dessin()
            : largeur_(std::clamp(Form1.LargeurImage, 1, TailleImageMaxi))
            , hauteur_(std::clamp(Form1.HauteurImage, 1, TailleImageMaxi))
            , penMaxi_(largeur_ + hauteur_)
            , x0_(-(penMaxi_ + 8))
            , y0_(x0_)
            , x1_(largeur_ + penMaxi_ + 8)
            , y1_(hauteur_ + penMaxi_ + 8)
        {
        }

        int PenMaxi() const { return penMaxi_; }

        void Axes()
        {
            const long double ox = OrigineApercu[0], oy = OrigineApercu[1];
            Ligne({ 0, oy }, { static_cast<long double>(largeur_), oy }, CoulAxes, StyleTrait::TiretPoint, 1);
            Ligne({ ox, 0 }, { ox, static_cast<long double>(hauteur_) }, CoulAxes, StyleTrait::TiretPoint, 1);
        }

        void Ligne(Pt a, Pt b, uint32_t couleur, StyleTrait style, int largeur)
        {
            if (a == b || !Couper(a, b, 0) || !Couper(b, a, 0))
                return;
            Trace t;
            t.genre = Trace::Genre::Ligne;
            t.style = style;
            t.couleur = couleur;
            t.largeur = std::clamp(largeur, 1, penMaxi_);
            t.x1 = Arrondi(static_cast<double>(a.x));
            t.y1 = Arrondi(static_cast<double>(a.y));
            t.x2 = Arrondi(static_cast<double>(b.x));
            t.y2 = Arrondi(static_cast<double>(b.y));
            if (t.x1 != t.x2 || t.y1 != t.y2)
                traces.push_back(t);
        }

        // Arc of block l from the end of block p, centre (I, J), radius to
        // l's end; clockwise arcs are the counter-clockwise arc from l's end
        // back to p's.
        void Arc(const LigneProg& p, const LigneProg& l, uint32_t couleur, int largeur)
        {
            const Pt s = Point(p.X, p.Y), e = Point(l.X, l.Y);
            const long double dx = e.x - s.x, dy = e.y - s.y;
            const long double r
                = std::hypot(static_cast<long double>(l.X) - l.I, static_cast<long double>(l.Y) - l.J);
            const double rayon = static_cast<double>(std::min<long double>(r, 1e300L));
            const Pt c1 = Point(l.I - rayon, l.J - rayon), c2 = Point(l.I + rayon, l.J + rayon);
            const long double bx1 = std::min(c1.x, c2.x), bx2 = std::max(c1.x, c2.x);
            const long double by1 = std::min(c1.y, c2.y), by2 = std::max(c1.y, c2.y);
            // Below two squared pixels, or in a box too small to hold an arc,
            // the move shows as the straight line it nearly is.
            if (dx * dx + dy * dy < 2 || bx2 - bx1 < 1 || by2 - by1 < 1) {
                Ligne(s, e, couleur, StyleTrait::Plein, largeur);
                return;
            }
            const Pt debut = l.CodeG[0] == 2 ? e : s, fin = l.CodeG[0] == 2 ? s : e;
            if (bx1 >= x0_ && bx2 <= x1_ && by1 >= y0_ && by2 <= y1_) {
                Trace t;
                t.genre = Trace::Genre::Arc;
                t.couleur = couleur;
                t.largeur = std::clamp(largeur, 1, penMaxi_);
                t.x1 = Arrondi(static_cast<double>(bx1));
                t.y1 = Arrondi(static_cast<double>(by1));
                t.x2 = Arrondi(static_cast<double>(bx2));
                t.y2 = Arrondi(static_cast<double>(by2));
                const Pt c { (bx1 + bx2) / 2, (by1 + by2) / 2 };
                const Pt d = SurRayon(debut, c), f = SurRayon(fin, c);
                t.xd = Arrondi(static_cast<double>(d.x));
                t.yd = Arrondi(static_cast<double>(d.y));
                t.xf = Arrondi(static_cast<double>(f.x));
                t.yf = Arrondi(static_cast<double>(f.y));
                traces.push_back(t);
                return;
            }
            ArcEnCordes({ (bx1 + bx2) / 2, (by1 + by2) / 2 }, (bx2 - bx1) / 2, (by2 - by1) / 2, debut, fin,
                couleur, largeur);
        }

        // Disc of radius `rayon` mm centred on (x, y), filled in its colour.
        void Disque(double x, double y, double rayon, uint32_t couleur)
        {
            const double r = std::fabs(rayon);
            const Pt c1 = Point(x - r, y - r), c2 = Point(x + r, y + r);
            const long double bx1 = std::min(c1.x, c2.x), bx2 = std::max(c1.x, c2.x);
            const long double by1 = std::min(c1.y, c2.y), by2 = std::max(c1.y, c2.y);
            if (bx2 < 0 || by2 < 0 || bx1 > largeur_ || by1 > hauteur_)
                return;
            if (bx1 >= x0_ && bx2 <= x1_ && by1 >= y0_ && by2 <= y1_) {
                Trace t;
                t.genre = Trace::Genre::Disque;
                t.couleur = couleur;
                t.x1 = Arrondi(static_cast<double>(bx1));
                t.y1 = Arrondi(static_cast<double>(by1));
                t.x2 = Arrondi(static_cast<double>(bx2));
                t.y2 = Arrondi(static_cast<double>(by2));
                traces.push_back(t);
                return;
            }
            // Far larger than the image: its visible part, one row at a time.
            const long double cx = (bx1 + bx2) / 2, cy = (by1 + by2) / 2;
            const long double rx = (bx2 - bx1) / 2, ry = (by2 - by1) / 2;
            if (rx <= 0 || ry <= 0)
                return;
            const int premier = static_cast<int>(std::max<long double>(0, std::floor(by1)));
            const int dernier = static_cast<int>(std::min<long double>(hauteur_ - 1, std::ceil(by2)));
            for (int rang = premier; rang <= dernier; ++rang) {
                const long double v = (rang - cy) / ry;
                if (v < -1 || v > 1)
                    continue;
                const long double demi = rx * std::sqrt(1 - v * v);
                Trace t;
                t.couleur = couleur;
                t.x1 = Borner(cx - demi);
                t.x2 = Borner(cx + demi);
                t.y1 = t.y2 = rang;
                if (t.x1 == t.x2)
                    ++t.x2;
                traces.push_back(t);
            }
        }

        std::vector<Trace> traces;

    private:
        // A point of the same ray from c, brought within reach of an
        // integer pixel; the platform only reads its direction.
        static Pt SurRayon(Pt p, Pt c)
        {
            constexpr long double portee = 1024;
            const long double dx = p.x - c.x, dy = p.y - c.y;
            const long double n = std::max(std::fabs(dx), std::fabs(dy));
            if (n <= portee)
                return p;
            return { c.x + dx * (portee / n), c.y + dy * (portee / n) };
        }

        int32_t Borner(long double v) const
        {
            return Arrondi(static_cast<double>(std::clamp<long double>(v, x0_ - penMaxi_, x1_ + penMaxi_)));
        }

        bool Dedans(Pt a) const { return a.x >= x0_ && a.x <= x1_ && a.y >= y0_ && a.y <= y1_; }

        // Brings `a` onto the zone along the line from `b`, measuring from
        // `b` so a far `a` costs no precision where the line is seen. False
        // when the segment misses the zone.
        bool Couper(Pt& a, const Pt& b, int profondeur) const
        {
            if (Dedans(a))
                return true;
            if ((a.x < x0_ && b.x < x0_) || (a.x > x1_ && b.x > x1_) || (a.y < y0_ && b.y < y0_)
                || (a.y > y1_ && b.y > y1_) || profondeur > 4)
                return false;
            const long double dx = a.x - b.x, dy = a.y - b.y;
            if (a.x < x0_ || a.x > x1_) {
                const long double x = a.x < x0_ ? x0_ : x1_;
                a = { x, b.y + dy * (x - b.x) / dx };
            } else {
                const long double y = a.y < y0_ ? y0_ : y1_;
                a = { b.x + dx * (y - b.y) / dy, y };
            }
            return Couper(a, b, profondeur + 1);
        }

        // An arc whose box overflows the zone: chords over the stretches of
        // it that lie inside the zone, found from its crossings with the
        // zone's sides. An arc that never enters the zone costs nothing.
        void ArcEnCordes(
            Pt c, long double rx, long double ry, Pt debut, Pt fin, uint32_t couleur, int largeur)
        {
            auto angle = [&](Pt p) { return std::atan2(-(p.y - c.y) / ry, (p.x - c.x) / rx); };
            auto surArc = [&](long double t) -> Pt {
                return { c.x + rx * std::cos(t), c.y - ry * std::sin(t) };
            };
            const long double ta = angle(debut);
            long double etendue = std::fmod(angle(fin) - ta, DeuxPi);
            if (etendue <= 0)
                etendue += DeuxPi;
            std::vector<long double> bornes { 0, etendue };
            auto ajouter = [&](long double t) {
                long double u = std::fmod(t - ta, DeuxPi);
                if (u < 0)
                    u += DeuxPi;
                if (u > 0 && u < etendue)
                    bornes.push_back(u);
            };
            for (long double x : { static_cast<long double>(x0_), static_cast<long double>(x1_) }) {
                const long double v = (x - c.x) / rx;
                if (v >= -1 && v <= 1) {
                    ajouter(std::acos(v));
                    ajouter(-std::acos(v));
                }
            }
            for (long double y : { static_cast<long double>(y0_), static_cast<long double>(y1_) }) {
                const long double v = (c.y - y) / ry;
                if (v >= -1 && v <= 1) {
                    ajouter(std::asin(v));
                    ajouter(std::numbers::pi_v<long double> - std::asin(v));
                }
            }
            std::sort(bornes.begin(), bornes.end());
            const long double pas
                = std::min<long double>(2 * std::sqrt(2 * FlecheMaxi / std::max(rx, ry)), DeuxPi / 64);
            for (size_t k = 0; k + 1 < bornes.size(); ++k) {
                const long double u0 = bornes[k], u1 = bornes[k + 1];
                if (u1 <= u0 || !Dedans(surArc(ta + (u0 + u1) / 2)))
                    continue;
                const int n
                    = static_cast<int>(std::clamp<long double>(std::ceil((u1 - u0) / pas), 1, CordesMaxi));
                Pt a = surArc(ta + u0);
                for (int i = 1; i <= n; ++i) {
                    const Pt b = surArc(ta + u0 + (u1 - u0) * i / n);
                    Ligne(a, b, couleur, StyleTrait::Plein, largeur);
                    a = b;
                }
            }
        }

        int32_t largeur_, hauteur_;
        int32_t penMaxi_; // a wider pen would cover the whole image anyway
        int32_t x0_, y0_, x1_, y1_; // the image with a margin wider than any pen
    };

    void AnalyserEtCadrer(bool toujours)
    {
        if (!toujours && refusConnu && EmpreinteListe() == empreinteRefusee)
            return;
        BoiteProg boite;
        if (TraiteIso(boite)) {
            refusConnu = false;
        } else {
            // Nothing of a refused program is drawn: the view frames the
            // start position, as for an empty program.
            refusConnu = true;
            empreinteRefusee = EmpreinteListe();
            for (int i = 0; i < 3; ++i)
                boite.Min[i] = boite.Max[i] = PosMm[i];
        }
        LimitesProg = boite;
        CadrerApercu(LimitesProg);
    }

    void DessinePieceSelon(bool analyserToujours)
    {
        if (!ProgAnalyse)
            AnalyserEtCadrer(analyserToujours);
        const size_t fin = TabProg.empty() ? 0 : std::min<size_t>(NbLignesProg, TabProg.size() - 1);
        Dessin d;
        d.traces.reserve(fin + 2);
        d.Axes();
        for (size_t i = 1; i <= fin; ++i) {
            const LigneProg& p = TabProg[i - 1];
            const LigneProg& l = TabProg[i];
            if (EstPercage(l))
                d.Disque(l.XCycle, l.YCycle, RayonOutil(l.NumOutil), CoulContour);
            if (!Bouge(p, l))
                continue;
            switch (l.CodeG[0]) {
            case 0:
                d.Ligne(Point(p.X, p.Y), Point(l.X, l.Y), CoulRapide, StyleTrait::Pointille, 1);
                break;
            case 1:
                d.Ligne(Point(p.X, p.Y), Point(l.X, l.Y), CoulContour, StyleTrait::Plein, 1);
                break;
            case 2:
            case 3:
                d.Arc(p, l, CoulContour, 1);
                break;
            default:
                break;
            }
        }
        dessine = true;
        parcoursMontre = false;
        VueActive().DessinerCouche(1, d.traces);
    }

    // The tool's width at the current scale, for the "OT" view.
    int LargeurOutil(int32_t numero, int maxi)
    {
        const double l = 2 * EchelleApercu * RayonOutil(numero);
        if (!(l >= 1))
            return 1;
        return l >= maxi ? maxi : static_cast<int>(std::floor(l));
    }

    // What the zoom and pan controls redraw. Before the first drawing there
    // is nothing to move, and the list still holds its invitation text.
    void Redessine()
    {
        if (!dessine)
            return;
        DessinePieceSelon(false);
        if (ParcoursCalcule)
            DessineParcours();
    }

    // False, leaving the view as it is, when the scale would leave its range.
    bool Zoomer(double facteur)
    {
        const double echelle = EchelleApercu * facteur;
        if (!(echelle >= EchelleMini && echelle <= EchelleMaxi))
            return false;
        EchelleApercu = echelle;
        ZoomApercu *= facteur;
        return true;
    }

    void Decaler(int axe, int32_t pixels)
    {
        OrigineApercu[axe] = BornerOrigine(static_cast<int64_t>(OrigineApercu[axe]) + pixels);
        Redessine();
    }

} // namespace

void InitialiserApercu()
{
    LimitesProg = BoiteProg {};
    SourisPrec[0] = SourisPrec[1] = 0;
    dessine = false;
    parcoursMontre = false;
    refusConnu = false;
    empreinteRefusee = 0;
}

double ColonneApercu(double x)
{
    return static_cast<double>(OrigineApercu[0]) + static_cast<double>(Arrondi64(x * EchelleApercu));
}

double RangApercu(double y)
{
    return static_cast<double>(OrigineApercu[1]) - static_cast<double>(Arrondi64(y * EchelleApercu));
}

void CadrerApercu(const BoiteProg& boite)
{
    const double l = std::clamp(Form1.LargeurImage, 1, TailleImageMaxi);
    const double h = std::clamp(Form1.HauteurImage, 1, TailleImageMaxi);
    const double dx = boite.Max[0] - boite.Min[0] + 2 * MargePiece;
    const double dy = boite.Max[1] - boite.Min[1] + 2 * MargePiece;
    const double sx = l / dx, sy = h / dy;
    double s = (sx < sy ? sx : sy) * ZoomApercu;
    if (!(s >= EchelleMini))
        s = EchelleMini;
    else if (s > EchelleMaxi)
        s = EchelleMaxi;
    EchelleApercu = s;
    if (sx < sy) {
        OrigineApercu[0] = BornerOrigine(-Arrondi64((boite.Min[0] - MargePiece) * s));
        OrigineApercu[1] = BornerOrigine(Arrondi64((h - dy * s) / 2 + (boite.Max[1] + MargePiece) * s));
    } else {
        OrigineApercu[0] = BornerOrigine(-Arrondi64((boite.Min[0] - MargePiece) * s - (l - dx * s) / 2));
        OrigineApercu[1] = BornerOrigine(Arrondi64((boite.Max[1] + MargePiece) * s));
    }
}

void DessinePiece()
{
    DessinePieceSelon(true);
}

void DessineParcours()
{
    const size_t fin = TabProgCorr.empty() ? 0 : std::min<size_t>(NbLignesCorr, TabProgCorr.size() - 1);
    Dessin d;
    d.traces.reserve(fin);
    for (size_t i = 1; i <= fin; ++i) {
        const LigneProg& p = TabProgCorr[i - 1];
        const LigneProg& l = TabProgCorr[i];
        if (!Bouge(p, l))
            continue;
        const int largeur = Form1.CheckBoxOT.Cochee ? LargeurOutil(l.NumOutil, d.PenMaxi()) : 1;
        switch (l.CodeG[0]) {
        case 0:
            d.Ligne(Point(p.X, p.Y), Point(l.X, l.Y), CoulRapide, StyleTrait::Pointille, 1);
            break;
        case 1:
            d.Ligne(Point(p.X, p.Y), Point(l.X, l.Y), CoulOutil, StyleTrait::Plein, largeur);
            break;
        case 2:
        case 3:
            d.Arc(p, l, CoulOutil, largeur);
            break;
        default:
            break;
        }
    }
    parcoursMontre = true;
    VueActive().DessinerCouche(2, d.traces);
}

void DessineOutil(uint32_t couleur, double x, double y, double rayon)
{
    Dessin d;
    d.Disque(x, y, rayon, couleur);
    VueActive().DessinerCouche(3, d.traces);
}

void BitBtnPieceClick()
{
    VERIFIER_FIL_MACHINE();
    ProgAnalyse = false;
    ParcoursCalcule = false;
    ZoomApercu = 1.0;
    DessinePiece();
}

void BitBtnParcoursOutilClick()
{
    VERIFIER_FIL_MACHINE();
    // The path follows the list as it stands now, as the part does.
    if (!ProgAnalyse)
        DessinePiece();
    if (!ProgAnalyse)
        return;
    if (!CorrectionOutils()) {
        // The part alone, so no path of an earlier program stays in view.
        DessinePiece();
        return;
    }
    DessineParcours();
    ParcoursCalcule = true;
}

void BitBtnZoomPlusClick()
{
    VERIFIER_FIL_MACHINE();
    Zoomer(PasZoom);
    Redessine();
}

void BitBtnZoomMoinsClick()
{
    VERIFIER_FIL_MACHINE();
    Zoomer(1 / PasZoom);
    Redessine();
}

void BitBtnDecXMoinsClick()
{
    VERIFIER_FIL_MACHINE();
    Decaler(0, -PasDecalage);
}

void BitBtnDEcXPlusClick()
{
    VERIFIER_FIL_MACHINE();
    Decaler(0, PasDecalage);
}

void BitBtnDecYMoinsClick()
{
    VERIFIER_FIL_MACHINE();
    Decaler(1, PasDecalage);
}

void BitBtnDecYPlusClick()
{
    VERIFIER_FIL_MACHINE();
    Decaler(1, -PasDecalage);
}

void ImageProgMouseDown(int32_t x, int32_t y)
{
    VERIFIER_FIL_MACHINE();
    SourisPrec[0] = x;
    SourisPrec[1] = y;
}

void ImageProgMouseMove(int32_t x, int32_t y, bool gauche, bool droit)
{
    VERIFIER_FIL_MACHINE();
    const int64_t px = SourisPrec[0], py = SourisPrec[1];
    if (gauche) {
        OrigineApercu[0] = BornerOrigine(OrigineApercu[0] + (x - px));
        OrigineApercu[1] = BornerOrigine(OrigineApercu[1] + (y - py));
    }
    if (droit) {
        const double f = std::clamp(
            static_cast<double>(py - y) / DistanceSourisZoom + 1, FacteurSourisMini, FacteurSourisMaxi);
        const double o0 = OrigineApercu[0], o1 = OrigineApercu[1];
        if (Zoomer(f)) {
            OrigineApercu[0] = BornerOrigine(OrigineApercu[0] + Arrondi64(o0 * (f - 1) + (1 - f) * px));
            OrigineApercu[1] = BornerOrigine(OrigineApercu[1] - Arrondi64((1 - f) * o1 + (f - 1) * py));
        }
    }
    if (gauche || droit)
        Redessine();
    SourisPrec[0] = x;
    SourisPrec[1] = y;
}

void ImageProgResize(int32_t largeur, int32_t hauteur)
{
    VERIFIER_FIL_MACHINE();
    Form1.LargeurImage = std::clamp(largeur, 1, TailleImageMaxi);
    Form1.HauteurImage = std::clamp(hauteur, 1, TailleImageMaxi);
    // Decided: a resize shows again what was in view, the path a run drew
    // included; a list edited since has no path to show.
    const bool parcours = parcoursMontre && ProgAnalyse && !ParcoursCalcule;
    Redessine();
    if (parcours && ProgAnalyse)
        DessineParcours();
}

void CheckBoxOTClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    Form1.CheckBoxOT.Cochee = cochee;
}

} // namespace virmak
