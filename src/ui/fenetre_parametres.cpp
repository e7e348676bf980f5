#include "ui/fenetre_parametres.h"

#include "pupitre/page_entrees_sorties.h"
#include "pupitre/parametrage.h"
#include "ui/calcul_pas.h"
#include "ui/commun.h"
#include "ui/fenetre_principale.h"
#include "ui/polices.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace virmak {

namespace {

    const char* const Axes[3] = { "X", "Y", "Z" };

    QCheckBox* NouvelleCase(const QString& nom)
    {
        auto* c = new QCheckBox;
        c->setObjectName(nom);
        return c;
    }

    void MiroirCase(QCheckBox* c, const CaseACocher& modele)
    {
        c->setText(Q(modele.Texte));
        c->setChecked(modele.Cochee);
        c->setEnabled(modele.Actif);
    }

} // namespace

TForm3::TForm3(TForm1* principale)
    : QDialog(principale)
    , principale_(principale)
{
    setObjectName("Form3");
    setModal(false);

    pages_ = new QTabWidget;
    pages_->setObjectName("PageControl1");
    // The active tab's caption in red bold.
    pages_->setStyleSheet("QTabBar::tab { min-width: 120px; } "
                          "QTabBar::tab:selected { color: red; font-weight: bold; }");
    pages_->addTab(PageAxes(), TitrePage[OngletAxes]);
    pages_->addTab(PageVitesses(), TitrePage[OngletVitesses]);
    pages_->addTab(PageSignaux(), Q(PageES.Caption));
    pages_->addTab(new QWidget, TitrePage[OngletTests]);
    pages_->setTabVisible(OngletTests, false);
    pages_->addTab(PageOrigine(), TitrePage[OngletOrigine]);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        // A page shown for the first time may need more room than it said
        // while hidden.
        if (isVisible())
            Dimensionner();
        if (!remplissage_)
            Poster(pages_, [page] { PageControlChange(page); });
    });
    Miroir(pages_, [this](const Instantane& e) {
        // Only a page the core chose is imposed; the operator's tab stays.
        if (e.Form3.ActivePage != pageMontree_ || !isVisible()) {
            pageMontree_ = e.Form3.ActivePage;
            pages_->setCurrentIndex(pageMontree_);
        }
    });

    QPushButton* restaurer = BoutonDialogue("BitBtnRestore", "Restaurer");
    connect(restaurer, &QPushButton::clicked, this, [this] { principale_->Poster(BitBtnRestoreClick); });
    Miroir(restaurer, [restaurer](const Instantane& e) { restaurer->setEnabled(e.ES.BitBtnRestore.Actif); });
    QPushButton* appliquer = BoutonDialogue("BitBtnAppli", "Appliquer");
    connect(appliquer, &QPushButton::clicked, this, [this] { principale_->Poster(BitBtnAppliClick); });
    Miroir(appliquer, [appliquer](const Instantane& e) { appliquer->setEnabled(e.ES.BitBtnAppli.Actif); });
    QPushButton* annuler = BoutonDialogue("BitBtnAnnuler", "Annuler");
    connect(annuler, &QPushButton::clicked, this, [this] { reject(); });
    QPushButton* valider = BoutonDialogue("BitBtnOK", "Valider / Sortir");
    connect(valider, &QPushButton::clicked, this, [this] { principale_->Poster(BitBtnOKClick); });

    auto* boutons = new QHBoxLayout;
    for (QPushButton* b : { restaurer, appliquer, annuler, valider })
        boutons->addWidget(b);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(6, 6, 6, 6);
    colonne->addWidget(pages_, 1);
    colonne->addLayout(boutons);
    Dimensionner();
    Synchroniser();
}

