#pragma once
// The configuration and the shared machine state: plain globals read from
// "CncParam.Ini" at start-up and shared by every module.

#include "foundation/fichier_ini.h"
#include "foundation/ligne_prog.h"
#include "foundation/memoire.h"
#include "foundation/outil.h"

#include <cstdint>
#include <string>
#include <vector>

namespace virmak {

inline constexpr int NbAxesMax = 3;
inline constexpr int MaxIncrements = 20;
inline constexpr const char* TexteVersion = "V 2.03 - 01/11/2006";

// Files
extern std::string RepDemande; // folder asked for on the command line, or empty
// virmak-cli: the configuration folder is only read; nothing is created or
// written there (configuration, tool table, history).
extern bool LectureSeule;
extern std::string RepExe; // configuration folder, with its trailing '/'
extern FichierIni IniParam;
extern FichierIni IniOutil;
extern std::string NomAide;
extern std::string NomRepProg;
extern std::string NomProgAffiche;

// Axes
extern int32_t AvMax[3]; // steps per second
extern double ValPas[3]; // mm per step
extern int32_t NPasJ[3]; // backlash, steps
// Optional ramps: with both above 0 and VitesseRampe above AvMax, axis i
// starts and stops at AvMax, accelerates by Acceleration and runs up to
// VitesseRampe; otherwise it keeps to AvMax without ramps.
extern int32_t Acceleration[3]; // steps per second per second
extern int32_t VitesseRampe[3]; // steps per second
bool RampeAxe(int axe);
bool RampesActives();
// The top step rate of the axis: VitesseRampe with ramps, else AvMax.
int32_t VitesseHaute(int axe);
extern double CreteCir; // largest chord height of arc facets, mm
extern double AvRap; // rapid rate as a fraction of the maximum speeds
extern int32_t LarCreneau; // step pulse width, microseconds

// Options
extern bool AvertOK, Simulation, AffRapide, Debogage, MesAvert, SuiviPrg, CalageZ;
extern bool CompJeu[3];

// ISO programming
extern uint16_t MaxLProg;
extern int32_t PrgPou, PrgMet;
extern bool CentresRelatifs; // centre mode at the start of each analysis
extern double G83d;

// The CPU the machine thread is pinned to while moves run (-1: any), from
// section TEMPS REEL, key Cpu; read, never written.
extern int32_t CpuMouvement;

// Jog increments; entry 0 is continuous jogging.
extern int32_t NbIncrements;
extern double ValIncrement[MaxIncrements + 1];
extern std::string LibIncrement[MaxIncrements + 1];

// Motion state
extern double PosMm[3];
extern int32_t PosPas[3];
// The most steps a position or one move may count, within PosPas's range.
inline constexpr double PasMaxi = 2e9;
extern int32_t PosAffichee[3];
extern int32_t SensAxe[3];
extern bool ButeeMoins[3], ButeePlus[3];
extern bool ButeeActivee, ArretUrgence, BrocheEnMarche;
extern bool CycleEnCours, ModePasAPas, StopFinBloc, PasSuivant;
extern bool ProgAnalyse, ParcoursCalcule;
extern double FacteurUnite;
extern double AvanceMax;
extern double AvanceCourante;
extern int32_t CorrAvance;
extern uint8_t OctetSortie;
extern int32_t AxeAffiche, AxePrincipal;

// Program tables: they grow with the program (up to MaxLProg entries for
// TabProg), in blocks mapped for huge pages when large.
using TableProg = std::vector<LigneProg, AllocateurTable<LigneProg>>;
extern TableProg TabProg;
extern uint16_t NbLignesProg;
extern TableProg TabProgCorr;
extern uint16_t NbLignesCorr;
extern LigneProg LigneDefaut;
extern TOutil TabOutils[NbOutils];

// Preview; colours are 0xBBGGRR.
extern uint32_t CoulFond, CoulAxes, CoulRapide, CoulContour, CoulOutil;
extern double EchelleApercu;
extern double ZoomApercu;
extern int32_t OrigineApercu[2];

// Output masks (recomputed from the signal assignment)
extern uint8_t MasquePas[3], MasquePasDir[3], MasqueBroche, MasqueHorsPas;

// Feed along a path on which all three axes run at their top speeds, mm/min.
double AvanceMaxiVectorielle(int32_t vx, int32_t vy, int32_t vz);

// The phases of the start-up load that belong here; the start-up calls
// them in order with those of the later layers (timing, tools, preview).
// Every value of "CncParam.Ini" that the machine state is built from.
void LireConfiguration();
// Positions, flags, the default block and the preview's scale, as at
// start-up.
void ReinitialiserEtatMachine();

// The section AXES from its globals, in the file's key order.
void EcrireAxes();

// Writes back what the main window owns, as one rewrite of the file.
void SauveParametres();

// Reads the jog increments into the increment list of the main window.
void ConstruireIncrements();

// Axis values read from the file (a value out of its range takes the
// default); shared by the start-up load and the parameters dialog's restore.
int32_t LireAvMaxFichier(int axe);
// The rapid's vector speed from every axis's top rate, mm/min.
double AvanceMaxMachine();
double LireCreteCirFichier();
double LireAvRapFichier();
// Travel of an axis in mm either side of the origin, 0 when unknown:
// Course(i) of [AXES].
double LireCourse(int axe);
int32_t LireLarCreneauFichier(int32_t defaut);

// Feed slider range and its top label from AvanceMax.
void MajCurseurAvance();

// Folder of the configuration files: the one asked for, else the
// executable's folder when writable and not an installed program's bin/
// (one with ../share/virmak/ beside it), else ~/.config/virmak/. Created
// when missing, unless LectureSeule; ends with '/'.
std::string ChoisirRepertoire(const std::string& demande, const std::string& repExecutable);

} // namespace virmak
