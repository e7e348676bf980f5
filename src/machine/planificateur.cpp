#include "machine/planificateur.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/temporisation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace virmak {

namespace {

    // Big enough for no limit, small enough that its square stays finite.
    constexpr double Infini = 1e150;
    constexpr size_t Aucun = static_cast<size_t>(-1);

    // A straight move in the units of its step events (those of its
    // dominant axis): the follower works in events per second, the planner
    // in mm/s along the path; k converts.
    struct Geometrie {
        double k = 0; // events per mm
        double u[3] = { 0, 0, 0 }; // steps per mm of each axis, signed
        double depart = 0, haute = 0, acc = Infini; // events/s, events/s, events/s²
        double longueur = 0; // mm
    };

    // A reversal with backlash compensation takes the backlash up while
    // the other axes wait: such a move never goes above AvMax.
    bool Jeu(const int32_t n[3], const int32_t sens[3])
    {
        for (int i = 0; i < 3; ++i)
            if (n[i] != 0 && CompJeu[i] && NPasJ[i] > 0 && sens[i] != 0 && (n[i] > 0 ? 1 : -1) != sens[i])
                return true;
        return false;
    }

    // Every axis that steps can step at the event rate (the minor axes of a
    // Bresenham line at some events), so the slowest limit of them holds.
    Geometrie Mesurer(const int32_t n[3], bool jeu)
    {
        Geometrie g;
        double l2 = 0, nd = 0;
        for (int i = 0; i < 3; ++i) {
            const double mm = static_cast<double>(n[i]) * ValPas[i];
            l2 += mm * mm;
            nd = std::max(nd, std::fabs(static_cast<double>(n[i])));
        }
        g.longueur = std::sqrt(l2);
        g.depart = g.haute = Infini;
        for (int i = 0; i < 3; ++i) {
            if (n[i] == 0)
                continue;
            g.u[i] = static_cast<double>(n[i]) / g.longueur;
            g.depart = std::min(g.depart, static_cast<double>(std::max(1, AvMax[i])));
            g.haute = std::min(g.haute, static_cast<double>(std::max(1, VitesseHaute(i))));
            if (RampeAxe(i))
                g.acc = std::min(g.acc, static_cast<double>(Acceleration[i]));
        }
        if (jeu || g.acc >= Infini)
            g.haute = std::min(g.haute, g.depart);
        g.k = g.longueur > 0 ? nd / g.longueur : 1;
        return g;
    }

    // The highest path speed at which going from one move into the next
    // changes no axis's rate by more than its AvMax.
    double Jonction(const double up[3], const double uq[3])
    {
        double v = Infini;
        for (int i = 0; i < 3; ++i) {
            const double d = std::fabs(up[i] - uq[i]);
            if (d > 1e-12)
                v = std::min(v, static_cast<double>(std::max(1, AvMax[i])) / d);
        }
        return v;
    }

    // The next event's rate from `f`, the rate changing by at most `a` per
    // second of the new period: (g - f) / (1 / g) = a.
    double Accelerer(double f, double a)
    {
        return a >= Infini ? Infini : (f + std::sqrt(f * f + 4 * a)) / 2;
    }
    double Ralentir(double f, double a)
    {
        if (a >= Infini || f * f < 4 * a)
            return 0;
        return (f + std::sqrt(f * f - 4 * a)) / 2;
    }

    double Descente(double vFin, double a, double distance)
    {
        return std::sqrt(vFin * vFin + 2 * a * distance);
    }

    struct Plan {
        std::vector<Troncon> t;
        size_t i = 0; // the next move
        size_t dernier = 0; // the last block covered
        bool actif = false;
        size_t coupe = Aucun; // the move a block stop was planned at
    } plan;

    struct Suivi {
        bool actif = false;
        Geometrie g;
        double restants = 0; // events after the current one
        double f = 0; // rate of the last event; 0 at rest
        double sortie = 0; // rate at the end
        bool premier = false; // first event of a move entered at speed
        bool ouverte = false, freinage = false, planifie = false;
        size_t indice = 0;
    } suivi;

    // The last line ended at speed into the plan's next move.
    bool enchainable = false;
    double vitesseFin = 0;
    double uFin[3] = { 0, 0, 0 };

