#pragma once
// Tool-radius and tool-length compensation: turns the analysed program
// TabProg, which describes the part's contour, into TabProgCorr, the path of
// the tool centre that the machining cycle executes and the preview draws.

#include "iso/geometrie.h"

#include <cstddef>

namespace virmak {

inline constexpr const char* TextePriseCorrection = "Prise de correction non valide !";
inline constexpr const char* TexteParcoursTropLong
    = "Parcours outil trop long : plus de 65535 blocs après correction d'outil. "
      "Le programme ne peut pas être exécuté ; divisez-le en plusieurs programmes.";

inline constexpr double ToleranceJonction = 0.001; // closer ends are already joined
inline constexpr double ToleranceAlerte = 0.005; // several crossings: farther ends are warned about
inline constexpr double EcartMaxiDroit = 0.02; // smaller gaps are bridged straight, never by an arc

// First block after `a` whose segment number changes, i.e. the next XY move;
// NbLignesProg - 1 (never below 0) when there is none.
int SegmentSuivant(int a);

// The XY move from block a to block b: Nature from b's motion mode (rapid
// taken as a line), centre (I, J) of b for an arc.
ElementGeo DecritSegment(int a, int b);

// Appends at index n copies of blocks s+1 to k-1 at e.Debut, then of block k
// at e.Fin, each with its length correction; returns the next free index.
std::size_t CopieSegment(std::size_t n, int s, int k, const ElementGeo& e);

// The pass. Rebuilds TabProgCorr and NbLignesCorr from TabProg, growing
// TabProgCorr as needed. Returns false, with NbLignesCorr 0 and
// ParcoursCalcule false, when the path would not fit the block numbering;
// the operator is told why.
bool CorrectionOutils();

} // namespace virmak
