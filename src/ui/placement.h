#pragma once
// Where the main window opens: at its saved place, unless that place lies
// mostly off the screens there are now (a second monitor since removed).

#include <QList>
#include <QRect>

namespace virmak {

// `voulu` kept when at least half of it shows on `ecrans`; otherwise
// centred on `principal`. Never larger than `principal`.
QRect PlacementFenetre(QRect voulu, const QList<QRect>& ecrans, const QRect& principal);

} // namespace virmak
