#pragma once
// The two trace files of a run: "Programme.Txt" from TabProg and
// "Parcours_Outil.Txt" from TabProgCorr, one fixed-layout line per record.

#include "foundation/ligne_prog.h"
#include "foundation/nombres.h"

#include <cstddef>
#include <span>
#include <string>

namespace virmak {

inline constexpr const char* NomFichierProgramme = "Programme.Txt";
inline constexpr const char* NomFichierParcours = "Parcours_Outil.Txt";

// What the analysis listing and the trace lines begin with: the line index,
// the motion mode and the end point, appended to `texte`.
void AjouterDebutLigneBloc(TexteRapide& texte, const LigneProg& ligne);

// One record's line, without its line end. Reals have 3 decimals in at
// least 8 characters; wider values widen the line.
std::string LigneTrace(const LigneProg& ligne);

// Records 1 to `nb` of the table (never past its end), each line ended by
// CR LF.
std::string TexteTrace(std::span<const LigneProg> table, std::size_t nb);

} // namespace virmak
