#pragma once
// The parallel port's three registers: read the status byte, write the
// data byte, write the control byte, each by its I/O address. A backend
// does the access (direct I/O, ppdev, the virtual machine, or none); the
// routines above it are what the step emission and the monitor call.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace virmak {

class AccesPort {
public:
    virtual ~AccesPort() = default;
    // False when the access failed: the port did not answer.
    virtual bool Lire(uint16_t adresse, uint8_t& valeur) = 0;
    virtual bool Ecrire(uint16_t adresse, uint8_t valeur) = 0;
    // Its name for the operator ("ppdev /dev/parport0", "machine virtuelle"...).
    virtual std::string Nom() const = 0;
    // Why the last access failed, in French.
    virtual std::string Defaut() const { return "erreur inconnue"; }
};

// No port: inputs read 0, nothing is written.
class PortInactif : public AccesPort {
public:
    bool Lire(uint16_t, uint8_t& valeur) override
    {
        valeur = 0;
        return true;
    }
    bool Ecrire(uint16_t, uint8_t) override { return true; }
    std::string Nom() const override { return "aucun"; }
};

// The backend the routines use; never null (PortInactif when none).
AccesPort& PortActif();
// Hands the port over; nullptr leaves none.
void DefinirPort(std::unique_ptr<AccesPort> port);
// Takes the port back, leaving none, to hand it over again later.
std::unique_ptr<AccesPort> RendrePort();

// Status register AND 0xF8; nothing when the port did not answer.
std::optional<uint8_t> LirePortEntrees();
// The byte to the data register, then 0, the latch's bit, 0 to the control
// register: latch A (bit 0) carries the run-time outputs, B and C are only
// cleared at start-up and close. False when an access failed; the rest of
// the sequence is then not written, but the control register is put back
// at 0 if the port allows it.
bool EcrireSortiesA(uint8_t valeur);
bool EcrireSortiesB(uint8_t valeur);
bool EcrireSortiesC(uint8_t valeur);

// The failure of an access, kept until it is reported: the port, what was
// done and why it failed, in French.
bool PortEnDefaut();
std::string TexteDefautPort();
void OublierDefautPort();

// Whether the step emitter skips the port and the wait altogether: the
// simulation mode, but never on the virtual machine, which is the
// simulation itself.
bool SimulationEnForce();
// Whether the port is read and written: a port chosen in the configuration,
// or the virtual machine whatever the configuration says.
bool PortEnService();

// What goes on the data lines for an output pattern: the enabled lines,
// with their inversion.
uint8_t OctetPort(uint8_t motif);

// The data byte with every output at its inactive level: an inverted line
// is inactive high, so a raw 0 would start an inverted spindle relay.
uint8_t OctetSortiesRepos();

// The clearing of the latches at start-up and close: the data latch at the
// inactive level, B and C (wiring unknown here) at 0, then the data
// register itself back at the inactive level, for drives wired straight on
// the data lines. Nothing is written in simulation or with the port
// disabled (the virtual machine is written all the same).
void EffacerSorties();

// The last word of a process that is going: the machine thread's writes are
// cut off first (a write sequence already under way on another thread is
// let finish, a second at most), then latch A is put at rest, so no write
// of the machine can follow or interleave. Async-signal-safe; nothing is
// written in simulation or with the port disabled.
void CouperSortiesEtReposer();

// From now on, a signal that would end the process (a crash, SIGQUIT,
// SIGUSR1, SIGPIPE, SIGALRM...) first cuts and rests the outputs, then lets
// the process die as it would have. Signals another part of the program
// handles or ignores are left to it.
void ProtegerSortiesContreSignauxFataux();

// The signals sent to the process rather than caused by a thread (SIGTERM,
// SIGQUIT, SIGUSR1...) are kept from the calling thread, so that their
// handler runs elsewhere: the machine thread calls it, and a handler then
// never waits for a write sequence it has itself interrupted.
void BloquerSignauxAsynchrones();

} // namespace virmak
