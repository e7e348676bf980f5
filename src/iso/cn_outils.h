#pragma once
// The tool table: designations and gauges kept in "CncOutil.Ini", wear
// corrections kept in memory only.

#include "foundation/outil.h"

#include <string>

namespace virmak {

// "T00" to "T99".
std::string LibelleOutil(int numero);

// "OUTIL(n)": the tool's section in "CncOutil.Ini".
std::string SectionOutil(int numero);

std::string CheminExportOutils();

// Start-up: designation and gauges of every tool from "CncOutil.Ini"; the
// wear corrections start at zero.
void ChargerOutils();

// Loading a program cancels the wear corrections of every tool.
void AnnulerCorDyn();

} // namespace virmak
