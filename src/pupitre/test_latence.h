#pragma once
// "Test de latence" (menu Outils): the real step emitter on a virtual port
// for the time the operator chooses, the lateness of its steps, and the
// largest AvMax that timing allows, put into force with one click. It runs
// on the machine thread between actions, never during a move or a cycle,
// and a stop ends it at once.

#include "foundation/pupitre.h"
#include "machine/latence.h"

#include <atomic>
#include <string>

namespace virmak {

inline constexpr const char* TexteLatenceRefusee
    = "Le test de latence ne peut pas tourner pendant un mouvement ou un cycle.";
inline constexpr const char* TexteLatenceUrgence
    = "Le test de latence ne peut pas tourner pendant un arrêt d'urgence : RAZ d'abord.";
inline constexpr int AideLatence = 41;
// The rate measured: the highest the step table allows, where lateness
// matters most.
inline constexpr int32_t FrequenceLatence = 20000;
inline constexpr int DureeLatenceMini = 1, DureeLatenceMaxi = 60;

struct FenetreLatence {
    std::string Caption = "Test de latence";
    bool Visible = false;
    bool EnCours = false;
    int Duree = 10; // seconds
    bool Mesuree = false; // a measure ended, its figures below
    MesureLatence Mesure;
    Controle BtnLancer { "Lancer", "", true, true };
    Controle BtnAppliquer { "", "", false, true };
    std::string Application; // what the last click on BtnAppliquer did
};

extern FenetreLatence FormLatence;

// Shared with the window thread while a measure runs: how far it is, in
// thousandths, and the window's request to end it.
extern std::atomic<int> ProgressionLatence;
extern std::atomic<bool> ArretLatenceDemande;

// Creation at start-up: hidden, nothing measured.
void CreerTestLatence();
// Menu "Outils" > "Test de latence...": the window shown.
void TestLatence1Click();
// "Lancer": `duree` seconds (1 to 60) of steps at FrequenceLatence.
void BtnLancerLatenceClick(int duree);
// The proposed AvMax for every axis whose AvMax is higher, in memory and in
// "CncParam.Ini": the timing caps the speeds, the mechanics may ask less.
void BtnAppliquerLatenceClick();
// The window closed.
void FermerLatence();

} // namespace virmak
