#pragma once
// What every fuzz target shares: a view that counts warnings instead of
// printing them (the fuzzer meets thousands), and a check that stops the
// run where a property breaks.

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

} // namespace virmak::fuzz
