#include "ui/placement.h"

#include <algorithm>

namespace virmak {

QRect PlacementFenetre(QRect voulu, const QList<QRect>& ecrans, const QRect& principal)
{
    if (principal.isEmpty())
        return voulu;
    voulu.setWidth(std::clamp(voulu.width(), 1, principal.width()));
    voulu.setHeight(std::clamp(voulu.height(), 1, principal.height()));
    qint64 visible = 0;
    for (const QRect& ecran : ecrans) {
        const QRect commun = voulu.intersected(ecran);
        visible += static_cast<qint64>(commun.width()) * commun.height();
    }
    const qint64 aire = static_cast<qint64>(voulu.width()) * voulu.height();
    if (2 * visible < aire)
        voulu.moveCenter(principal.center());
    return voulu;
}

} // namespace virmak
