#pragma once
// Services of the machine the program runs on: the high-resolution counter,
// the real-time priority switch, the live state of keys and mouse buttons
// and a millisecond sleep. Linux provides them in production; tests use a
// virtual clock that jumps to the awaited instant.

#include <cstdint>

namespace virmak {

enum class Touche { Gauche, Droite, Haut, Bas, PagePrecedente, PageSuivante, F1, F2, Echap };
enum class BoutonSouris { Gauche, Droit };

class Plateforme {
public:
    virtual ~Plateforme() = default;
    virtual int64_t Compteur() = 0; // ticks, monotonic
    virtual int64_t FrequenceCompteur() = 0; // ticks per second
    // True when real-time priority was granted (false: normal priority).
    virtual bool PrioriteTempsReel(bool active) = 0;
    // Returns once the counter has reached `echeance`, with the counter's
    // reading then; at once when it already has.
    virtual int64_t AttendreJusqua(int64_t echeance) = 0;
    // The same without the precision: a long wait cut in slices sleeps
    // through each but the last, and wakes a little late at worst.
    virtual int64_t DormirJusqua(int64_t echeance) { return AttendreJusqua(echeance); }
    virtual bool ToucheEnfoncee(Touche touche) = 0;
    // Down now, or pressed since the last call: what a periodic poll must
    // not miss.
    virtual bool ToucheFrappee(Touche touche) { return ToucheEnfoncee(touche); }
    // The presses since the last call, each counted once however short.
    // Here, where only the state of the keys is known: a key found down
    // after a call that found it up.
    virtual int Frappes(Touche touche);
    virtual bool BoutonEnfonce(BoutonSouris bouton) = 0;
    virtual void Dormir(int millisecondes) = 0;

private:
    bool vuesEnfoncees_[static_cast<int>(Touche::Echap) + 1] = {};
};

// CLOCK_MONOTONIC in nanoseconds, SCHED_FIFO when permitted. Keys and
// buttons are those the window thread keeps up to date (foundation/partage).
class PlateformeLinux : public Plateforme {
public:
    int64_t Compteur() override;
    int64_t FrequenceCompteur() override;
    bool PrioriteTempsReel(bool active) override;
    int64_t AttendreJusqua(int64_t echeance) override;
    int64_t DormirJusqua(int64_t echeance) override;
    bool ToucheEnfoncee(Touche touche) override;
    bool ToucheFrappee(Touche touche) override;
    int Frappes(Touche touche) override;
    bool BoutonEnfonce(BoutonSouris bouton) override;
    void Dormir(int millisecondes) override;
};

// A virtual clock in nanoseconds for dry runs: a wait jumps to its
// deadline, a sleep advances the clock, no key is ever down.
class PlateformeVirtuelle : public Plateforme {
public:
    int64_t Compteur() override { return maintenant; }
    int64_t FrequenceCompteur() override { return frequence; }
    bool PrioriteTempsReel(bool active) override { return active; }
    int64_t AttendreJusqua(int64_t echeance) override
    {
        return maintenant = echeance > maintenant ? echeance : maintenant;
    }
    bool ToucheEnfoncee(Touche) override { return false; }
    bool BoutonEnfonce(BoutonSouris) override { return false; }
    void Dormir(int millisecondes) override
    {
        maintenant += frequence / 1000 * static_cast<int64_t>(millisecondes > 0 ? millisecondes : 0);
    }
    int64_t maintenant = 0;
    int64_t frequence = 1000000000; // ticks per second
};

Plateforme& PlateformeActive();
void DefinirPlateforme(Plateforme* plateforme); // nullptr restores Linux

} // namespace virmak
