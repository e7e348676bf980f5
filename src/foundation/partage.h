#pragma once
// What the window thread and the machine thread share without a lock: the
// operator's inputs that a move polls at each step (kept by the window
// thread from its key, mouse and focus events) and the readout values a
// move leaves for the window to show.

#include "foundation/plateforme.h"

#include <atomic>

namespace virmak {

// The fields and the list in which the arrows type or scroll instead of
// jogging; Saisie is any other field, list or combo, where they do too;
// Autre is any other control, Aucun no focus in the main window.
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
    Saisie,
};

// True when the arrows edit or scroll in that control rather than jog.
bool FocusDeSaisie(Focus focus);

inline constexpr int NbTouches = 9;

// The monotonic clock in nanoseconds.
int64_t InstantNs();
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
    // A jog or override key pressed where it acts: remembered until the
    // monitor tick or a step takes it, so a tap shorter than the tick still
    // acts, once per tap.
    void NoterFrappe(Touche touche);
    // The window thread is alive: called at every readout refresh. Keys and
    // buttons of a window that stopped answering read as released.
    void Battre(int64_t instantNs = InstantNs());
    void FinBattement();

    // Any thread; a load each, nothing more.
    bool ToucheEnfoncee(Touche touche) const;
    bool BoutonEnfonce(BoutonSouris bouton) const;
    bool FenetreActive() const { return fenetreActive_.load(std::memory_order_relaxed); }
    // Pressed since the last call, and forgotten.
    bool PrendreFrappe(Touche touche);
    // How many times, and forgotten.
    int PrendreFrappes(Touche touche);

    // The window is closing: a move in progress stops at its next step.
    void DemanderArret(bool demande) { arret_.store(demande, std::memory_order_relaxed); }
    bool ArretDemande() const { return arret_.load(std::memory_order_relaxed); }

    // "URGENCE" pressed or Escape down, on the window thread: set at once,
    // whatever the machine thread is doing, and taken by it at its next step
    // or in the wait it is in. A press never releases the stop.
    void DemanderUrgence() { urgence_.store(true, std::memory_order_release); }
    bool UrgenceDemandee() const { return urgence_.load(std::memory_order_acquire); }
    // Machine thread: true once per request.
    bool PrendreUrgence()
    {
        return urgence_.load(std::memory_order_relaxed)
            && urgence_.exchange(false, std::memory_order_acq_rel);
    }
    Focus FocusActuel() const { return static_cast<Focus>(focus_.load(std::memory_order_relaxed)); }

    // Longer than this without a heartbeat, the window is taken as gone.
    static constexpr int64_t SilenceMaxNs = 250'000'000;

private:
    bool Vivante() const;
    void OublierFrappes();

    std::atomic<bool> touches_[NbTouches] {};
    std::atomic<int> frappes_[NbTouches] {};
    std::atomic<int64_t> battement_ { 0 }; // 0: no window keeps the inputs
    std::atomic<bool> boutons_[NbBoutons] {};
    std::atomic<bool> fenetreActive_ { false };
    std::atomic<bool> arret_ { false };
    std::atomic<bool> urgence_ { false };
    std::atomic<int> focus_ { static_cast<int>(Focus::Aucun) };
};

EntreesOperateur& Entrees();

// Readouts: the millimetres each axis readout last showed. The window
// thread repaints the readouts from these about 50 times a second.
void PublierVisue(int axe, double mm);
double VisuePubliee(int axe);

} // namespace virmak
