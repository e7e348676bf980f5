#pragma once
// The two ways Linux gives a program the parallel port's registers.

#include "machine/in_out.h"

#include <memory>
#include <string>

namespace virmak {

struct OuverturePort {
    std::unique_ptr<AccesPort> port; // null when nothing could be opened
    std::string essais; // what was tried and why it failed, in French
};

// The /dev/parportN whose base address (/proc/sys/dev/parport/parportN/
// base-addr) is `adresseDonnees`, claimed; else direct I/O on the three
// registers when the system grants it. The folders are parameters so that
// tests can lay out their own.
OuverturePort OuvrirPortReel(uint16_t adresseDonnees, const std::string& racineProc = "/proc/sys/dev/parport",
    const std::string& racineDev = "/dev");

// The parportN directory whose base-addr starts with `adresseDonnees`, or
// empty.
std::string TrouverParport(uint16_t adresseDonnees, const std::string& racineProc);

} // namespace virmak
