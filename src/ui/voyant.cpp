#include "ui/voyant.h"

#include <QPainter>

namespace virmak {

VoyantQt::VoyantQt(QColor couleur, bool rond, QWidget* parent)
    : QWidget(parent)
    , couleur_(couleur)
    , rond_(rond)
{
    setFixedSize(16, 16);
}

void VoyantQt::Allumer(bool allume)
{
    if (allume == allume_)
        return;
    allume_ = allume;
    update();
}

void VoyantQt::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fond = allume_ ? couleur_ : QColor(0x80, 0x80, 0x80);
    QRadialGradient degrade(QPointF(5, 5), 12);
    degrade.setColorAt(0, fond.lighter(170));
    degrade.setColorAt(1, fond);
    p.setBrush(degrade);
    p.setPen(QPen(fond.darker(160), 1));
    const QRectF r(1.5, 1.5, 13, 13);
    if (rond_)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, 3, 3);
}

} // namespace virmak