void TForm3::Dimensionner()
{
    // The designed size, larger where the fonts need it: no label, field or
    // list entry is ever cut. Measured as polished, as it will show.
    ensurePolished();
    // The layouts keep the hints they measured before; a page never shown
    // would otherwise be sized with its unpolished ones.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->ensurePolished();
        w->updateGeometry();
    }
    for (QLayout* l : findChildren<QLayout*>())
        l->invalidate();
    const FenetreParametres& f = principale_->Etat().Form3;
    setFixedSize(QSize(f.ClientWidth, f.ClientHeight).expandedTo(layout()->totalMinimumSize()));
}

void TForm3::Poster(QWidget* w, std::function<void()> action)
{
    attente_[w] = principale_->Poster(std::move(action));
}

void TForm3::Miroir(QWidget* w, std::function<void(const Instantane&)> miroir)
{
    miroirs_.emplace_back(w, std::move(miroir));
}

QWidget* TForm3::BoutonAide(int tag)
{
    QPushButton* b = virmak::BoutonAide(tag, 22);
    connect(
        b, &QPushButton::clicked, this, [this, tag] { principale_->Poster([tag] { BtnAideClick(tag); }); });
    return b;
}

QWidget* TForm3::Champ(int champ)
{
    auto* e = new QLineEdit;
    e->setObjectName(NomChamp[champ]);
    // The widest the fields usually show, "1234.5678", in this font.
    e->setFixedWidth(std::max(80, LargeurNombre(e->fontMetrics(), QStringLiteral("0000.0000")) + 12));
    e->setAlignment(Qt::AlignRight);
    connect(e, &QLineEdit::textEdited, this, [this, e, champ](const QString& t) {
        Poster(e, [champ, texte = t.toStdString()] { EditChange(champ, texte); });
    });
    const bool vitesse = champ >= ChampAvM && champ < ChampAvM + 6;
    const bool jeu = champ >= ChampJeu && champ < ChampJeu + 3;
    if (vitesse || jeu)
        connect(e, &QLineEdit::editingFinished, this, [this, e, champ, vitesse] {
            if (vitesse)
                Poster(e, [tag = champ - ChampAvM + 1] { EditAvMExit(tag); });
            else
                Poster(e, [axe = champ - ChampJeu] { EditJeuExit(axe); });
        });
    Miroir(e, [e, champ](const Instantane& etat) {
        const QString texte = Q(etat.Form3.Champs[champ].Texte);
        if (e->text() != texte)
            e->setText(texte);
    });
    return e;
}

QHBoxLayout* TForm3::LigneChamp(const char* avant, int champ, const char* apres)
{
    auto* ligne = new QHBoxLayout;
    ligne->addWidget(new QLabel(avant));
    ligne->addWidget(Champ(champ));
    ligne->addWidget(new QLabel(apres));
    ligne->addStretch(1);
    return ligne;
}

void TForm3::TerminerPage(QVBoxLayout* colonne, int aide)
{
    colonne->addStretch(1);
    auto* ligne = new QHBoxLayout;
    ligne->addStretch(1);
    ligne->addWidget(BoutonAide(aide));
    colonne->addLayout(ligne);
}

