#pragma once
// Storage for the large tables (the analysed program and the tool-centre
// path). A page fault costs a few microseconds, ten on some virtual
// machines, and a table of 30 000 records spans thousands of 4 KB pages.

#include <cstddef>
#include <new>

namespace virmak {

inline constexpr std::size_t TailleGrandePage = std::size_t { 2 } << 20;

// A block of `octets` bytes; from 2 MB on, mapped on a 2 MB boundary and
// marked for huge pages (a few faults instead of 512 per 2 MB where the
// kernel offers transparent huge pages; nothing changes where it does not).
// Never touched here, so what is not used takes no memory. Throws
// std::bad_alloc like new.
void* AllouerTable(std::size_t octets);
void LibererTable(void* bloc, std::size_t octets);

template <class T> struct AllocateurTable {
    using value_type = T;
    AllocateurTable() = default;
    template <class U> AllocateurTable(const AllocateurTable<U>&) noexcept { }
    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(AllouerTable(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { LibererTable(p, n * sizeof(T)); }
    template <class U> bool operator==(const AllocateurTable<U>&) const noexcept { return true; }
};

} // namespace virmak
