#include "foundation/partage.h"

#include <chrono>

namespace virmak {

namespace {
    EntreesOperateur entrees;
    std::atomic<double> visues[3] {};

    template <typename E> int Rang(E e)
    {
        return static_cast<int>(e);
    }
} // namespace

int64_t InstantNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool FocusDeSaisie(Focus focus)
{
    return focus != Focus::Aucun && focus != Focus::Autre;
}

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
    const Focus avant = static_cast<Focus>(focus_.exchange(Rang(focus), std::memory_order_relaxed));
    // A tap noted just before the operator clicked into a field must not
    // jog once the field has the focus, nor later.
    if (FocusDeSaisie(focus))
        OublierFrappes();
    // F1 and F2 are noted in a field too, for a move's steps; once out of
    // the field they are no notch of the monitor's.
    else if (FocusDeSaisie(avant))
        for (Touche t : { Touche::F1, Touche::F2 })
            frappes_[Rang(t)].store(0, std::memory_order_relaxed);
}

void EntreesOperateur::NoterFrappe(Touche touche)
{
    frappes_[Rang(touche)].fetch_add(1, std::memory_order_relaxed);
}

bool EntreesOperateur::PrendreFrappe(Touche touche)
{
    return PrendreFrappes(touche) > 0;
}

int EntreesOperateur::PrendreFrappes(Touche touche)
{
    // Polled at every step: the locked exchange only when there is a press
    // to take.
    auto& frappes = frappes_[Rang(touche)];
    return frappes.load(std::memory_order_relaxed) != 0 ? frappes.exchange(0, std::memory_order_relaxed) : 0;
}

void EntreesOperateur::OublierFrappes()
{
    for (auto& f : frappes_)
        f.store(0, std::memory_order_relaxed);
}

void EntreesOperateur::Battre(int64_t instantNs)
{
    battement_.store(instantNs, std::memory_order_relaxed);
}

void EntreesOperateur::FinBattement()
{
    battement_.store(0, std::memory_order_relaxed);
}

bool EntreesOperateur::Vivante() const
{
    const int64_t b = battement_.load(std::memory_order_relaxed);
    return b == 0 || InstantNs() - b <= SilenceMaxNs;
}

void EntreesOperateur::ToutRelacher()
{
    for (auto& t : touches_)
        t.store(false, std::memory_order_relaxed);
    for (auto& b : boutons_)
        b.store(false, std::memory_order_relaxed);
    OublierFrappes();
}

bool EntreesOperateur::ToucheEnfoncee(Touche touche) const
{
    return touches_[Rang(touche)].load(std::memory_order_relaxed) && Vivante();
}

bool EntreesOperateur::BoutonEnfonce(BoutonSouris bouton) const
{
    return boutons_[Rang(bouton)].load(std::memory_order_relaxed) && Vivante();
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
