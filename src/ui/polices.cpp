#include "ui/polices.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>

namespace virmak {

QFont PoliceTexte(int pixels)
{
    QFont police(QStringLiteral("DejaVu Sans"));
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(pixels);
    return police;
}

QFont PoliceChiffres(int pixels)
{
    QFont police(QStringLiteral("DejaVu Sans Mono"));
    police.setStyleHint(QFont::TypeWriter);
    police.setFixedPitch(true);
    police.setBold(true);
    police.setPixelSize(pixels);
    return police;
}

int LargeurNombre(const QFontMetrics& m, const QString& gabarit)
{
    int chiffre = 0;
    for (char c = '0'; c <= '9'; ++c)
        chiffre = std::max(chiffre, m.horizontalAdvance(QLatin1Char(c)));
    int largeur = 0;
    for (const QChar c : gabarit)
        largeur += c == QLatin1Char('0') ? chiffre : m.horizontalAdvance(c);
    return largeur;
}

EtiquetteCoupee::EtiquetteCoupee()
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void EtiquetteCoupee::DefinirTexte(const QString& texte, const QString& conseil)
{
    texte_ = texte;
    conseil_ = conseil;
    Couper();
}

QSize EtiquetteCoupee::minimumSizeHint() const
{
    // One line, whatever the text: an empty line and a long one alike.
    const QFontMetrics m = fontMetrics();
    const int bords = 2 * (frameWidth() + margin());
    return { m.horizontalAdvance(QStringLiteral("x…")) + bords, m.height() + bords };
}

QSize EtiquetteCoupee::sizeHint() const
{
    return minimumSizeHint();
}

void EtiquetteCoupee::resizeEvent(QResizeEvent* evenement)
{
    QLabel::resizeEvent(evenement);
    Couper();
}

void EtiquetteCoupee::changeEvent(QEvent* evenement)
{
    QLabel::changeEvent(evenement);
    if (evenement->type() == QEvent::FontChange)
        Couper();
}

void EtiquetteCoupee::Couper()
{
    const QFontMetrics m = fontMetrics();
    // A framed label keeps half an "x" of indent on its aligned side.
    int place = contentsRect().width() - 2 * margin();
    if (frameWidth() > 0 && indent() < 0)
        place -= m.horizontalAdvance(QLatin1Char('x'));
    const QString coupe = m.elidedText(texte_, Qt::ElideRight, std::max(0, place));
    if (coupe != text())
        setText(coupe);
    setToolTip(!conseil_.isEmpty() ? conseil_ : coupe != texte_ ? texte_ : QString());
}

} // namespace virmak
