#include "machine/machine_virtuelle.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/plateforme.h"

namespace virmak {

bool MachineVirtuelle::ButeeFermee(int axe) const
{
    if (buteeForcee_[axe].load(std::memory_order_relaxed))
        return true;
    const int64_t course = course_[axe].load(std::memory_order_relaxed);
    const int64_t p = Position(axe);
    return course > 0 && (p > course || p < -course);
}

bool MachineVirtuelle::PalpeurFerme() const
{
    return palpeurForce_.load(std::memory_order_relaxed)
        || (calePresente_.load(std::memory_order_relaxed)
            && Position(2) <= cale_.load(std::memory_order_relaxed));
}

bool MachineVirtuelle::Lire(uint16_t adresse, uint8_t& valeur)
{
    valeur = 0;
    if (panneDans_.load(std::memory_order_relaxed) == 0)
        return false;
    if (adresse != AdrELPT)
        return true;
    // The logical inputs put on the lines they are wired to, then the
    // inversion of each line, as a real switch wired that way would read.
    uint8_t logique = 0;
    for (int axe = 0; axe < 3; ++axe)
        if (ButeeFermee(axe))
            logique |= MasqueButee[axe];
    if (arret_.load(std::memory_order_relaxed))
        logique |= MasqueArret;
    if (PalpeurFerme())
        logique |= MasquePalpeur;
    valeur = static_cast<uint8_t>((logique ^ InInvert) & 0xF8);
    return true;
}

bool MachineVirtuelle::Ecrire(uint16_t adresse, uint8_t valeur)
{
    const int64_t panne = panneDans_.load(std::memory_order_relaxed);
    if (panne == 0)
        return false;
    if (panne > 0)
        panneDans_.store(panne - 1, std::memory_order_relaxed);
    if (adresse == AdrDLPT) {
        donnees_ = valeur;
        return true;
    }
    if (adresse != AdrCLPT)
        return true;
    // A latch takes the data lines on the rising edge of its control bit.
    const uint8_t avant = controle_.load(std::memory_order_relaxed);
    controle_.store(valeur, std::memory_order_relaxed);
    for (int latch = 0; latch < 3; ++latch) {
        const uint8_t bit = static_cast<uint8_t>(1u << latch);
        if ((valeur & bit) && !(avant & bit))
            Prendre(latch);
    }
    return true;
}

void MachineVirtuelle::Prendre(int latch)
{
    // The same byte again changes no line: nothing to decode.
    const uint8_t avant = latch_[latch].load(std::memory_order_relaxed);
    latch_[latch].store(donnees_, std::memory_order_relaxed);
    if (avant == donnees_ && !premiereFois_[latch])
        return;
    premiereFois_[latch] = false;
    if (latch == 0)
        Decoder(donnees_);
}

void MachineVirtuelle::Decoder(uint8_t octet)
{
    const uint8_t logique = octet ^ OutInvert;
    const int64_t maintenant = PlateformeActive().Compteur();
    for (int axe = 0; axe < 3; ++axe) {
        const uint8_t pas = MasquePas[axe];
        const uint8_t sens = static_cast<uint8_t>(MasquePasDir[axe] & ~pas);
        if (sens && ((logique ^ logiquePrecedent_) & sens))
            changementSens_[axe] = maintenant;
        if (!pas || !(logique & pas) || (logiquePrecedent_ & pas))
            continue;
        const int direction = (sens && (logique & sens)) ? 1 : -1;
        Ajouter(emis_[axe], 1);
        // A step the stalled motor drops: the drive had it, the axis not.
        if (aPerdre_[axe].load(std::memory_order_relaxed) > 0)
            aPerdre_[axe].fetch_sub(1, std::memory_order_relaxed);
        else
            Ajouter(position_[axe], direction);
        if (maintenant - changementSens_[axe] < delaiDirection_.load(std::memory_order_relaxed))
            Ajouter(violations_, 1);
        const size_t n = nbPas_.load(std::memory_order_relaxed);
        if (n < capacite_) {
            pas_[n] = { maintenant, axe, direction };
            nbPas_.store(n + 1, std::memory_order_release);
        }
    }
    logiquePrecedent_ = logique;
}

void MachineVirtuelle::Enregistrer(size_t capacite)
{
    std::lock_guard<std::mutex> garde(enregistrement_);
    nbPas_.store(0, std::memory_order_relaxed);
    // Not filled: only the steps recorded take memory.
    pas_ = capacite > 0 ? std::make_unique_for_overwrite<PasVirtuel[]>(capacite) : nullptr;
    capacite_ = capacite;
}

std::vector<PasVirtuel> MachineVirtuelle::Pas() const
{
    std::lock_guard<std::mutex> garde(enregistrement_);
    const std::span<const PasVirtuel> pas = PasEnregistres();
    return { pas.begin(), pas.end() };
}

std::span<const PasVirtuel> MachineVirtuelle::PasEnregistres() const
{
    return { pas_.get(), nbPas_.load(std::memory_order_acquire) };
}

MachineVirtuelle* MachineVirtuelleActive()
{
    return dynamic_cast<MachineVirtuelle*>(&PortActif());
}

} // namespace virmak
