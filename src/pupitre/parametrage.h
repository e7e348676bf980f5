#pragma once
// The parameters dialog "Paramétrages": its model, the restore and the save
// of the axis and speed values, and the handlers of its pages "Axes" and
// "Vitesses". The page "Entrées / Sorties" is PageES; its "Restaurer" and
// "Appliquer" buttons are the dialog's.

#include "foundation/pupitre.h"

#include <string>

namespace virmak {

// The fields of the pages, by index: the fourteen of the first two, then
// those of the page "Origine / Palpeur", then the ramps of "Vitesses".
enum ChampParametre : int {
    ChampPas = 0, // steps per mm of X, Y, Z (Edit1 to Edit3)
    ChampJeu = 3, // backlash in mm of X, Y, Z (Edit4 to Edit6)
    ChampCrete = 6, // facet height
    ChampAvM = 7, // steps per second of X, Y, Z (tags 1 to 3)
    ChampM = 10, // mm/min of X, Y, Z (tags 4 to 6)
    ChampCreneau = 13, // pulse lengthening
    ChampVitRech = 14, // search speed of X, Y, Z, mm/min
    ChampSensRech = 17, // side of the switch of X, Y, Z, -1 or 1
    ChampOrigine = 20, // machine origin of X, Y, Z, mm
    ChampOrdre = 23, // order of the axes, "ZXY"
    ChampVitPalp = 24, // probing speed, mm/min
    ChampCoursePalp = 25, // longest probing descent, mm
    ChampCale = 26, // plate thickness, mm
    ChampRetrait = 27, // lift after probing, mm
    ChampAcceleration = 28, // Acceleration of X, Y, Z, steps/s²
    ChampVitRampe = 31, // VitesseRampe of X, Y, Z, steps/s
    NbChamps = 34
};

// Control names of the fields, by index.
extern const char* const NomChamp[NbChamps];

inline constexpr int OngletAxes = 0, OngletVitesses = 1, OngletEntreesSorties = 2, OngletTests = 3;
inline constexpr int OngletOrigine = 4;
inline constexpr int NbPages = 5;
extern const char* const TitrePage[NbPages];

// Fixed texts of the pages.
inline constexpr const char* GroupeVis = "Caractéristiques des vis et moteurs d'axe";
inline constexpr const char* GroupeJeux = "Valeurs des jeux à l'inversion des axes";
inline constexpr const char* GroupeInterpolation = "Interpollation circulaire";
inline constexpr const char* GroupeLimites = "Limites machine";
inline constexpr const char* TextePasParMm = "pas par mm";
inline constexpr const char* TexteMmSoit = "mm, soit";
inline constexpr const char* TextePas = "pas";
inline constexpr const char* TexteCrete = "Crète maxi des facettes";
inline constexpr const char* TexteMm = "mm";
inline constexpr const char* TexteAvMax = "Avance maxi en pas/seconde pour ";
inline constexpr const char* TexteMmMn = "en mm/mn pour ";
inline constexpr const char* TexteRapide = "Taux d'avance rapide par rapport aux avances maxi";
inline constexpr const char* TexteCreneau = "Augmentation de la durée d'impulsion de commande des pas";
inline constexpr const char* TexteMicro = "µs";
inline constexpr const char* ConseilSimulation
    = "Simulation = pas de lecture de l'état de la machine.\r\nUtiliser le mode simulation lorsqu'il n'y a "
      "pas de machine\r\nconnectée au port LPT1.";
inline constexpr const char* GroupeOrigine = "Prise d'origine sur les butées";
inline constexpr const char* GroupePalpeur = "Palpeur outil (palpage Z sur une cale)";
inline constexpr const char* TexteVitRech = "Vitesse de recherche (mm/mn)";
inline constexpr const char* TexteSensRech = "Côté de la butée (-1 ou 1)";
inline constexpr const char* TexteOrigine = "Cote de l'origine machine (mm)";
inline constexpr const char* TexteOrdre = "Ordre des axes";
inline constexpr const char* TexteVitPalp = "Vitesse de palpage (mm/mn)";
inline constexpr const char* TexteCoursePalp = "Course maxi de palpage (mm)";
inline constexpr const char* TexteCale = "Epaisseur de la cale (mm)";
inline constexpr const char* TexteRetrait = "Dégagement après palpage (mm)";
inline constexpr const char* GroupeRampes = "Rampes d'accélération (0 = sans rampe)";
inline constexpr const char* TexteAcceleration = "Accélération en pas/s² pour ";
inline constexpr const char* TexteVitRampe = "Vitesse avec rampe en pas/seconde pour ";
inline constexpr const char* TexteSansRampe = "sans rampe";
inline constexpr const char* TexteFreinage = "rampe : freinage ";
inline constexpr const char* TexteErreurTag = "ERREUR dans TForm3.EditAvMExit de Cn_Parametrage, voir Tag !";

// Help buttons: "Axes", "Vitesses", then the port, input and output groups.
inline constexpr int AideAxes = 21, AideVitesses = 22, AidePort = 23, AideEntrees = 24, AideSorties = 25;
inline constexpr int AideOrigine = 26;

struct FenetreParametres {
    FenetreParametres(); // as designed, hidden

