#pragma once
// What every fuzz target shares: a view that counts warnings instead of
// printing them (the fuzzer meets thousands), and a check that stops the
// run where a property breaks.

#include "foundation/cn_varia.h"
#include "foundation/vue.h"

#include <string>

namespace virmak::fuzz {

class VueSilencieuse : public VueMuette {
public:
    void Message(const std::string&) override { ++nombre; }
    long nombre = 0;
};

inline void Verifier(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// The parser's settings at their defaults, warnings on and counted.
inline void PreparerAnalyse(VueSilencieuse& vue)
{
    DefinirVue(&vue);
    MesAvert = true;
    PrgPou = 70;
    PrgMet = 71;
}

} // namespace virmak::fuzz
