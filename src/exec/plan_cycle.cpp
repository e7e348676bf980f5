#include "exec/plan_cycle.h"

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "machine/cn_algos.h"
#include "machine/in_out.h"

namespace virmak {

namespace {

    bool Arrete(const LigneProg& b)
    {
        const int32_t m = b.CodeM[1];
        return m == 0 || m == 3 || m == 5;
    }

} // namespace

std::vector<Troncon> TronconsCycle(size_t premier, size_t& dernier)
{
    std::vector<Troncon> t;
    int32_t pas[3] = { PosPas[0], PosPas[1], PosPas[2] };
    double mm[3];
    const auto mesurer = [&] {
        for (int i = 0; i < 3; ++i)
            mm[i] = pas[i] * ValPas[i];
    };
    const auto ajouter = [&](double x, double y, double z, double avance, size_t bloc) {
        if (t.size() >= TronconsMaxi)
            return false;
        Troncon s;
        const double cible[3] = { x, y, z };
        for (int i = 0; i < 3; ++i) {
            s.n[i] = PasDe(cible[i] - mm[i], i);
            pas[i] += s.n[i];
        }
        mesurer();
        if (s.n[0] == 0 && s.n[1] == 0 && s.n[2] == 0)
            return true;
        s.avance = avance;
        s.bloc = bloc;
        t.push_back(s);
        return true;
    };
    mesurer();
    const double correction = Form1.TrackBarTAv.Position / 10.0;
    dernier = premier;
    for (size_t i = premier; i <= NbLignesCorr && i < TabProgCorr.size(); ++i) {
        const LigneProg& b = TabProgCorr[i];
        // The operator's box or the spindle come before the block's motion.
        if (i > premier && Arrete(b))
            break;
        dernier = i;
        const int32_t g = b.CodeG[0];
        const bool bouge = b.X != mm[0] || b.Y != mm[1] || b.Z != mm[2];
        bool entier = true;
        if (bouge && g >= 0 && g <= 1) {
            entier = ajouter(b.X, b.Y, b.Z, (g == 0 ? AvanceMax * AvRap : b.Avance) * correction / 60, i);
        } else if (bouge && g <= 3) {
            const double z = mm[2];
            entier = PointsArc(g == 2 ? 0 : 1, mm[0], mm[1], b.X, b.Y, b.I, b.J,
                [&](double x, double y) { return ajouter(x, y, z, b.Avance * correction / 60, i); });
        }
        // A plan as long as memory allows is far longer than any braking:
        // the rest is planned once the machine stands at its end.
        if (!entier)
            break;
        const int32_t cycle = b.CodeG[1];
        if (cycle == 81 || cycle == 82 || cycle == 83 || ModePasAPas || StopFinBloc)
            break;
    }
    if (!t.empty())
        t.back().arret = true;
    return t;
}

void PlanifierCycle(size_t bloc)
{
    // Without a machine nothing is emitted: no plan to follow.
    if (!RampesActives() || SimulationEnForce() || PlanCouvre(bloc))
        return;
    size_t dernier = bloc;
    std::vector<Troncon> t = TronconsCycle(bloc, dernier);
    ChargerPlan(std::move(t), dernier);
}

} // namespace virmak
