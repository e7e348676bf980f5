#pragma once
// Where the windows open: the main window at its saved place, unless that
// place lies mostly off the screens there are now (a second monitor since
// removed); a side window beside it, or where it hides least of what the
// operator watches.

#include <QList>
#include <QRect>

namespace virmak {

// `voulu` kept when at least half of it shows on `ecrans`; otherwise
// centred on `principal`. Never larger than `principal`.
QRect PlacementFenetre(QRect voulu, const QList<QRect>& ecrans, const QRect& principal);

} // namespace virmak

namespace virmak {

// The top-left corner of a window of size `taille` opened from the main
// window whose frame is `principale`, on the screen area `ecran`: beside it
// on the right, else on the left, when the screen has room; otherwise the
// place on the screen that covers least of the areas `evite` (the preview,
// the run buttons...), the nearest to the right edge among equals.
QPoint PlacementACote(
    const QRect& principale, const QSize& taille, const QRect& ecran, const QList<QRect>& evite);

} // namespace virmak
