#pragma once
// The ISO block parser: one line of text into one LigneProg. Each record
// starts as a copy of the block before it, so it holds the whole modal state
// at the end of its block.

#include "foundation/ligne_prog.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace virmak {

inline constexpr const char* TexteCodeD = "Code D non traité, utiliser T ! ";
inline constexpr const char* TexteCodeH = "Code H non traité, utiliser T ! ";

// The scanners take and return 1-based positions: on entry that of the
// address letter (or of the character opening the comment), on return that
// of the last character consumed, the letter itself when nothing followed.

// Digits only, no sign; an empty run gives 0, a run too long for 32 bits
// saturates at the int32 limit.
int32_t LireEntier(std::string_view ligne, std::size_t& position);

// The longest run of "+-.0123456789"; its value is that of its longest
// leading part of the form [sign] digits [. digits] (".5", "5." and "-.5"
// included), 0 when there is none. Always finite: a run too long for a
// double saturates at the largest one.
double LireReel(std::string_view ligne, std::size_t& position);

// Text up to, not including, the first ")" or "}", or to the end of the line.
void LireCommentaire(std::string_view ligne, std::size_t& position, std::string& texte);

// What makes a block impossible to run. The parser still gives a record
// (the centre unchanged); the analysis refuses the program.
enum class DefautBloc {
    Aucun,
    ArcRayonSansLongueur, // an R arc that ends where it starts
    ArcRayonTropCourt, // an R arc whose radius cannot reach its end
};

// Parses one line. `resultat` may be the same object as `precedente`.
// The arc centre is settled once the whole line is read, so the order of
// the words does not matter to it: under G91.1 I and J are offsets from the
// start point (an offset left out of an arc block is 0), and a G2 or G3 block
// with R and neither I nor J is an arc of that radius, whose R is then no
// drilling parameter (0 in the record).
DefautBloc AnalyseLigne(std::string_view ligne, const LigneProg& precedente, LigneProg& resultat);

} // namespace virmak
