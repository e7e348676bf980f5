#pragma once
// A machine on a simulated port: it decodes the step and direction edges
// of the data written with the current pin assignment and inversion, counts
// each axis's position, and answers the status register with its limit
// switches and emergency-stop input. Chosen only when asked for on the
// command line; the window and tests read and drive it from any thread.

#include "machine/in_out.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace virmak {

struct PasVirtuel {
    int64_t instant; // counter ticks
    int axe; // 0 = X, 1 = Y, 2 = Z
    int sens; // +1 or -1
};

class MachineVirtuelle : public AccesPort {
public:
    bool Lire(uint16_t adresse, uint8_t& valeur) override;
    bool Ecrire(uint16_t adresse, uint8_t valeur) override;
    std::string Nom() const override { return "machine virtuelle"; }
    std::string Defaut() const override { return "panne simulée"; }

    // A port that stops answering: every access fails from the `apres`-th
    // write from now on (0: at once), until Reparer.
    void Tomber(int64_t apres = 0) { panneDans_.store(apres); }
    void Reparer() { panneDans_.store(-1); }

    int64_t Position(int axe) const { return position_[axe].load(std::memory_order_relaxed); }
    // Steps decoded on the axis, both ways.
    int64_t PasEmis(int axe) const { return emis_[axe].load(std::memory_order_relaxed); }
    void DefinirPosition(int axe, int64_t pas) { position_[axe].store(pas, std::memory_order_relaxed); }

    // A switch closed by hand stays closed; otherwise it closes when the
    // axis leaves [-course, +course] steps (0: no travel limit).
    void FermerButee(int axe, bool fermee) { buteeForcee_[axe].store(fermee); }
    bool ButeeForcee(int axe) const { return buteeForcee_[axe].load(); }
    void DefinirCourse(int axe, int64_t pas) { course_[axe].store(pas); }
    int64_t Course(int axe) const { return course_[axe].load(); }
    bool ButeeFermee(int axe) const;
    void DefinirArretUrgence(bool actif) { arret_.store(actif); }

    // The tool probe: closed by hand, or by a touch plate whose top is at
    // `hauteur` steps of Z (the probe closes at or below it).
    void FermerPalpeur(bool ferme) { palpeurForce_.store(ferme); }
    bool PalpeurForce() const { return palpeurForce_.load(); }
    void DefinirCale(bool presente, int64_t hauteur)
    {
        cale_.store(hauteur);
        calePresente_.store(presente);
    }
    bool CalePresente() const { return calePresente_.load(); }
    int64_t Cale() const { return cale_.load(); }
    bool PalpeurFerme() const;

    // The next `n` steps of `axe` reach the drive but not the axis, as a
    // motor that stalls: the position counted drifts from the real one.
    void PerdrePas(int axe, int64_t n) { aPerdre_[axe].store(n); }
    bool ArretUrgenceActif() const { return arret_.load(); }

    // The data byte latch A last took, and the control register as left.
    uint8_t LatchA() const { return latch_[0].load(); }
    uint8_t LatchB() const { return latch_[1].load(); }
    uint8_t LatchC() const { return latch_[2].load(); }
    uint8_t Controle() const { return controle_.load(); }

    // Every step with its instant, when asked; the room is taken up front
    // so that recording never allocates during a move. Pas can be called
    // from any thread; PasEnregistres, without a copy, only from the thread
    // that writes the port, until the next Enregistrer.
    void Enregistrer(size_t capacite);
    std::vector<PasVirtuel> Pas() const;
    std::span<const PasVirtuel> PasEnregistres() const;
    // Steps whose direction line changed less than `delai` ticks before
    // the step edge.
    void DefinirDelaiDirection(int64_t delai) { delaiDirection_.store(delai); }
    int64_t ViolationsDirection() const { return violations_.load(); }

private:
    void Prendre(int latch);
    void Decoder(uint8_t octet);
    // Only the thread that writes the port changes these counts: a relaxed
    // load and store, no locked instruction, in the path of every step.
    static void Ajouter(std::atomic<int64_t>& compte, int64_t n)
    {
        compte.store(compte.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
    }

    uint8_t donnees_ = 0;
    std::atomic<uint8_t> controle_ { 0 };
    std::atomic<uint8_t> latch_[3] {};
    uint8_t logiquePrecedent_ = 0; // every line inactive before the first latch
    bool premiereFois_[3] = { true, true, true };
    std::atomic<int64_t> position_[3] {};
    std::atomic<int64_t> emis_[3] {};
    std::atomic<int64_t> course_[3] {};
    std::atomic<bool> buteeForcee_[3] {};
    std::atomic<bool> arret_ { false };
    std::atomic<bool> palpeurForce_ { false };
    std::atomic<bool> calePresente_ { false };
    std::atomic<int64_t> cale_ { 0 };
    std::atomic<int64_t> aPerdre_[3] {};
    int64_t changementSens_[3] = { INT64_MIN / 2, INT64_MIN / 2, INT64_MIN / 2 };
    std::atomic<int64_t> delaiDirection_ { 0 };
    std::atomic<int64_t> violations_ { 0 };
    std::atomic<int64_t> panneDans_ { -1 }; // writes left before the port fails; -1: never
    mutable std::mutex enregistrement_; // Enregistrer against Pas
    std::unique_ptr<PasVirtuel[]> pas_;
    size_t capacite_ = 0;
    std::atomic<size_t> nbPas_ { 0 }; // published after each step is written
};

// The virtual machine when the port in use is one, else nullptr.
MachineVirtuelle* MachineVirtuelleActive();

} // namespace virmak
