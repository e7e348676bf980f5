#pragma once
// Which backend serves the port: the virtual machine when asked for on the
// command line, else the real port of the configuration when it opens,
// else none, said once in French. Never the virtual machine unasked.

#include <string>

namespace virmak {

// Set by the command line (--machine-virtuelle) before the start-up.
extern bool MachineVirtuelleDemandee;

inline constexpr const char* SectionMachineVirtuelle = "MACHINE VIRTUELLE";

// Opens the port the configuration asks for, unless it is already the one
// open. Returns the refusal to show when a real port cannot be opened;
// empty otherwise (and when the same refusal was already given).
std::string OuvrirPortConfigure();

// Forgets the port open, and releases it (tests, a new start-up, the
// command line's check).
void FermerPort();

class MachineVirtuelle;
// The travel of each axis of the virtual machine, from its section of the
// configuration (Course(i), mm either side of zero; 0: none), and the
// top of its touch plate (Cale, Z in mm; none without the key).
void ReglerCourses(MachineVirtuelle& machine);

} // namespace virmak