    // The backward pass from speed `v` at the end of move `e` down to move
    // `c`: each end speed no higher than what still brakes to what follows
    // (written when `ecrire`). The end speed of `c`.
    double Reculer(std::vector<Troncon>& t, size_t c, size_t e, double v, bool ecrire)
    {
        for (size_t j = e; j > c; --j) {
            v = std::min(t[j - 1].sortie, Descente(v, t[j].acceleration, t[j].longueur));
            if (ecrire)
                t[j - 1].sortie = v;
        }
        return v;
    }

    // A block stop asked during the move: the run stops at the end of this
    // block when the machine can brake by then, else at the next one's.
    void Couper()
    {
        std::vector<Troncon>& t = plan.t;
        const size_t c = suivi.indice;
        for (size_t e = c; e < t.size(); ++e) {
            while (e + 1 < t.size() && t[e + 1].bloc == t[e].bloc)
                ++e;
            if (t[e].arret || e + 1 == t.size()) {
                plan.coupe = e;
                return;
            }
            const double repos = std::min(t[e].depart, t[e + 1].depart);
            const double fs = Reculer(t, c, e, repos, false) * suivi.g.k;
            if (suivi.f > Descente(fs, suivi.g.acc, suivi.restants))
                continue;
            t[e].arret = true;
            t[e].sortie = std::min(t[e].sortie, repos);
            Reculer(t, c, e, t[e].sortie, true);
            suivi.sortie = t[c].sortie * suivi.g.k;
            plan.coupe = e;
            return;
        }
    }

} // namespace

void Planifier(std::vector<Troncon>& t, const int32_t sensDepart[3])
{
    const size_t nb = t.size();
    if (nb == 0)
        return;
    int32_t sens[3] = { sensDepart[0], sensDepart[1], sensDepart[2] };
    // First each move's end speed is the cap of the junction after it.
    double cap0 = 0;
    Geometrie prec;
    double nominalePrec = 0;
    for (size_t j = 0; j < nb; ++j) {
        Troncon& s = t[j];
        const bool jeu = Jeu(s.n, sens);
        const Geometrie g = Mesurer(s.n, jeu);
        s.longueur = g.longueur;
        s.depart = g.depart / g.k;
        s.acceleration = g.acc >= Infini ? Infini : g.acc / g.k;
        const double nominale = std::min(g.haute / g.k, s.avance > 0 ? s.avance : Infini);
        if (j == 0)
            cap0 = std::min(s.depart, nominale);
        else if (t[j - 1].arret || jeu)
            t[j - 1].sortie = std::min(t[j - 1].depart, s.depart);
        else
            t[j - 1].sortie = std::min({ Jonction(prec.u, g.u), nominalePrec, nominale });
        for (int i = 0; i < 3; ++i)
            if (s.n[i] != 0)
                sens[i] = s.n[i] > 0 ? 1 : -1;
        // After a move down, Z takes its backlash up: a stop.
        if (s.n[2] < 0 && CalageZ) {
            sens[2] = 1;
            s.arret = s.arret || NPasJ[2] > 0;
        }
        prec = g;
        nominalePrec = nominale;
    }
    // Backward: each move can still brake to what follows, down to rest.
    t[nb - 1].sortie = t[nb - 1].depart;
    Reculer(t, 0, nb - 1, t[nb - 1].sortie, true);
    // Forward: and can reach it from what comes before.
    double v = cap0;
    for (size_t j = 0; j < nb; ++j) {
        v = std::min(t[j].sortie, Descente(v, t[j].acceleration, t[j].longueur));
        t[j].sortie = v;
    }
}

void ChargerPlan(std::vector<Troncon> t, size_t dernier)
{
    Planifier(t, SensAxe);
    plan.t = std::move(t);
    plan.i = 0;
    plan.dernier = dernier;
    plan.actif = true;
    plan.coupe = Aucun;
    enchainable = false;
}

void OublierPlan()
{
    plan.actif = false;
    plan.t.clear();
    enchainable = false;
}

bool PlanCouvre(size_t bloc)
{
    return plan.actif && bloc <= plan.dernier && (plan.i == plan.t.size() || plan.t[plan.i].bloc >= bloc);
}

bool MachineLancee()
{
    return enchainable;
}

