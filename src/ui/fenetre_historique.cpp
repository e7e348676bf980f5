#include "ui/fenetre_historique.h"

#include "foundation/cn_historique.h"
#include "ui/fenetre_principale.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace virmak {

namespace {

    // The list scrolls sideways over at least this width, as the original did.
    constexpr int LargeurDefilement = 1000;

    int Caracteres(const std::string& ligne)
    {
        // Code points: every byte but UTF-8 continuation bytes.
        return static_cast<int>(std::count_if(ligne.begin(), ligne.end(),
            [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    }

    bool Chasse(const QFont& police)
    {
        const QFontMetrics m(police);
        return m.horizontalAdvance(QLatin1Char('i')) == m.horizontalAdvance(QLatin1Char('M'));
    }

    // The desktop's fixed-pitch font, else any monospace one: the columns of
    // the dated lines must line up. Glyph widths decide, as some monospace
    // fonts do not declare themselves so.
    QFont PoliceFixe()
    {
        QFont police = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (Chasse(police))
            return police;
        police = QFont(QStringLiteral("Monospace"));
        police.setStyleHint(QFont::TypeWriter);
        police.setFixedPitch(true);
        return police;
    }

} // namespace

ModeleHistorique::ModeleHistorique(TForm1* principale, int largeurCaractere, int hauteurLigne)
    : QAbstractListModel(principale)
    , principale_(principale)
    , largeurCaractere_(largeurCaractere)
    , hauteurLigne_(hauteurLigne)
    , largeur_(LargeurDefilement)
{
}

int ModeleHistorique::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : connues_;
}

QVariant ModeleHistorique::data(const QModelIndex& index, int role) const
{
    const auto rang = static_cast<size_t>(index.row());
    if (!index.isValid() || rang >= lignes_.size())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(lignes_[rang]);
    // Every row has the size of the widest one; the view asks only once.
    if (role == Qt::SizeHintRole)
        return QSize(largeur_, hauteurLigne_);
    return {};
}

void ModeleHistorique::Mesurer(size_t debut, size_t fin)
{
    for (size_t i = debut; i < fin; ++i)
        largeur_ = std::max(largeur_, Caracteres(lignes_[i]) * largeurCaractere_ + 2 * largeurCaractere_);
}

bool ModeleHistorique::Rafraichir()
{
    const LignesPartagees& nouvelles = principale_->Etat().LignesHist;
    if (nouvelles.Revision() == lignes_.Revision())
        return false;
    const int total = static_cast<int>(nouvelles.size());
    const int largeurAvant = largeur_;
    // The list only grows, except through "Effacer" or a new start-up.
    // The rows shown keep reading the lines they were counted in until the
    // model announces the new ones.
    if (nouvelles.Refonte() == lignes_.Refonte() && total >= connues_) {
        if (total == connues_) {
            lignes_ = nouvelles;
            return false;
        }
        beginInsertRows(QModelIndex(), connues_, total - 1);
        lignes_ = nouvelles;
        Mesurer(static_cast<size_t>(connues_), lignes_.size());
        connues_ = total;
        endInsertRows();
    } else {
        beginResetModel();
        lignes_ = nouvelles;
        largeur_ = LargeurDefilement;
        Mesurer(0, lignes_.size());
        connues_ = total;
        endResetModel();
    }
    return largeur_ != largeurAvant;
}

TFormHist::TFormHist(TForm1* principale)
    : QWidget(principale, Qt::Window)
    , principale_(principale)
{
    setObjectName("FormHist");
    resize(720, 420);

    const QFont fixe = PoliceFixe();
    const QFontMetrics mesure(fixe);
    modele_
        = new ModeleHistorique(principale_, mesure.horizontalAdvance(QLatin1Char('M')), mesure.height() + 2);
    liste_ = new QListView;
    liste_->setObjectName("ListBoxHist");
    liste_->setFont(fixe);
    liste_->setUniformItemSizes(true);
    liste_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    liste_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste_->setModel(modele_);

    auto* effacer = new QPushButton;
    effacer->setObjectName("BtnHistEffacer");
    connect(effacer, &QPushButton::clicked, this, [this] { principale_->Poster(BtnHistEffacerClick); });

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(liste_, 1);
    auto* bas = new QHBoxLayout;
    bas->addStretch(1);
    bas->addWidget(effacer);
    colonne->addLayout(bas);

    Synchroniser();
}

void TFormHist::RafraichirListe()
{
    // Follow the end of the history when the operator is looking at it.
    QScrollBar* barre = liste_->verticalScrollBar();
    const bool enBas = barre->value() >= barre->maximum();
    if (modele_->Rafraichir())
        liste_->doItemsLayout();
    if (enBas)
        liste_->scrollToBottom();
}

void TFormHist::Synchroniser()
{
    const FenetreHistorique& h = principale_->Etat().Hist;
    setWindowTitle(QString::fromStdString(h.Caption));
    if (auto* effacer = findChild<QPushButton*>("BtnHistEffacer")) {
        effacer->setText(QString::fromStdString(h.BtnHistEffacer.Texte));
        effacer->setEnabled(h.BtnHistEffacer.Actif);
    }
    RafraichirListe();
    if (h.Visible && !isVisible()) {
        move(h.Left, h.Top);
        show();
        liste_->scrollToBottom();
    } else if (!h.Visible && isVisible()) {
        hide();
    }
    if (h.Visible && montrer_) {
        montrer_ = false;
        raise();
        activateWindow();
    }
}

void TFormHist::Voir1Click()
{
    principale_->Poster([] { virmak::Voir1Click(); });
    montrer_ = true;
}

void TFormHist::closeEvent(QCloseEvent* evenement)
{
    principale_->Poster(FormHistClose);
    evenement->accept();
}

void TFormHist::showEvent(QShowEvent* evenement)
{
    QWidget::showEvent(evenement);
    RafraichirListe();
}

} // namespace virmak