QWidget* TForm3::PageAxes()
{
    auto* page = new QWidget;
    auto* colonne = new QVBoxLayout(page);

    auto* vis = new QGroupBox(GroupeVis);
    auto* grilleVis = new QGridLayout(vis);
    for (int i = 0; i < 3; ++i) {
        grilleVis->addWidget(new QLabel(Axes[i]), 0, 3 * i);
        grilleVis->addWidget(Champ(ChampPas + i), 0, 3 * i + 1);
        grilleVis->addWidget(new QLabel(TextePasParMm), 0, 3 * i + 2);
        // The motor, its micro-stepping and the screw or belt give the value.
        QPushButton* calcul
            = BoutonDialogue(qPrintable(QStringLiteral("BtnCalculPas%1").arg(Axes[i])), "Calcul…");
        calcul->setToolTip("Pas par mm du moteur, de ses micro-pas et de la vis ou de la courroie");
        connect(calcul, &QPushButton::clicked, this, [this, i] {
            auto* calculateur = new CalculPasParMm(this, i, [this, i](double pasParMm) {
                principale_->Poster([i, pasParMm] { CalculPasParMmClick(i, pasParMm); });
            });
            calculateur->open();
        });
        grilleVis->addWidget(calcul, 1, 3 * i + 1);
    }

    auto* jeux = new QGroupBox(GroupeJeux);
    auto* grilleJeux = new QGridLayout(jeux);
    for (int i = 0; i < 3; ++i) {
        grilleJeux->addWidget(new QLabel(Axes[i]), i, 0);
        grilleJeux->addWidget(Champ(ChampJeu + i), i, 1);
        grilleJeux->addWidget(new QLabel(TexteMmSoit), i, 2);
        auto* pas = new QLabel;
        pas->setObjectName(QStringLiteral("LabelJeu%1").arg(Axes[i]));
        pas->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pas->setMinimumWidth(40);
        Miroir(pas, [pas, i](const Instantane& e) { pas->setText(Q(e.Form3.LabelJeu[i].Texte)); });
        grilleJeux->addWidget(pas, i, 3);
        grilleJeux->addWidget(new QLabel(TextePas), i, 4);
    }
    static const char* const nomsCases[4]
        = { "CheckBoxJeuX", "CheckBoxJeuY", "CheckBoxJeuZ", "CheckBoxCalageZ" };
    for (int tag = 0; tag < 4; ++tag) {
        QCheckBox* c = NouvelleCase(nomsCases[tag]);
        c->setProperty("tag", tag);
        connect(c, &QCheckBox::clicked, this,
            [this, c, tag](bool cochee) { Poster(c, [tag, cochee] { CheckBoxJeuClick(tag, cochee); }); });
        Miroir(c, [c, tag](const Instantane& e) { MiroirCase(c, e.Form3.CheckBoxJeu[tag]); });
        grilleJeux->addWidget(c, tag, 6);
    }
    grilleJeux->setColumnStretch(5, 1);

    auto* interpolation = new QGroupBox(GroupeInterpolation);
    interpolation->setLayout(LigneChamp(TexteCrete, ChampCrete, TexteMm));

    colonne->addWidget(vis);
    colonne->addWidget(jeux);
    colonne->addWidget(interpolation);
    TerminerPage(colonne, AideAxes);
    return page;
}

QWidget* TForm3::PageOrigine()
{
    auto* page = new QWidget;
    auto* colonne = new QVBoxLayout(page);

    auto* origine = new QGroupBox(GroupeOrigine);
    auto* grille = new QGridLayout(origine);
    for (int i = 0; i < 3; ++i)
        grille->addWidget(new QLabel(Axes[i]), 0, i + 1, Qt::AlignCenter);
    const struct {
        const char* texte;
        int champ;
    } lignes[] = { { TexteVitRech, ChampVitRech }, { TexteSensRech, ChampSensRech },
        { TexteOrigine, ChampOrigine } };
    int rang = 1;
    for (const auto& l : lignes) {
        grille->addWidget(new QLabel(l.texte), rang, 0);
        for (int i = 0; i < 3; ++i)
            grille->addWidget(Champ(l.champ + i), rang, i + 1);
        ++rang;
    }
    grille->addWidget(new QLabel(TexteOrdre), rang, 0);
    grille->addWidget(Champ(ChampOrdre), rang, 1);
    grille->setColumnStretch(4, 1);

    auto* palpeur = new QGroupBox(GroupePalpeur);
    auto* grillePalpeur = new QGridLayout(palpeur);
    const struct {
        const char* texte;
        int champ;
    } champs[] = { { TexteVitPalp, ChampVitPalp }, { TexteCoursePalp, ChampCoursePalp },
        { TexteCale, ChampCale }, { TexteRetrait, ChampRetrait } };
    for (int k = 0; k < 4; ++k) {
        grillePalpeur->addWidget(new QLabel(champs[k].texte), k, 0);
        grillePalpeur->addWidget(Champ(champs[k].champ), k, 1);
    }
    grillePalpeur->setColumnStretch(2, 1);

    colonne->addWidget(origine);
    colonne->addWidget(palpeur);
    TerminerPage(colonne, AideOrigine);
    return page;
}

