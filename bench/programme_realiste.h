#pragma once
// A long, realistic milling program for the benchmarks: contour passes with
// lines and arcs under compensation, drilling series, tool changes and
// comments. The same program on every run.

#include <cstddef>
#include <string>
#include <vector>

namespace virmak::bench {

inline constexpr std::size_t NbLignesProgramme = 30000;

std::vector<std::string> ProgrammeRealiste();

// The parser's settings at their defaults, its warnings off.
void PreparerAnalyse();

} // namespace virmak::bench
