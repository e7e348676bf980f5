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

namespace virmak {

QPoint PlacementACote(
    const QRect& principale, const QSize& taille, const QRect& ecran, const QList<QRect>& evite)
{
    constexpr int Ecart = 4;
    const int largeur = std::min(taille.width(), ecran.width());
    const int hauteur = std::min(taille.height(), ecran.height());
    const int haut = std::clamp(principale.top(), ecran.top(), ecran.bottom() + 1 - hauteur);
    const int droite = principale.x() + principale.width() + Ecart;
    if (droite + largeur <= ecran.x() + ecran.width())
        return { droite, haut };
    if (principale.left() - Ecart - largeur >= ecran.left())
        return { principale.left() - Ecart - largeur, haut };
    // No room beside it: over it, hiding the least.
    constexpr int Grille = 8;
    QPoint meilleur(ecran.right() + 1 - largeur, ecran.top());
    qint64 moindre = -1;
    for (int y = ecran.top(); y + hauteur <= ecran.bottom() + 1; y += Grille)
        for (int x = ecran.right() + 1 - largeur; x >= ecran.left(); x -= Grille) {
            const QRect ici(x, y, largeur, hauteur);
            qint64 cache = 0;
            for (const QRect& r : evite) {
                const QRect commun = ici.intersected(r);
                cache += static_cast<qint64>(commun.width()) * commun.height();
            }
            if (moindre < 0 || cache < moindre) {
                moindre = cache;
                meilleur = ici.topLeft();
            }
        }
    return meilleur;
}

} // namespace virmak