QWidget* TForm3::PageVitesses()
{
    auto* page = new QWidget;
    auto* colonne = new QVBoxLayout(page);

    // Per axis: a label and its field, twice.
    const auto lignes
        = [this](QGridLayout* grille, const char* texte1, int champ1, const char* texte2, int champ2) {
              for (int i = 0; i < 3; ++i) {
                  grille->addWidget(new QLabel(QString(texte1) + Axes[i]), i, 0);
                  grille->addWidget(Champ(champ1 + i), i, 1);
                  grille->addWidget(new QLabel(QString(texte2) + Axes[i]), i, 2, Qt::AlignRight);
                  grille->addWidget(Champ(champ2 + i), i, 3);
              }
          };
    auto* limites = new QGroupBox(GroupeLimites);
    auto* grille = new QGridLayout(limites);
    lignes(grille, TexteAvMax, ChampAvM, TexteMmMn, ChampM);
    grille->addWidget(new QLabel(TexteRapide), 3, 0, 1, 2);
    auto* rapide = new QSlider(Qt::Horizontal);
    rapide->setObjectName("TrackBarRap");
    rapide->setTickPosition(QSlider::TicksBelow);
    connect(rapide, &QSlider::valueChanged, this, [this, rapide](int v) {
        if (!remplissage_)
            Poster(rapide, [v] { Form3.TrackBarRap.DefinirPosition(v); });
    });
    Miroir(rapide, [rapide](const Instantane& e) {
        const Curseur& c = e.Form3.TrackBarRap;
        rapide->setRange(c.Min, c.Max);
        rapide->setTickInterval(c.Frequence);
        rapide->setValue(c.Position);
    });
    grille->addWidget(rapide, 3, 2, 1, 2);
    auto* pourcent = new QLabel;
    pourcent->setObjectName("LabelRap");
    Miroir(pourcent, [pourcent](const Instantane& e) { pourcent->setText(Q(e.Form3.LabelRap.Texte)); });
    grille->addWidget(pourcent, 3, 4);

    auto* rampes = new QGroupBox(GroupeRampes);
    auto* grilleRampes = new QGridLayout(rampes);
    lignes(grilleRampes, TexteAcceleration, ChampAcceleration, TexteVitRampe, ChampVitRampe);
    for (int i = 0; i < 3; ++i) {
        auto* etat = new QLabel;
        etat->setObjectName(QStringLiteral("LabelRampe%1").arg(Axes[i]));
        // Room for a long braking distance: the dialog does not grow once shown.
        etat->setMinimumWidth(LargeurNombre(etat->fontMetrics(), Q(TexteFreinage) + "0000,00 mm"));
        Miroir(etat, [etat, i](const Instantane& e) { etat->setText(Q(e.Form3.LabelRampe[i].Texte)); });
        grilleRampes->addWidget(etat, i, 4);
    }
    grilleRampes->setColumnStretch(4, 1);

    QCheckBox* mach = NouvelleCase("CheckBoxMach");
    mach->setToolTip(Q(ConseilSimulation).replace("\r\n", "\n"));
    connect(mach, &QCheckBox::clicked, this,
        [this, mach](bool c) { Poster(mach, [c] { CheckBoxMachClick(c); }); });
    Miroir(mach, [mach](const Instantane& e) { MiroirCase(mach, e.Form3.CheckBoxMach); });
    QCheckBox* affRap = NouvelleCase("CheckBoxAffRap");
    connect(affRap, &QCheckBox::clicked, this,
        [this, affRap](bool c) { Poster(affRap, [c] { CheckBoxAffRapClick(c); }); });
    Miroir(affRap, [affRap](const Instantane& e) { MiroirCase(affRap, e.Form3.CheckBoxAffRap); });

    colonne->addWidget(limites);
    colonne->addWidget(rampes);
    colonne->addWidget(mach);
    colonne->addWidget(affRap);
    colonne->addLayout(LigneChamp(TexteCreneau, ChampCreneau, TexteMicro));
    TerminerPage(colonne, AideVitesses);
    return page;
}

