#pragma once
// One analysed ISO block, carrying the whole modal state at its end.

#include <array>
#include <cstdint>
#include <string>

namespace virmak {

inline constexpr int32_t MSlotVide = 999;

struct LigneProg {
    int32_t NumBloc = 0; // N word
    uint16_t IndexLigne = 0; // program list line that produced it
    std::array<int32_t, 11> CodeG {}; // [0] motion 0..3, [1] cycle 0/81/82/83
    std::array<int32_t, 11> CodeM {}; // [1..10] M words in order, 999 = empty
    double X = 0, Y = 0, Z = 0; // end point, mm, absolute
    double I = 0, J = 0, K = 0; // arc centre, mm, absolute
    double XCycle = 0, YCycle = 0, ZCycle = 0; // hole position and bottom
    int32_t VitBroche = 0; // S word
    double Avance = 0; // F word x unit factor, whole mm/min
    int32_t NumOutil = 0; // T word
    double CorRayon = 0; // -1 G41, +1 G42, 0 G40; then signed offset
    bool CorLongueur = false; // G43 on, G49 off
    std::string Commentaire; // last comment met
    uint16_t NumSegment = 0; // XY segment number
    double P = 0, Q = 0, R = 0; // drilling-cycle words
    bool CentresRelatifs = false; // G91.1 on, G90.1 off: I, J are written from the start point
};

} // namespace virmak