void DebutLigne(int32_t nX, int32_t nY, int32_t nZ)
{
    const int32_t n[3] = { nX, nY, nZ };
    suivi.actif = false;
    if (!RampesActives() || SimulationEnForce() || (nX == 0 && nY == 0 && nZ == 0))
        return;
    // A move that seeks an input stops on it at once: never ramped.
    if (MasqueCherche != 0) {
        OublierPlan();
        return;
    }
    Geometrie& g = suivi.g;
    g = Mesurer(n, Jeu(n, SensAxe));
    suivi.restants = std::max({ std::abs(static_cast<double>(nX)), std::abs(static_cast<double>(nY)),
        std::abs(static_cast<double>(nZ)) });
    suivi.ouverte = suivi.freinage = false;
    suivi.planifie = plan.actif && plan.i < plan.t.size() && std::equal(n, n + 3, plan.t[plan.i].n);
    if (suivi.planifie) {
        suivi.indice = plan.i++;
        suivi.sortie = plan.t[suivi.indice].sortie * g.k;
    } else {
        plan.actif = false;
        suivi.sortie = g.depart;
    }
    suivi.premier = suivi.planifie && enchainable;
    suivi.f = suivi.premier ? std::min(vitesseFin, Jonction(uFin, g.u)) * g.k : 0;
    enchainable = false;
    suivi.actif = true;
}

void DebutLigneOuverte(int32_t axe, int32_t sens)
{
    int32_t n[3] = { 0, 0, 0 };
    n[axe] = sens;
    suivi.actif = false;
    OublierPlan();
    if (!RampesActives() || SimulationEnForce())
        return;
    suivi.g = Mesurer(n, Jeu(n, SensAxe));
    suivi.restants = Infini;
    suivi.ouverte = true;
    suivi.freinage = suivi.planifie = suivi.premier = false;
    suivi.f = 0;
    suivi.sortie = suivi.g.depart;
    suivi.actif = true;
}

bool Freiner()
{
    if (!suivi.actif)
        return false;
    suivi.freinage = true;
    return suivi.f > suivi.g.depart;
}

void FinLigne()
{
    if (!suivi.actif)
        return;
    suivi.actif = false;
    const bool complete = !suivi.ouverte && suivi.restants <= 0 && !ArretUrgence && !ButeeActivee;
    enchainable
        = complete && suivi.planifie && !plan.t[suivi.indice].arret && suivi.indice + 1 < plan.t.size();
    if (enchainable) {
        vitesseFin = suivi.f / suivi.g.k;
        std::copy(suivi.g.u, suivi.g.u + 3, uFin);
    }
    if (!complete)
        OublierPlan();
}

int64_t PeriodeEvenement(int64_t periodePas)
{
    if (!suivi.actif)
        return periodePas;
    const Geometrie& g = suivi.g;
    suivi.restants = std::max(0.0, suivi.restants - 1);
    if (suivi.planifie && (StopFinBloc || ModePasAPas) && (plan.coupe == Aucun || plan.coupe < suivi.indice))
        Couper();
    const double fp = suivi.f;
    double f = fp <= 0 ? g.depart : (suivi.premier ? fp : Accelerer(fp, g.acc));
    suivi.premier = false;
    f = std::min(f, g.haute);
    // What must hold: the machine can still brake to the move's end speed.
    if (suivi.freinage)
        f = std::min(f, std::max(Ralentir(fp, g.acc), g.depart));
    else
        f = std::min(f, Descente(suivi.sortie, g.acc, suivi.restants));
    // The feed (and its override) is reached by braking, never by a jump.
    const double frequence = static_cast<double>(FreqCompteur);
    const double avance = periodePas > 0 ? frequence / static_cast<double>(periodePas) : Infini;
    f = std::max(1.0, std::min(f, std::max(avance, Ralentir(fp, g.acc))));
    // Braking rounds up, so a brake is never longer than planned; the next
    // event counts from the rate made, so the clock's rounding does not add up.
    const double p = frequence / f;
    const int64_t periode = std::max<int64_t>(1, f < fp ? static_cast<int64_t>(std::ceil(p)) : Arrondi64(p));
    suivi.f = frequence / static_cast<double>(periode);
    return periode;
}

bool RampeEnCours()
{
    return suivi.actif;
}

void ApresRattrapage()
{
    if (suivi.actif && suivi.f > 0) {
        suivi.f = std::min(suivi.f, suivi.g.depart);
        suivi.premier = false;
    }
}

double DistanceFreinage(int32_t axe)
{
    if (axe < 0 || axe > 2 || !RampeAxe(axe))
        return 0;
    const double h = VitesseRampe[axe], d = AvMax[axe];
    return (h * h - d * d) / (2.0 * Acceleration[axe]) * ValPas[axe];
}

} // namespace virmak