void TForm3::LigneSignal(QGridLayout* grille, int rangee, bool entree, int index)
{
    const auto ligne = [entree, index](const Instantane& e) -> const virmak::LigneSignal& {
        return entree ? e.ES.Entrees[index] : e.ES.Sorties[index];
    };
    const virmak::LigneSignal& modele = ligne(principale_->Etat());
    const QString prefixe = entree ? "CBIn" : "CBOut";
    const int slot = modele.Tag;
    grille->addWidget(new QLabel(Q(modele.Libelle)), rangee, 0);
    auto* liste = new QComboBox;
    liste->setObjectName(prefixe + QString::number(slot));
    liste->setProperty("tag", slot);
    for (const std::string& l : modele.CB.Lignes)
        liste->addItem(Q(l));
    liste->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(liste, &QComboBox::activated, this, [this, liste, entree, slot](int choix) {
        Poster(liste, [entree, slot, choix] { entree ? CBInChange(slot, choix) : CBOutChange(slot, choix); });
    });
    Miroir(liste, [liste, ligne](const Instantane& e) {
        liste->setCurrentIndex(ligne(e).CB.Selection);
        liste->setEnabled(ligne(e).CB.Actif);
    });
    grille->addWidget(liste, rangee, 1);
    for (int colonne = 0; colonne < 2; ++colonne) {
        CaseACocher virmak::LigneSignal::*membre
            = colonne == 0 ? &virmak::LigneSignal::Inverse : &virmak::LigneSignal::Active;
        QCheckBox* c = NouvelleCase(prefixe + (colonne == 0 ? "Inverse" : "Active") + QString::number(slot));
        c->setProperty("tag", slot);
        connect(c, &QCheckBox::clicked, this, [this, c, entree, index, membre](bool cochee) {
            Poster(c, [entree, index, membre, cochee] {
                CheckBoxESClick((entree ? PageES.Entrees[index] : PageES.Sorties[index]).*membre, cochee);
            });
        });
        Miroir(c, [c, ligne, membre](const Instantane& e) {
            c->setChecked((ligne(e).*membre).Cochee);
            c->setEnabled((ligne(e).*membre).Actif);
        });
        grille->addWidget(c, rangee, 2 + colonne, Qt::AlignHCenter);
    }
}

