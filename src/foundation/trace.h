#pragma once
// Drawing primitives of the program preview, in pixels of its bitmaps. The
// core decides what is drawn and where; the window only paints them.

#include <cstdint>

namespace virmak {

enum class StyleTrait : uint8_t {
    Plein,
    Pointille, // rapid moves
    TiretPoint, // axes
};

struct Trace {
    enum class Genre : uint8_t {
        Ligne, // from (x1, y1) to (x2, y2)
        Arc, // counter-clockwise on the ellipse inscribed in the box (x1, y1)-(x2, y2),
             // from the ray through (xd, yd) to the ray through (xf, yf)
        Disque, // ellipse filled with the pen's colour, inscribed in the box
    };
    Genre genre = Genre::Ligne;
    StyleTrait style = StyleTrait::Plein;
    uint32_t couleur = 0; // 0xBBGGRR
    int32_t largeur = 1; // pen width, pixels
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t xd = 0, yd = 0, xf = 0, yf = 0;

    bool operator==(const Trace&) const = default;
};

} // namespace virmak
