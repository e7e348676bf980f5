#pragma once
// The plausible range of every number read from a key file, in one table.
// A value outside its range is refused by the reading itself: the caller
// gets its default and the history one line naming the key and the value.

#include <string_view>

namespace virmak {

struct PlageCle {
    const char* section; // base name: "OUTIL" stands for OUTIL(0) to OUTIL(99)
    const char* cle; // full name, or base name for every index: "AvMax"
    double min, max; // inclusive
};

// The range of a key, or nullptr when its numbers are not checked (the
// booleans, and MaxLProg, which is taken modulo 65536).
const PlageCle* PlageDe(std::string_view section, std::string_view cle);

} // namespace virmak
