#include "ui/fenetre_outils.h"

#include "pupitre/dialogue_outils.h"
#include "ui/commun.h"
#include "ui/fenetre_principale.h"
#include "ui/infobulle.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace virmak {

namespace {

    // The grid's fixed row and column become Qt's headers.
    int LargeurGrille(const QTableWidget* table)
    {
        int largeur = table->verticalHeader()->width() + table->verticalScrollBar()->sizeHint().width()
            + 2 * table->frameWidth();
        for (int c = 0; c < table->columnCount(); ++c)
            largeur += table->columnWidth(c);
        return largeur;
    }

} // namespace

TFormCorrecteursOutils::TFormCorrecteursOutils(TForm1* principale)
    : QDialog(principale)
    , principale_(principale)
{
    setObjectName("FormCorrecteursOutils");
    setModal(false);
    const FenetreOutils& f = principale_->Etat().Outils;

    outils_ = NouvelleGrille("StringGridOutils", &FenetreOutils::StringGridOutils);
    corDyn_ = NouvelleGrille("StringGridCorDyn", &FenetreOutils::StringGridCorDyn);
    // One tool per row on both sides: the two grids scroll together.
    connect(outils_->verticalScrollBar(), &QScrollBar::valueChanged, corDyn_->verticalScrollBar(),
        &QScrollBar::setValue);
    connect(corDyn_->verticalScrollBar(), &QScrollBar::valueChanged, outils_->verticalScrollBar(),
        &QScrollBar::setValue);

    auto* grilles = new QHBoxLayout;
    auto* gauche = new QVBoxLayout;
    gauche->addWidget(new QLabel(TitreOutils));
    gauche->addWidget(outils_, 1);
    auto* droite = new QVBoxLayout;
    droite->addWidget(new QLabel(TitreCorDyn));
    droite->addWidget(corDyn_, 1);
    grilles->addLayout(gauche);
    grilles->addLayout(droite);

    QPushButton* ok = BoutonDialogue("BitBtnOK", "OK");
    connect(ok, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    QPushButton* annuler = BoutonDialogue("BitBtnAnnuler", "Annuler");
    connect(annuler, &QPushButton::clicked, this, [this] { reject(); });
    QPushButton* aide = BoutonDialogue("BtnAide", "Aide");
    aide->setProperty("tag", f.BtnAideTag);
    connect(aide, &QPushButton::clicked, this,
        [this] { principale_->Poster([] { FormCorrecteursOutils.BtnAideClick(); }); });
    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(ok);
    boutons->addWidget(annuler);
    boutons->addWidget(aide);

    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(grilles, 1);
    colonne->addLayout(boutons);

    Remplir(outils_, f.StringGridOutils);
    Remplir(corDyn_, f.StringGridCorDyn);
    outils_->setFixedWidth(LargeurGrille(outils_));
    corDyn_->setFixedWidth(LargeurGrille(corDyn_));
    resize(sizeHint().width(), 520);
    Synchroniser();
}

QTableWidget* TFormCorrecteursOutils::NouvelleGrille(const char* nom, Grille FenetreOutils::*grille)
{
    const Grille& modele = principale_->Etat().Outils.*grille;
    auto* table = new QTableWidget(modele.RowCount() - 1, modele.ColCount() - 1);
    table->setObjectName(nom);
    QFont police = table->font();
    police.setPixelSize(11);
    table->setFont(police);
    table->horizontalHeader()->setFont(police);
    table->verticalHeader()->setFont(police);
    table->verticalHeader()->setFixedWidth(modele.ColWidths[0]);
    table->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(police).height() + 6);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 1; c < modele.ColCount(); ++c)
        table->setColumnWidth(c - 1, modele.ColWidths[static_cast<size_t>(c)]);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    new InfobulleTronquee(table);
    connect(table, &QTableWidget::itemChanged, this, [this, grille](QTableWidgetItem* item) {
        if (remplissage_)
            return;
        principale_->Poster([grille, colonne = item->column() + 1, rangee = item->row() + 1,
                                texte = item->text().toStdString()] {
            (FormCorrecteursOutils.*grille).Cells(colonne, rangee) = texte;
        });
    });
    return table;
}

void TFormCorrecteursOutils::Remplir(QTableWidget* table, const Grille& modele)
{
    remplissage_ = true;
    QStringList titres;
    for (int c = 1; c < modele.ColCount(); ++c)
        titres << Q(modele.Cells(c, 0));
    table->setHorizontalHeaderLabels(titres);
    QStringList outils;
    for (int r = 1; r < modele.RowCount(); ++r)
        outils << Q(modele.Cells(0, r));
    table->setVerticalHeaderLabels(outils);
    for (int r = 1; r < modele.RowCount(); ++r) {
        for (int c = 1; c < modele.ColCount(); ++c) {
            QTableWidgetItem* item = table->item(r - 1, c - 1);
            if (!item) {
                item = new QTableWidgetItem;
                // Designations read from the left, numbers from the right.
                const bool texte = table == outils_ && c == 1;
                item->setTextAlignment(Qt::AlignVCenter | (texte ? Qt::AlignLeft : Qt::AlignRight));
                table->setItem(r - 1, c - 1, item);
            }
            // The cell's leading blanks right-align it in a fixed-width font;
            // here the alignment does it, and the narrow column keeps room
            // for the digits.
            item->setText(Q(modele.Cells(c, r)).trimmed());
        }
    }
    remplissage_ = false;
}

void TFormCorrecteursOutils::Synchroniser()
{
    const FenetreOutils& f = principale_->Etat().Outils;
    setWindowTitle(Q(f.Caption));
    if (f.Visible && !isVisible()) {
        for (QTableWidget* table : { outils_, corDyn_ }) {
            // An editor left open by a cancel is dropped, not taken in.
            table->reset();
            Remplir(table, table == outils_ ? f.StringGridOutils : f.StringGridCorDyn);
        }
        outils_->scrollToTop();
        show();
    } else if (f.Visible && montrer_) {
        montrer_ = false;
        raise();
        activateWindow();
    } else if (!f.Visible && isVisible()) {
        hide();
    }
}

void TFormCorrecteursOutils::Correcteurs1Click()
{
    principale_->Poster([] { virmak::Correcteurs1Click(); });
    montrer_ = true;
}

void TFormCorrecteursOutils::TerminerSaisie()
{
    // Leaving the current cell hands a cell still being typed to the model.
    for (QTableWidget* table : { outils_, corDyn_ })
        if (table->indexWidget(table->currentIndex()))
            table->setCurrentIndex(QModelIndex());
}

void TFormCorrecteursOutils::BitBtnOKClick()
{
    TerminerSaisie();
    principale_->Poster([] { FormCorrecteursOutils.BitBtnOKClick(); });
}

void TFormCorrecteursOutils::reject()
{
    principale_->Poster([] { FormCorrecteursOutils.BitBtnAnnulerClick(); });
}

} // namespace virmak
