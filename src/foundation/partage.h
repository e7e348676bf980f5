#pragma once
// What the window thread and the machine thread share without a lock: the
// operator's inputs that a move polls at each step (kept by the window
// thread from its key, mouse and focus events) and the readout values a
// move leaves for the window to show.

#include "foundation/plateforme.h"

#include <atomic>

namespace virmak {

// The fields and the list in which the arrows type or scroll instead of
// jogging; Autre is any other control, Aucun no focus in the main window.
enum class Focus : int {
    Aucun,
    Autre,
    EditLigneProg,
    ListBoxProg1,
    EditGoX,
    EditGoY,
    EditGoZ,
    EditX,
    EditY,
    EditZ,
};

inline constexpr int NbTouches = 9;
inline constexpr int NbBoutons = 2;

class EntreesOperateur {
public:
    // Window thread.
    void DefinirTouche(Touche touche, bool enfoncee);
    void DefinirBouton(BoutonSouris bouton, bool enfonce);
    void DefinirFenetreActive(bool active);
    void DefinirFocus(Focus focus);
    // The application lost the focus: no key or button can be held any more
    // as far as a move is concerned, so a jog never runs away.
    void ToutRelacher();

    // Any thread; a load each, nothing more.
    bool ToucheEnfoncee(Touche touche) const;
    bool BoutonEnfonce(BoutonSouris bouton) const;
    bool FenetreActive() const { return fenetreActive_.load(std::memory_order_relaxed); }

    // The window is closing: a move in progress stops at its next step.
    void DemanderArret(bool demande) { arret_.store(demande, std::memory_order_relaxed); }
    bool ArretDemande() const { return arret_.load(std::memory_order_relaxed); }
    Focus FocusActuel() const { return static_cast<Focus>(focus_.load(std::memory_order_relaxed)); }

private:
    std::atomic<bool> touches_[NbTouches] {};
    std::atomic<bool> boutons_[NbBoutons] {};
    std::atomic<bool> fenetreActive_ { false };
    std::atomic<bool> arret_ { false };
    std::atomic<int> focus_ { static_cast<int>(Focus::Aucun) };
};

EntreesOperateur& Entrees();

// Readouts: the millimetres each axis readout last showed. The window
// thread repaints the readouts from these about 50 times a second.
void PublierVisue(int axe, double mm);
double VisuePubliee(int axe);

} // namespace virmak
