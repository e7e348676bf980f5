#include "ui/infobulle.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLayout>
#include <QToolTip>

namespace virmak {

namespace {
    // Room the cell or the frame takes around the text.
    constexpr int Marge = 8;
    constexpr int MargeTitre = 24;
} // namespace

InfobulleTronquee::InfobulleTronquee(QAbstractItemView* vue)
    : QObject(vue)
    , vue_(vue)
{
    vue->viewport()->installEventFilter(this);
}

bool InfobulleTronquee::eventFilter(QObject* objet, QEvent* evenement)
{
    if (evenement->type() != QEvent::ToolTip || objet != vue_->viewport())
        return QObject::eventFilter(objet, evenement);
    auto* aide = static_cast<QHelpEvent*>(evenement);
    const QModelIndex index = vue_->indexAt(aide->pos());
    const QString texte = index.data(Qt::DisplayRole).toString();
    const QRect cellule = vue_->visualRect(index);
    // A line the view scrolls sideways to is not cut where the viewport ends.
    const int visible = std::min(cellule.right(), vue_->viewport()->width()) - std::max(cellule.left(), 0);
    if (index.isValid() && !texte.isEmpty() && vue_->fontMetrics().horizontalAdvance(texte) + Marge > visible)
        QToolTip::showText(aide->globalPos(), texte, vue_->viewport(), cellule);
    else
        QToolTip::hideText();
    return true;
}

GroupeAjuste::GroupeAjuste(const QString& titre)
    : QGroupBox(titre)
    , titre_(titre)
{
}

void GroupeAjuste::DefinirTitre(const QString& titre)
{
    if (titre == titre_)
        return;
    titre_ = titre;
    Ajuster();
}

void GroupeAjuste::DefinirConseil(const QString& conseil)
{
    if (conseil == conseil_)
        return;
    conseil_ = conseil;
    Ajuster();
}

QSize GroupeAjuste::minimumSizeHint() const
{
    // What the content needs; the title is cut to fit, never the reverse.
    return layout() ? layout()->totalMinimumSize() : QGroupBox::minimumSizeHint();
}

void GroupeAjuste::resizeEvent(QResizeEvent* evenement)
{
    QGroupBox::resizeEvent(evenement);
    Ajuster();
}

void GroupeAjuste::Ajuster()
{
    const int largeur = std::max(0, width() - MargeTitre);
    const QString coupe = fontMetrics().elidedText(titre_, Qt::ElideMiddle, largeur);
    if (coupe != title())
        setTitle(coupe);
    QStringList lignes;
    if (coupe != titre_)
        lignes << titre_;
    if (!conseil_.isEmpty())
        lignes << conseil_;
    setToolTip(lignes.join('\n'));
}

} // namespace virmak
