#pragma once
// Manual operation: jogs by button and keyboard, the returns to zero, the
// move to typed coordinates, the readout presets and resets, the spindle,
// the feed and the override.

#include "foundation/plateforme.h"

#include <cstdint>
#include <functional>

namespace virmak {

inline constexpr const char* TexteArretDeclenche = "ARRET Déclenché !";
inline constexpr const char* TexteAvanceNulle
    = "Vitesse d'avance F nulle : aucun déplacement. Saisir une vitesse F.";

// --- The frame of every manual motion ---

// Held for the length of a manual motion: another one reached at one of
// its message points is refused, never nested.
class Occupation {
public:
    Occupation();
    ~Occupation();
    Occupation(const Occupation&) = delete;
    Occupation& operator=(const Occupation&) = delete;
};

// No manual motion and no run in progress.
bool MachineLibre();

// A motion with the monitor suspended: a refusal left by an earlier move
// no longer stands, the step emitter judges anew.
void Deplacer(const std::function<void()>& mouvement);

// The frame of the returns to zero, the go-to, the reference and the
// probing, the window already in its automatic layout: "Cycle actif" lit
// for the move, "ARRET Déclenché !" after a stop, the readouts, then the
// manual layout again.
void Positionner(const std::function<void()>& mouvement);

// --- Jogs ---

// A jog of `axe` (0 X, 1 Y, 2 Z) in direction `sens` (+1, -1). With an
// increment chosen, one straight move of that length; in continuous mode
// step events as long as `tenu` says the button or key is still down, at
// least one. Refused while another motion or a run is in progress, or
// while the window has the jog buttons locked.
void Jog(int32_t axe, int32_t sens, const std::function<bool()>& tenu);

// Mouse-down on a jog button, any mouse button: the left one held jogs
// continuously until it is released, any other makes one step event.
void JogBouton(int32_t axe, int32_t sens);
inline void XPlusMouseDown()
{
    JogBouton(0, 1);
}
inline void XMoinsMouseDown()
{
    JogBouton(0, -1);
}
inline void YPlusMouseDown()
{
    JogBouton(1, 1);
}
inline void YMoinsMouseDown()
{
    JogBouton(1, -1);
}
inline void ZPlusMouseDown()
{
    JogBouton(2, 1);
}
inline void ZMoinsMouseDown()
{
    JogBouton(2, -1);
}

// The keyboard part of the monitor tick: arrows for X and Y, Page Up and
// Page Down for Z, then F1 and F2 one override notch each.
void JogClavierTick();

// An entry of the increment list chosen; the focus goes to the group of
// the jog buttons so that the arrows jog at once.
void CmbIncrementClick(int entree);

// Escape: a click of "URGENCE", which a locked button does not take.
void FormKeyDownEchap();

// --- Positioning moves ---

// Back to X0 Y0, to Z0.
void XY_ZeroClick();
void Z_ZeroClick();
// "Aller à" the coordinates typed in EditGoX, EditGoY, EditGoZ.
void GoXYZClick();

// --- Readouts ---

// A click on a readout opens its preset field in its place.
void StaticTextClick(int32_t axe);
// Leaving the preset field: the axis takes the typed coordinate; nothing
// moves.
void Preset(int32_t axe);
// A key in the preset field; Enter (13) presets.
void EditKeyPress(int32_t axe, int touche);
// "RAZ": the axis's coordinate becomes 0.
void Reset(int32_t axe);

inline void StaticTextXClick()
{
    StaticTextClick(0);
}
inline void StaticTextYClick()
{
    StaticTextClick(1);
}
inline void StaticTextZClick()
{
    StaticTextClick(2);
}
inline void PresetX()
{
    Preset(0);
}
inline void PresetY()
{
    Preset(1);
}
inline void PresetZ()
{
    Preset(2);
}
inline void ResetX()
{
    Reset(0);
}
inline void ResetY()
{
    Reset(1);
}
inline void ResetZ()
{
    Reset(2);
}

// --- Spindle, feed, override ---

// "Broche": the spindle switched; with the emergency stop engaged, off.
// The port takes it at once.
void BtBrocheClick();

void TrackBarVitAvChange();
void TrackBarTAvChange();
// Leaving the feed field, or Enter (13) in it: the slider takes the typed
// feed.
void EditVitAvExit();
void EditVitAvKeyPress(int touche);

// AvanceCourante from the feed field and the override, and its display.
void MajAvanceCourante();

// Sets the keyboard jog and the Escape click of the monitor and the moves.
void BrancherManuel();

} // namespace virmak
