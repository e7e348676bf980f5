#include "ui/fenetre_historique.h"

#include "foundation/cn_historique.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace virmak {

namespace {

    // The list scrolls sideways over at least this width, as the original did.
    constexpr int LargeurDefilement = 1000;
    // Lines written while the window is open (a run, the monitor timer) are
    // picked up at this pace when nothing else refreshed the window.
    constexpr int VeilleMs = 300;

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

ModeleHistorique::ModeleHistorique(QObject* parent, int largeurCaractere, int hauteurLigne)
    : QAbstractListModel(parent)
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
    const auto& lignes = FormHist.ListBoxHist.Lignes;
    const auto rang = static_cast<size_t>(index.row());
    if (!index.isValid() || rang >= lignes.size())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(lignes[rang]);
    // Every row has the size of the widest one; the view asks only once.
    if (role == Qt::SizeHintRole)
        return QSize(largeur_, hauteurLigne_);
    return {};
}

void ModeleHistorique::Mesurer(size_t debut, size_t fin)
{
    const auto& lignes = FormHist.ListBoxHist.Lignes;
    for (size_t i = debut; i < fin; ++i)
        largeur_ = std::max(largeur_, Caracteres(lignes[i]) * largeurCaractere_ + 2 * largeurCaractere_);
}

bool ModeleHistorique::Rafraichir()
{
    const auto& lignes = FormHist.ListBoxHist.Lignes;
    const int total = static_cast<int>(lignes.size());
    const int largeurAvant = largeur_;
    // The list only grows, except through "Effacer" or a new start-up:
    // then it no longer holds the last line shown where it was.
    const bool prolonge
        = total >= connues_ && (connues_ == 0 || lignes[static_cast<size_t>(connues_ - 1)] == derniere_);
    if (prolonge) {
        if (total > connues_) {
            beginInsertRows(QModelIndex(), connues_, total - 1);
            Mesurer(static_cast<size_t>(connues_), lignes.size());
            connues_ = total;
            endInsertRows();
        }
    } else {
        beginResetModel();
        largeur_ = LargeurDefilement;
        Mesurer(0, lignes.size());
        connues_ = total;
        endResetModel();
    }
    derniere_ = connues_ > 0 ? lignes.back() : std::string();
    return largeur_ != largeurAvant;
}

TFormHist::TFormHist(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName("FormHist");
    resize(720, 420);

    const QFont fixe = PoliceFixe();
    const QFontMetrics mesure(fixe);
    modele_ = new ModeleHistorique(this, mesure.horizontalAdvance(QLatin1Char('M')), mesure.height() + 2);
    liste_ = new QListView;
    liste_->setObjectName("ListBoxHist");
    liste_->setFont(fixe);
    liste_->setUniformItemSizes(true);
    liste_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    liste_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste_->setModel(modele_);

    auto* effacer = new QPushButton;
    effacer->setObjectName("BtnHistEffacer");
    connect(effacer, &QPushButton::clicked, this, [this] {
        BtnHistEffacerClick();
        Synchroniser();
    });

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(liste_, 1);
    auto* bas = new QHBoxLayout;
    bas->addStretch(1);
    bas->addWidget(effacer);
    colonne->addLayout(bas);

    veille_ = new QTimer(this);
    veille_->setInterval(VeilleMs);
    connect(veille_, &QTimer::timeout, this, [this] { RafraichirListe(); });
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
    setWindowTitle(QString::fromStdString(FormHist.Caption));
    if (auto* effacer = findChild<QPushButton*>("BtnHistEffacer")) {
        effacer->setText(QString::fromStdString(FormHist.BtnHistEffacer.Texte));
        effacer->setEnabled(FormHist.BtnHistEffacer.Actif);
    }
    RafraichirListe();
    if (FormHist.Visible && !isVisible()) {
        move(FormHist.Left, FormHist.Top);
        show();
        liste_->scrollToBottom();
    } else if (!FormHist.Visible && isVisible()) {
        hide();
    }
}

void TFormHist::Voir1Click()
{
    virmak::Voir1Click();
    Synchroniser();
    raise();
    activateWindow();
}

void TFormHist::closeEvent(QCloseEvent* evenement)
{
    FormHist.Visible = false;
    evenement->accept();
}

void TFormHist::showEvent(QShowEvent* evenement)
{
    QWidget::showEvent(evenement);
    RafraichirListe();
    veille_->start();
}

void TFormHist::hideEvent(QHideEvent* evenement)
{
    QWidget::hideEvent(evenement);
    veille_->stop();
}

} // namespace virmak
