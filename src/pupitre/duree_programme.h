#pragma once
// The machining time of the loaded program as virmak-cli execute --temps
// gives it (the virtual clock's exact sum), read back for the program
// group: the whole time at load, the time left during a run.

#include <string>
#include <string_view>
#include <vector>

namespace virmak {

struct DureeProgramme {
    double Totale = -1; // seconds; below 0: unknown
    std::vector<double> FinBloc; // by block number, 0 for block 0
    bool Connue() const { return Totale >= 0; }
    // Once block `bloc` has ended (0: none yet) and `ecoule` seconds went
    // by in the next one, counted at most up to its end.
    double Restante(int bloc, double ecoule = 0) const;
};

// From execute --temps' output: unknown unless the run ended normally and
// every block has its instant.
DureeProgramme LireDureeExecute(std::string_view sortie);

// "1 h 02 min 05 s", "3 min 07 s", "12 s": to the nearest second.
std::string TexteDuree(double secondes);

} // namespace virmak
