#include "foundation/memoire.h"

#include <cstdint>
#include <sys/mman.h>

// Under AddressSanitizer every block comes from new, where a write past a
// table's end is caught.
#if defined(__SANITIZE_ADDRESS__)
#define VIRMAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIRMAK_ASAN 1
#endif
#endif
#ifndef VIRMAK_ASAN
#define VIRMAK_ASAN 0
#endif

namespace virmak {

namespace {

    constexpr bool Sanitiseur = VIRMAK_ASAN;

    std::size_t Arrondie(std::size_t octets)
    {
        return (octets + TailleGrandePage - 1) & ~(TailleGrandePage - 1);
    }

} // namespace

void* AllouerTable(std::size_t octets)
{
    if (octets < TailleGrandePage || Sanitiseur)
        return ::operator new(octets);
    const std::size_t taille = Arrondie(octets);
    if (taille < octets || taille + TailleGrandePage < taille)
        throw std::bad_alloc();
    // One huge page more than needed, then what lies outside the aligned
    // block is given back.
    void* p = ::mmap(
        nullptr, taille + TailleGrandePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    const auto debut = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligne = (debut + TailleGrandePage - 1) & ~(TailleGrandePage - 1);
    if (aligne > debut)
        ::munmap(p, aligne - debut);
    if (const std::size_t apres = debut + TailleGrandePage - aligne; apres > 0)
        ::munmap(reinterpret_cast<void*>(aligne + taille), apres);
    // Advice only: refused or without effect, the block is the same.
    ::madvise(reinterpret_cast<void*>(aligne), taille, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligne);
}

void LibererTable(void* bloc, std::size_t octets)
{
    if (!bloc)
        return;
    if (octets < TailleGrandePage || Sanitiseur)
        ::operator delete(bloc);
    else
        ::munmap(bloc, Arrondie(octets));
}

} // namespace virmak
