#pragma once
// Texts that their place cuts: the whole text in a tooltip.

#include <QGroupBox>
#include <QObject>
#include <QString>

class QAbstractItemView;

namespace virmak {

// On an item view: an item whose text its cell cuts ("…") shows the whole
// text as a tooltip; an item shown whole has none.
class InfobulleTronquee : public QObject {
    Q_OBJECT
public:
    explicit InfobulleTronquee(QAbstractItemView* vue);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    QAbstractItemView* vue_;
};

// A group whose title never widens the window: cut in the middle to the
// group's width, whole in the tooltip, cut again as the group resizes.
class GroupeAjuste : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupeAjuste(const QString& titre);
    void DefinirTitre(const QString& titre);
    // A tooltip of its own, under the whole title when that is cut.
    void DefinirConseil(const QString& conseil);
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* evenement) override;

private:
    void Ajuster();

    QString titre_;
    QString conseil_;
};

} // namespace virmak
