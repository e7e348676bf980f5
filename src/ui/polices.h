#pragma once
// The fonts of the main window, named rather than taken from the desktop or
// from a family the machine may map anywhere ("Arial" is Nimbus Sans where
// the URW fonts are installed, five pixels taller a line): DejaVu comes with
// every Debian desktop (fontconfig's first choice, and a dependency of the
// package). Where it is missing the style hint picks the nearest, and the
// window fits itself to the screen all the same.

#include <QFont>
#include <QLabel>
#include <QString>

class QFontMetrics;

namespace virmak {

QFont PoliceTexte(int pixels);
// Readouts: fixed pitch and bold.
QFont PoliceChiffres(int pixels);

// The width `gabarit` takes in `m` whatever digits stand for its zeros:
// each counts as the widest digit, so a readout never changes width with
// the number it shows, even in a font whose digits differ.
int LargeurNombre(const QFontMetrics& m, const QString& gabarit);

// A line of text that never widens the window: a text longer than the
// label is cut at its end with "…", and shown whole in the tooltip unless
// the control has a hint of its own.
class EtiquetteCoupee : public QLabel {
    Q_OBJECT
public:
    EtiquetteCoupee();
    void DefinirTexte(const QString& texte, const QString& conseil);
    const QString& Texte() const { return texte_; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;

private:
    void Couper();

    QString texte_;
    QString conseil_;
};

} // namespace virmak