QGroupBox* TForm3::GroupeSignaux(bool entrees)
{
    const PageEntreesSorties& es = principale_->Etat().ES;
    auto* groupe = new QGroupBox(Q(entrees ? es.GroupeEntrees : es.GroupeSorties));
    auto* grille = new QGridLayout(groupe);
    grille->setVerticalSpacing(2);
    grille->setHorizontalSpacing(3);
    grille->setContentsMargins(6, 6, 6, 6);
    // Two lines each, so that both groups fit side by side.
    const auto entete = [](const std::string& texte) {
        auto* l = new QLabel(Q(texte).replace(' ', '\n'));
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    grille->addWidget(entete(TexteInverse), 0, 2, Qt::AlignHCenter);
    grille->addWidget(entete(entrees ? TexteEntreeActivee : TexteSortieActivee), 0, 3, Qt::AlignHCenter);
    grille->addWidget(BoutonAide(entrees ? AideEntrees : AideSorties), 0, 0, Qt::AlignLeft);
    const int nb = entrees ? NbEntrees : NbSorties;
    for (int i = 0; i < nb; ++i)
        LigneSignal(grille, i + 1, entrees, i);
    grille->setRowStretch(nb + 1, 1);
    return groupe;
}

QWidget* TForm3::PageSignaux()
{
    const PageEntreesSorties& es = principale_->Etat().ES;
    auto* page = new QWidget;
    // Thirteen rows and two groups side by side: the smaller type of the
    // original page.
    QFont police = page->font();
    police.setPixelSize(11);
    page->setFont(police);
    auto* rangee = new QHBoxLayout(page);
    rangee->setContentsMargins(0, 4, 0, 0);
    auto* gauche = new QVBoxLayout;
    gauche->addWidget(GroupeSignaux(true));

    auto* port = new QGroupBox(Q(es.GroupePort));
    auto* grillePort = new QGridLayout(port);
    grillePort->addWidget(BoutonAide(AidePort), 0, 0, Qt::AlignLeft);
    grillePort->addWidget(new QLabel(Q(es.LibellePort)), 0, 1);
    auto* liste = new QComboBox;
    liste->setObjectName("CBPort");
    for (const std::string& l : es.CBPort.Lignes)
        liste->addItem(Q(l));
    liste->setToolTip(Q(es.CBPort.Conseil));
    connect(liste, &QComboBox::activated, this,
        [this, liste](int entree) { Poster(liste, [entree] { CBPortChange(entree); }); });
    Miroir(liste, [liste](const Instantane& e) { liste->setCurrentIndex(e.ES.CBPort.Selection); });
    grillePort->addWidget(liste, 1, 0, 1, 2);
    gauche->addWidget(port);
    QPushButton* usuel = BoutonDialogue("BitBtnCablageUsuel", Q(es.BitBtnCablageUsuel.Texte));
    usuel->setToolTip(Q(es.BitBtnCablageUsuel.Conseil).replace("\r\n", "\n"));
    connect(usuel, &QPushButton::clicked, this, [this, usuel] { Poster(usuel, BitBtnCablageUsuelClick); });
    gauche->addWidget(usuel, 0, Qt::AlignLeft);
    gauche->addStretch(1);

    rangee->addLayout(gauche);
    rangee->addWidget(GroupeSignaux(false));
    return page;
}

void TForm3::Synchroniser()
{
    const Instantane& e = principale_->Etat();
    remplissage_ = true;
    setWindowTitle(Q(e.Form3.Caption));
    for (auto& [w, miroir] : miroirs_) {
        auto attente = attente_.find(w);
        if (attente != attente_.end() && attente->second > e.Sequence)
            continue;
        miroir(e);
    }
    if (e.Form3.Visible && !isVisible()) {
        Dimensionner();
        // Centred on the main window each time it is shown.
        const QRect cadre = principale_->frameGeometry();
        move(cadre.center() - QPoint(width() / 2, height() / 2));
        show();
        raise();
        activateWindow();
    } else if (!e.Form3.Visible && isVisible()) {
        hide();
    }
    remplissage_ = false;
}

void TForm3::reject()
{
    principale_->Poster(BitBtnAnnulerClick);
}

void TForm3::closeEvent(QCloseEvent* evenement)
{
    // The core decides; it hides the dialog when it may close.
    evenement->ignore();
    principale_->Poster([] { Form3.FormCloseQuery(); });
}

void TForm3::changeEvent(QEvent* evenement)
{
    QDialog::changeEvent(evenement);
    if (evenement->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        versBoite_ = QApplication::activeWindow();
        return;
    }
    // Coming back from a message box opened by the dialog's own handlers,
    // or from its calculator, is no activation: the file must not undo what
    // the operator typed.
    if (qobject_cast<QMessageBox*>(versBoite_.data()) || qobject_cast<CalculPasParMm*>(versBoite_.data()))
        return;
    principale_->Poster([] { Form3.FormActivate(); });
}

} // namespace virmak
