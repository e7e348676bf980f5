#pragma once
// The program preview: a plan view of the part as programmed, of the tool
// centre path and of the tool's position, drawn into the layered bitmaps of
// the "Parcours outil" image through the view, with its zoom and pan.

#include "foundation/trace.h"
#include "iso/traite_prog.h"

#include <cstdint>

namespace virmak {

// Extents of the analysed program, from its last analysis.
extern BoiteProg LimitesProg;
// Last mouse position over the image, pixels.
extern int32_t SourisPrec[2];

// Back to the start-up state: nothing drawn, no extents, mouse at 0, 0.
void InitialiserApercu();

// Pixel column and row of a program point (mm), rounded to the nearest,
// halves to even. Doubles, so a far point stays exact instead of wrapping.
double ColonneApercu(double x);
double RangApercu(double y);

// Sets the scale and origin so the box, with 6 mm around it, fills the
// image and is centred along its other direction; the operator's zoom
// factor is kept.
void CadrerApercu(const BoiteProg& boite);

// Layer 1: the axes and the part; analyses the program list first, and
// fits, when it changed since the last analysis.
void DessinePiece();
// Layer 2: the tool-centre path over the part.
void DessineParcours();
// Layer 3: a disc of `rayon` mm at (x, y) over the path; only the latest
// one is seen.
void DessineOutil(uint32_t couleur, double x, double y, double rayon);

// Buttons of the "Parcours outil" group.
void BitBtnPieceClick();
void BitBtnParcoursOutilClick();
void BitBtnZoomPlusClick();
void BitBtnZoomMoinsClick();
void BitBtnDecXMoinsClick();
void BitBtnDEcXPlusClick();
void BitBtnDecYMoinsClick();
void BitBtnDecYPlusClick();

// The mouse over the image: a left drag pans, a right drag zooms about
// the previous mouse position, both pan first.
void ImageProgMouseDown(int32_t x, int32_t y);
void ImageProgMouseMove(int32_t x, int32_t y, bool gauche, bool droit);

// The image took a new size: the layers follow it and what was shown is
// drawn again at the same scale and origin.
void ImageProgResize(int32_t largeur, int32_t hauteur);

// "OT" ticked or cleared; read by the next drawing of the tool path.
void CheckBoxOTClick(bool cochee);

} // namespace virmak
