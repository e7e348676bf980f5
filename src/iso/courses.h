#pragma once
// The fit check: where the tool centre goes, against the travel of each
// axis, so a job that would run into the machine's end is refused before
// the first cut.

#include "foundation/ligne_prog.h"
#include "iso/traite_prog.h"

#include <span>
#include <string>
#include <vector>

namespace virmak {

// Extents of table[0..nb]: its end points, each arc by the points of its
// circle it sweeps, each drilling block down to the bottom of its hole.
BoiteProg EtendueParcours(std::span<const LigneProg> table, size_t nb);

// Why the extents leave the travel (mm either side of the origin, 0 or
// less: unknown, not checked): the first axis out, its side and by how much;
// empty when the job fits.
std::string HorsCourse(const BoiteProg& boite, const double course[3]);

// The extents as the program group's tooltip gives them.
std::string TexteEtendue(const BoiteProg& boite);

// True when the travel of at least one axis is configured: without any,
// there is nothing to check.
bool CoursesConnues();

// The check on the tool-centre path TabProgCorr with the configured travel:
// the tooltip of the program group follows the extents; returns the refusal,
// empty when the job fits.
std::string ControleCourses();

} // namespace virmak
