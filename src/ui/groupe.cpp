#include "ui/groupe.h"

#include <QEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace virmak {

namespace {
    // Between the title and the button, and the button and the frame.
    constexpr int Ecart = 6;
} // namespace

GroupeAide::GroupeAide(const char* nom, const QString& titre, QPushButton* aide)
    : QGroupBox(titre)
    , aide_(aide)
{
    setObjectName(nom);
    aide_->setParent(this);
    Placer();
}

QSize GroupeAide::minimumSizeHint() const
{
    QSize taille = QGroupBox::minimumSizeHint();
    const int titre = fontMetrics().horizontalAdvance(title());
    taille.setWidth(std::max(taille.width(), titre + aide_->width() + 3 * Ecart));
    return taille;
}

void GroupeAide::resizeEvent(QResizeEvent* evenement)
{
    QGroupBox::resizeEvent(evenement);
    Placer();
}

void GroupeAide::changeEvent(QEvent* evenement)
{
    QGroupBox::changeEvent(evenement);
    if (evenement->type() == QEvent::FontChange || evenement->type() == QEvent::StyleChange)
        Placer();
}

void GroupeAide::Placer()
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect titre = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    const int y = std::max(0, titre.center().y() - aide_->height() / 2);
    aide_->move(width() - aide_->width() - Ecart, y);
    aide_->raise();
}

} // namespace virmak
