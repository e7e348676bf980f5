#include "ui/fenetre_latence.h"

#include "foundation/nombres.h"
#include "pupitre/test_latence.h"
#include "ui/commun.h"
#include "ui/fenetre_principale.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace virmak {

namespace {

    QString Microsecondes(double v)
    {
        return Q(FormatFixe(v, 0, 1)) + " µs";
    }

    QString TexteResultats(const MesureLatence& m)
    {
        QString t = QStringLiteral("%1 pas à %2 pas par seconde%3\n")
                        .arg(m.Pas)
                        .arg(m.Frequence)
                        .arg(m.Interrompue ? " (mesure interrompue)" : "");
        t += QStringLiteral("Priorité temps réel : %1 ; bridage du noyau : %2\n")
                 .arg(m.TempsReel ? "accordée" : "refusée", Q(m.Bridage));
        t += "Retard de 99 % des pas : " + Microsecondes(m.P99) + "\n";
        t += "Retard de 99,9 % des pas : " + Microsecondes(m.P999) + "\n";
        t += "Retard maximal : " + Microsecondes(m.Max) + "\n";
        t += QStringLiteral("Pas en retard de plus de 20 µs : %1 ; de plus de 100 µs : %2")
                 .arg(m.Retards20)
                 .arg(m.Retards100);
        return t;
    }

} // namespace

TFormLatence::TFormLatence(TForm1* principale)
    : QDialog(principale)
    , principale_(principale)
{
    setObjectName("FormLatence");
    setModal(false);
    auto* explication = new QLabel(
        QStringLiteral("Le vrai générateur de pas, sur un port simulé, à %1 pas par seconde : rien ne bouge. "
                       "La machine ne fait rien d'autre pendant la mesure ; URGENCE, Échap ou "
                       "« Arrêter » la terminent aussitôt.")
            .arg(FrequenceLatence));
    explication->setWordWrap(true);

    duree_ = new QSpinBox;
    duree_->setObjectName("DureeLatence");
    duree_->setRange(DureeLatenceMini, DureeLatenceMaxi);
    duree_->setSuffix(" s");
    lancer_ = BoutonDialogue("BtnLancer", "Lancer");
    connect(lancer_, &QPushButton::clicked, this,
        [this] { principale_->Poster([d = duree_->value()] { BtnLancerLatenceClick(d); }); });
    arreter_ = BoutonDialogue("BtnArreter", "Arrêter");
    connect(arreter_, &QPushButton::clicked, this, [] { ArretLatenceDemande.store(true); });
    auto* ligne = new QHBoxLayout;
    ligne->addWidget(new QLabel("Durée"));
    ligne->addWidget(duree_);
    ligne->addWidget(lancer_);
    ligne->addWidget(arreter_);
    ligne->addStretch(1);
    QPushButton* aide = BoutonAide(AideLatence, 22);
    connect(aide, &QPushButton::clicked, this, [this] { principale_->Aide(1000 + AideLatence); });
    ligne->addWidget(aide);

    progression_ = new QProgressBar;
    progression_->setObjectName("ProgressionLatence");
    progression_->setRange(0, 1000);
    progression_->setTextVisible(false);
    resultats_ = new QLabel;
    resultats_->setObjectName("ResultatsLatence");
    resultats_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    conseil_ = new QLabel;
    conseil_->setObjectName("ConseilLatence");
    conseil_->setWordWrap(true);
    appliquer_ = BoutonDialogue("BtnAppliquer", "");
    appliquer_->setToolTip("Ramène à cette valeur l'avance maxi (pas par seconde) des axes qui la dépassent, "
                           "dans CncParam.Ini ; la mécanique peut demander moins.");
    connect(
        appliquer_, &QPushButton::clicked, this, [this] { principale_->Poster(BtnAppliquerLatenceClick); });
    application_ = new QLabel;
    application_->setObjectName("ApplicationLatence");
    application_->setWordWrap(true);
    QPushButton* fermer = BoutonDialogue("BtnFermer", "Fermer");
    connect(fermer, &QPushButton::clicked, this, [this] { Fermer(); });
    auto* bas = new QHBoxLayout;
    bas->addWidget(appliquer_);
    bas->addStretch(1);
    bas->addWidget(fermer);

    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(explication);
    colonne->addLayout(ligne);
    colonne->addWidget(progression_);
    colonne->addWidget(resultats_);
    colonne->addWidget(conseil_);
    colonne->addWidget(application_);
    colonne->addStretch(1);
    colonne->addLayout(bas);
    setMinimumWidth(440);

    // The machine thread is busy with the measure: its progress comes
    // from the shared counter, not from copies.
    veille_ = new QTimer(this);
    veille_->setInterval(50);
    connect(veille_, &QTimer::timeout, this,
        [this] { progression_->setValue(ProgressionLatence.load(std::memory_order_relaxed)); });
    duree_->setValue(principale_->Etat().Latence.Duree);
    Synchroniser();
}

void TFormLatence::Synchroniser()
{
    const FenetreLatence& l = principale_->Etat().Latence;
    setWindowTitle(Q(l.Caption));
    lancer_->setEnabled(l.BtnLancer.Actif && !l.EnCours);
    arreter_->setEnabled(l.EnCours);
    duree_->setEnabled(!l.EnCours);
    appliquer_->setText(Q(l.BtnAppliquer.Texte));
    appliquer_->setEnabled(l.BtnAppliquer.Actif && !l.EnCours);
    appliquer_->setVisible(l.Mesuree && !l.EnCours);
    if (l.EnCours) {
        veille_->start();
        resultats_->setText("Mesure en cours…");
        conseil_->clear();
        application_->clear();
    } else {
        veille_->stop();
        progression_->setValue(l.Mesuree && !l.Mesure.Interrompue ? 1000 : 0);
        resultats_->setText(l.Mesuree ? TexteResultats(l.Mesure) : QString());
        conseil_->setText(l.Mesuree ? Q(l.Mesure.Conseil) : QString());
        QString application;
        if (l.Mesuree && l.Mesure.AvMaxConseille > 0) {
            application
                = QStringLiteral("AvMax conseillé : %1 pas par seconde (aujourd'hui X %2, Y %3, Z %4).")
                      .arg(l.Mesure.AvMaxConseille)
                      .arg(principale_->Etat().AvMax[0])
                      .arg(principale_->Etat().AvMax[1])
                      .arg(principale_->Etat().AvMax[2]);
            if (!l.Application.empty())
                application += "\n" + Q(l.Application);
        }
        application_->setText(application);
    }
    if (isVisible()) {
        // A window with wrapped text does not grow by itself when its
        // results come: the lines would be drawn over one another.
        layout()->activate();
        const int hauteur = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                          : layout()->totalMinimumSize().height();
        if (height() < hauteur)
            resize(width(), hauteur);
    }
    if (l.Visible && !isVisible()) {
        adjustSize();
        if (!place_) {
            principale_->PlacerACote(this);
            place_ = true;
        }
        show();
        raise();
        activateWindow();
    } else if (!l.Visible && isVisible()) {
        hide();
    }
}

void TFormLatence::Fermer()
{
    // A measure under way ends at its next check, before the window goes.
    ArretLatenceDemande.store(true);
    // Named: until the machine has hidden it, older copies do not show it.
    principale_->Poster("FormLatence", FermerLatence);
    hide();
}

void TFormLatence::reject()
{
    Fermer();
}

void TFormLatence::closeEvent(QCloseEvent* evenement)
{
    evenement->accept();
    Fermer();
}

} // namespace virmak
