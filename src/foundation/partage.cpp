#include "foundation/partage.h"

namespace virmak {

namespace {
    EntreesOperateur entrees;
    std::atomic<double> visues[3] {};

    template <typename E> int Rang(E e)
    {
        return static_cast<int>(e);
    }
} // namespace

void EntreesOperateur::DefinirTouche(Touche touche, bool enfoncee)
{
    touches_[Rang(touche)].store(enfoncee, std::memory_order_relaxed);
}

void EntreesOperateur::DefinirBouton(BoutonSouris bouton, bool enfonce)
{
    boutons_[Rang(bouton)].store(enfonce, std::memory_order_relaxed);
}

void EntreesOperateur::DefinirFenetreActive(bool active)
{
    fenetreActive_.store(active, std::memory_order_relaxed);
    if (!active)
        ToutRelacher();
}

void EntreesOperateur::DefinirFocus(Focus focus)
{
    focus_.store(Rang(focus), std::memory_order_relaxed);
}

void EntreesOperateur::ToutRelacher()
{
    for (auto& t : touches_)
        t.store(false, std::memory_order_relaxed);
    for (auto& b : boutons_)
        b.store(false, std::memory_order_relaxed);
}

bool EntreesOperateur::ToucheEnfoncee(Touche touche) const
{
    return touches_[Rang(touche)].load(std::memory_order_relaxed);
}

bool EntreesOperateur::BoutonEnfonce(BoutonSouris bouton) const
{
    return boutons_[Rang(bouton)].load(std::memory_order_relaxed);
}

EntreesOperateur& Entrees()
{
    return entrees;
}

void PublierVisue(int axe, double mm)
{
    if (axe >= 0 && axe < 3)
        visues[axe].store(mm, std::memory_order_relaxed);
}

double VisuePubliee(int axe)
{
    return (axe >= 0 && axe < 3) ? visues[axe].load(std::memory_order_relaxed) : 0.0;
}

} // namespace virmak