    std::string Caption = "Paramétrages";
    int ClientWidth = 623, ClientHeight = 426;
    bool Visible = false;
    int ActivePage = OngletAxes;
    bool TestsVisible = false; // the page "Tests" is hidden and empty

    Controle Champs[NbChamps];
    Controle LabelJeu[3]; // backlash in steps
    Controle LabelRampe[3]; // whether the axis ramps, and its jog's braking
    CaseACocher CheckBoxJeu[4]; // tags 0 to 3: backlash X, Y, Z, Z gravity
    Curseur TrackBarRap;
    Controle LabelRap;
    CaseACocher CheckBoxMach, CheckBoxAffRap;

    // Whether the title bar may close the dialog.
    bool DialogueFermable = false;

    // Shown (on a page), activated, the title bar's close (refused unless
    // allowed), hidden.
    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void FormHide();
};

extern FenetreParametres Form3;

// Creation at start-up: hidden, restored from the file.
void CreerDialogueParametres();

// The values the dialog takes back from the file, and its fields.
void RestaureParametres();
// The fields into the globals and the file. A field that holds no usable
// number is refused with a message naming it: then nothing changes, nothing
// is written, and the result is false.
bool SauvegardeParametres();

// The operator types in field `champ`.
void EditChange(int champ, const std::string& texte);
// Leaving, or Enter in, a maximum-speed field of tag 1 to 6.
void EditAvMExit(int tag);
void EditAvMKeyPress(int tag);
// Leaving the backlash field of an axis: its step label follows.
void EditJeuExit(int axe);
void CheckBoxJeuClick(int tag, bool cochee);

// The steps-per-mm calculator of the "Axes" page: motor steps per turn
// times micro-steps, over the mm the axis travels per motor turn (the
// screw's pitch, or the pulley's teeth times the belt's pitch). 0 when an
// input is not a positive number.
double PasParMm(double pasParTour, double microPas, double mmParTour);
// Its result into the steps-per-mm field of `axe`, as if typed there.
void CalculPasParMmClick(int axe, double pasParMm);
void CheckBoxMachClick(bool cochee);
void CheckBoxAffRapClick(bool cochee);
void TrackBarRapChange();
void BtnAideClick(int tag);
// The operator picks a tab.
void PageControlChange(int page);

void BitBtnOKClick();
void BitBtnAppliClick();
void BitBtnRestoreClick();
void BitBtnAnnulerClick();

// Main menu "Paramètres": "Axes", "Vitesses", "Entrées / Sorties",
// "Origine / Palpeur".
void Jeux1Click();
void Vitesses1Click();
void EntresSorties1Click();
void OriginePalpeur1Click();

} // namespace virmak
