#pragma once
// Interpolation: straight moves given in steps, run as integer Bresenham
// sequences of step events, and arcs cut into chords within CreteCir.
// Every routine stops as soon as a step event leaves ArretUrgence or
// ButeeActivee set; the caller tests the same flags.

#include <cstdint>
#include <functional>

namespace virmak {

int32_t Maxi(int32_t a, int32_t b);

// The nearest whole number of steps of `axe` for `mm` (halves to even); a
// displacement beyond the step counters is no move at all.
int32_t PasDe(double mm, int axe);

// Signed step counts; `base` (OctetSortie, or 0) goes with every pattern.
void LigneXY(uint8_t base, int32_t nX, int32_t nY);
// Then SoutienZ after a complete move.
void LigneZ(uint8_t base, int32_t nZ);
void LigneXYZ(uint8_t base, int32_t nX, int32_t nY, int32_t nZ);

// An arc of the XY plane from (x0, y0) to (x1, y1) around (xc, yc), in mm;
// `sens` 0 clockwise (G2), 1 counter-clockwise (G3); equal start and end
// make a full circle. `avance` is the programmed feed, before the override,
// which each chord reads anew.
// The chord ends of such an arc, within CreteCir, the last one its exact
// end; `corde` returns false to stop there. False when stopped.
bool PointsArc(int32_t sens, double x0, double y0, double x1, double y1, double xc, double yc,
    const std::function<bool(double, double)>& corde);
void ArcXY(uint8_t base, int32_t sens, double x0, double y0, double x1, double y1, double xc, double yc,
    double avance);

} // namespace virmak
