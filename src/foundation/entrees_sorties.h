#pragma once
// The assignment of machine signals to parallel-port pins: which port, which
// status pin carries each input (three limit switches, the emergency stop),
// which data pin carries each output (step and direction per axis, the
// spindle), which are inverted or switched off; kept in the sections PORT,
// ENTREES and SORTIES of "CncParam.Ini" and turned into the bit masks the
// port routines and the step generator use.

#include <cstdint>
#include <string>
#include <vector>

namespace virmak {

inline constexpr int NbEntrees = 5; // slots 0-2 limits X Y Z, 3 emergency stop, 4 tool probe
inline constexpr int NbSorties = 8; // slots 0-5 step/direction X Y Z, 6 spindle, 7 reserved
inline constexpr int EntreeArret = 3;
inline constexpr int EntreePalpeur = 4;
// Input slots in the order of the page, the emergency stop first.
inline constexpr int OrdreEntrees[NbEntrees] = { EntreeArret, 0, 1, 2, EntreePalpeur };
inline constexpr int SortieBroche = 6;
inline constexpr int SortieReservee = 7;
inline constexpr int NbChoixEntree = 6; // "Non utilisé" and five status pins
inline constexpr int NbChoixSortie = 9; // "Non utilisée" and D0 to D7
inline constexpr int NbChoixPort = 5;

// Port
extern int32_t PortLPT; // 0 off, 1 LPT1, 2 LPT2, 3 LPT3, 4 other address
extern uint16_t AdrDLPT; // data register (outputs)
extern uint16_t AdrELPT; // status register (inputs)
extern uint16_t AdrCLPT; // control register (latch strobes)

// Signal options, one bit per port line
extern uint8_t InUtil, InInvert, InEnable;
extern uint8_t OutUtil, OutInvert, OutEnable;

// Pin choice of each slot: index of the entry in the slot's list, 0 = none.
extern int32_t CBInItem[NbEntrees];
extern int32_t CBOutItem[NbSorties];

// One bit per line, preceded by the "no line" entry: an output choice k takes
// entry k, an input choice k entry k + 3 (a free input gets 0x04, status bit
// 2, which carries no pin and always reads 0, so it never reads active).
inline constexpr uint8_t MasqueBit[9] = { 0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80 };

// Input masks; the output masks live with the machine state (cn_varia.h).
extern uint8_t MasqueButee[3], MasqueButees, MasqueArret, MasquePalpeur;

// Whether an input of this mask is wired: a pin chosen and the line enabled.
bool EntreeCablee(uint8_t masque);

// The usual wiring, by slot: X, Y, Z step and direction on D0 to D5, the
// spindle on D6; the limit switches of X, Y, Z on Error, Select, Paper Out
// and the emergency stop on ACK, every line enabled and none inverted.
inline constexpr int32_t SortiesUsuelles[NbSorties] = { 1, 2, 3, 4, 5, 6, 7, 0 };
inline constexpr int32_t EntreesUsuelles[NbEntrees] = { 1, 2, 3, 4, 0 };
inline constexpr const char* TexteCablageUsuel = "Câblage usuel pris pour la machine virtuelle";

// Set while a virtual machine stands for the port: an assignment that gives
// no output a pin then drives it on the usual wiring (and its inputs too
// when it gives none a pin), in the masks and enables only. The pin choices,
// the file and the dialog's page keep what the file says, so nothing ever
// writes it.
extern bool CablageUsuelPermis;
// Whether the masks in force are those of the usual wiring.
extern bool CablageUsuelPris;

// Slots of a hand-edited file that asked for a pin already given to an
// earlier slot of the same direction, as the history texts that name them.
extern std::vector<std::string> ConflitsEntreeSortie;

// Masks of a pin choice; a choice outside its list counts as no pin.
uint8_t MasqueEntree(int32_t choix);
uint8_t MasqueSortie(int32_t choix);

// Start-up reset: every global above to its default, input masks as with no
// pin. Until SignalerConflitsEntreeSortie, conflicts wait for the history.
void InitialiserEntreesSorties();

// Entries of the lists, in list order (the index is the choice).
extern const char* const ChoixEntree[NbChoixEntree];
extern const char* const ChoixSortie[NbChoixSortie];
extern const char* const ChoixPort[NbChoixPort];

// Row labels by slot; the reserved output slot has none.
extern const char* const LibelleEntree[NbEntrees];
extern const char* const LibelleSortie[NbSorties];

// Reads PORT, ENTREES and SORTIES, then CalculCodesEntreeSortie.
void LireParamEntreeSortie();

// Derived masks from CBInItem and CBOutItem, or from the usual wiring when
// it stands in.
void CalculCodesEntreeSortie();

// The byte of the lines a set of pin choices takes.
uint8_t OctetEntrees(const int32_t (&choix)[NbEntrees]);
uint8_t OctetSorties(const int32_t (&choix)[NbSorties]);

// Every key of PORT, ENTREES and SORTIES from the globals in one rewrite,
// then CalculCodesEntreeSortie.
void EnregistrerEntreesSorties();

// The history window exists: conflicts found so far are written to it, and
// later readings write theirs at once (each only once while it lasts).
void SignalerConflitsEntreeSortie();

} // namespace virmak
