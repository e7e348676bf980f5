#include "iso/trace_prog.h"

#include "foundation/nombres.h"

#include <algorithm>

namespace virmak {

namespace {

    std::string Reel(double v)
    {
        return FormatFixe(v, 8, 3);
    }

} // namespace

std::string DebutLigneBloc(const LigneProg& l)
{
    std::string s;
    s.reserve(176);
    s += "L" + FormatEntier(l.IndexLigne, 3);
    s += "  G" + FormatEntier(l.CodeG[0], 2);
    s += "  X" + Reel(l.X);
    s += "  Y" + Reel(l.Y);
    s += "  Z" + Reel(l.Z);
    return s;
}

std::string LigneTrace(const LigneProg& l)
{
    std::string s = DebutLigneBloc(l);
    s += "  I" + Reel(l.I);
    s += "  J" + Reel(l.J);
    s += "  K" + Reel(l.K);
    s += " > ENT=" + FormatEntier(l.NumSegment, 3);
    s += " COR=" + Reel(l.CorRayon);
    s += " Cycle  G" + FormatEntier(l.CodeG[1], 2);
    s += " EX" + Reel(l.XCycle);
    s += " EY" + Reel(l.YCycle);
    s += " EZ" + Reel(l.ZCycle);
    s += "  P" + Reel(l.P);
    s += "  Q" + Reel(l.Q);
    s += "  R" + Reel(l.R);
    return s;
}

std::string TexteTrace(const std::vector<LigneProg>& table, std::size_t nb)
{
    std::string texte;
    if (table.empty())
        return texte;
    nb = std::min(nb, table.size() - 1);
    texte.reserve(nb * 180);
    for (std::size_t i = 1; i <= nb; ++i) {
        texte += LigneTrace(table[i]);
        texte += "\r\n";
    }
    return texte;
}

} // namespace virmak
