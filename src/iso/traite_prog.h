#pragma once
// Part programs: the analysis of the program list into TabProg and its
// listing.

#include "foundation/ligne_prog.h"
#include "foundation/texte.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace virmak {

// Extents of the programmed end points, current position included.
struct BoiteProg {
    double Min[3] = { 0, 0, 0 };
    double Max[3] = { 0, 0, 0 };
};

inline constexpr int LongueurNomAffiche = 50;

// The program name for the "Programme" caption: the whole path up to 50
// characters, else its first folder, " ... /" and the file name.
std::string NomPourAffichage(const std::string& chemin);

// Analyses the program list into TabProg, the arc centres starting in the
// mode of the CentresRelatifs key. False when the program does not fit in
// the table, holds an R arc that cannot be drawn or a feed move with no
// feed: the operator is told,
// NbLignesProg is 0 and ProgAnalyse stays false, so nothing runs or draws
// half a program.
bool TraiteIso(BoiteProg& boite);
// The same analysis of a program's lines as a file holds them, without the
// program list: what loading the file and analysing the list would give
// (virmak-cli).
bool TraiteIso(LecteurLignes& lignes, BoiteProg& boite);

// The ".MCH" listing of a program's lines, the bytes Listing gives after
// TraiteIso, written in pieces as the analysis goes and without TabProg:
// the lines are analysed twice, once for the verdict and the messages, then
// for the listing, so that a refused program writes nothing (false) and a
// program of any length takes the memory of a few entries (virmak-cli).
bool ListingIso(LecteurLignes& lignes, const std::function<void(std::string_view)>& sortie);

// The first entry of table[1..nb] that moves at the feed (G1, G2, G3, or a
// drilling cycle that drills) with no positive feed in force; 0 when none.
size_t AvanceManquante(std::span<const LigneProg> table, size_t nb);
// Why such a program is refused, naming its line.
std::string TexteAvanceManquante(const LigneProg& ligne);

// Why table[1..nb] cannot run when a position or a move of it counts more
// steps than the counters hold (an arc judged on its whole circle); empty
// when it can.
std::string MouvementHorsCompteurs(std::span<const LigneProg> table, size_t nb);

// One line of the ".MCH" listing, without its line end.
std::string LigneListing(const LigneProg& ligne);

// The whole listing of TabProg[0..NbLignesProg], CR LF line ends.
std::string Listing();
// The same in pieces of about 64 KB, so a long listing goes out without
// being held whole.
void ListingParMorceaux(const std::function<void(std::string_view)>& sortie);

} // namespace virmak
