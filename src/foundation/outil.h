#pragma once

#include <string>

namespace virmak {

inline constexpr int NbOutils = 100;

struct TOutil {
    std::string Designation;
    double Jauge[2] = { 0, 0 }; // [0] diameter, [1] length, mm
    double CorDyn[2] = { 0, 0 }; // wear on the radius and on the length, mm
};

} // namespace virmak
