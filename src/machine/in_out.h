#pragma once
// The parallel port's three registers: read the status byte, write the
// data byte, write the control byte, each by its I/O address. A backend
// does the access (direct I/O, ppdev, the virtual machine, or none); the
// routines above it are what the step emission and the monitor call.

#include <cstdint>
#include <memory>
#include <string>

namespace virmak {

class AccesPort {
public:
    virtual ~AccesPort() = default;
    virtual uint8_t Lire(uint16_t adresse) = 0;
    virtual void Ecrire(uint16_t adresse, uint8_t valeur) = 0;
    // Its name for the operator ("ppdev /dev/parport0", "machine virtuelle"...).
    virtual std::string Nom() const = 0;
};

// No port: inputs read 0, nothing is written.
class PortInactif : public AccesPort {
public:
    uint8_t Lire(uint16_t) override { return 0; }
    void Ecrire(uint16_t, uint8_t) override { }
    std::string Nom() const override { return "aucun"; }
};

// The backend the routines use; never null (PortInactif when none).
AccesPort& PortActif();
// Hands the port over; nullptr leaves none.
void DefinirPort(std::unique_ptr<AccesPort> port);

// Status register AND 0xF8.
uint8_t LirePortEntrees();
// The byte to the data register, then 0, the latch's bit, 0 to the control
// register: latch A (bit 0) carries the run-time outputs, B and C are only
// cleared at start-up and close.
void EcrireSortiesA(uint8_t valeur);
void EcrireSortiesB(uint8_t valeur);
void EcrireSortiesC(uint8_t valeur);

// What goes on the data lines for an output pattern: the enabled lines,
// with their inversion.
uint8_t OctetPort(uint8_t motif);

// The data byte with every output at its inactive level: an inverted line
// is inactive high, so a raw 0 would start an inverted spindle relay.
uint8_t OctetSortiesRepos();

// The clearing of the latches at start-up and close: the data latch at the
// inactive level, B and C (wiring unknown here) at 0. Nothing is written
// in simulation or with the port disabled.
void EffacerSorties();

// From now on, a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE) first puts
// the data latch at the inactive level, then lets the process die as it
// would have.
void ProtegerSortiesContreSignauxFataux();

} // namespace virmak
