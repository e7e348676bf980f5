#include "iso/courses.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "iso/geometrie.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace virmak {

namespace {

    // Below a micrometre a program on the travel's edge fits.
    constexpr double Tolerance = 1e-6;

    void Inclure(BoiteProg& b, int axe, double v)
    {
        b.Min[axe] = std::min(b.Min[axe], v);
        b.Max[axe] = std::max(b.Max[axe], v);
    }

    // The quarter points of the circle that the arc sweeps, in the sense
    // and with the same full-turn rule as its interpolation.
    void InclureArc(BoiteProg& b, const LigneProg& avant, const LigneProg& l)
    {
        constexpr double Pi = std::numbers::pi;
        const double r = std::hypot(avant.X - l.I, avant.Y - l.J);
        if (!(r > 0) || !std::isfinite(r))
            return;
        const double a0 = AngleVecteur({ avant.X - l.I, avant.Y - l.J });
        const double a1 = AngleVecteur({ l.X - l.I, l.Y - l.J });
        const bool trigo = l.CodeG[0] == 3;
        // Angle swept from a0 to reach a, in the arc's sense, in [0, 2π).
        auto parcouru = [&](double a) {
            double d = trigo ? a - a0 : a0 - a;
            while (d < 0)
                d += 2 * Pi;
            return d;
        };
        const double balayage = a0 == a1 ? 2 * Pi : parcouru(a1);
        for (int q = 0; q < 4; ++q) {
            const double a = q * Pi / 2;
            if (parcouru(a) <= balayage) {
                Inclure(b, 0, l.I + r * std::cos(a));
                Inclure(b, 1, l.J + r * std::sin(a));
            }
        }
    }

} // namespace

BoiteProg EtendueParcours(std::span<const LigneProg> table, size_t nb)
{
    BoiteProg b;
    if (table.empty())
        return b;
    nb = std::min(nb, table.size() - 1);
    for (int axe = 0; axe < 3; ++axe)
        b.Min[axe] = b.Max[axe] = axe == 0 ? table[0].X : (axe == 1 ? table[0].Y : table[0].Z);
    for (size_t i = 1; i <= nb; ++i) {
        const LigneProg& l = table[i];
        Inclure(b, 0, l.X);
        Inclure(b, 1, l.Y);
        Inclure(b, 2, l.Z);
        if (l.CodeG[0] == 2 || l.CodeG[0] == 3)
            InclureArc(b, table[i - 1], l);
        const int32_t c = l.CodeG[1];
        if ((c == 81 || c == 82 || c == 83) && l.ZCycle < 0 && std::isfinite(l.ZCycle) && std::isfinite(l.R))
            Inclure(b, 2, l.Z + std::min(l.R, 0.0) + l.ZCycle);
    }
    return b;
}

std::string HorsCourse(const BoiteProg& boite, const double course[3])
{
    for (int axe = 0; axe < 3; ++axe) {
        if (!(course[axe] > 0))
            continue;
        const double depasse[2] = { boite.Max[axe] - course[axe], -course[axe] - boite.Min[axe] };
        for (int cote = 0; cote < 2; ++cote) {
            if (depasse[cote] <= Tolerance)
                continue;
            const std::string nom(1, "XYZ"[axe]);
            return "Le programme sort de la course de la machine : en " + nom + " côté "
                + (cote == 0 ? "positif" : "négatif") + ", le centre de l'outil va à "
                + FormatFixe(cote == 0 ? boite.Max[axe] : boite.Min[axe], 0, 3) + " mm, "
                + FormatFixe(depasse[cote], 0, 3) + " mm au-delà de la course ("
                + FormatFixe(course[axe], 0, 3) + " mm de part et d'autre de l'origine, clé "
                + CleIndexee("Course", axe) + " de [AXES]).";
        }
    }
    return {};
}

std::string TexteEtendue(const BoiteProg& boite)
{
    std::string s = "Parcours du centre de l'outil :";
    for (int axe = 0; axe < 3; ++axe)
        s += std::string(axe ? "," : "") + "\n" + "XYZ"[axe] + " de " + FormatFixe(boite.Min[axe], 0, 3)
            + " à " + FormatFixe(boite.Max[axe], 0, 3) + " mm";
    return s;
}

bool CoursesConnues()
{
    for (int axe = 0; axe < 3; ++axe)
        if (LireCourse(axe) > 0)
            return true;
    return false;
}

std::string ControleCourses()
{
    const BoiteProg boite = EtendueParcours(TabProgCorr, NbLignesCorr);
    Form1.GroupBox5.Conseil = TexteEtendue(boite);
    double course[3];
    for (int axe = 0; axe < 3; ++axe)
        course[axe] = LireCourse(axe);
    return HorsCourse(boite, course);
}

} // namespace virmak
