#include "ui/fenetre_machine_virtuelle.h"

#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "machine/machine_virtuelle.h"
#include "ui/fenetre_principale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace virmak {

namespace {
    constexpr int RafraichissementMs = 50;
    const char* const Axes[3] = { "X", "Y", "Z" };
} // namespace

TFormMachineVirtuelle::TFormMachineVirtuelle(TForm1* principale, MachineVirtuelle* machine)
    : QWidget(principale, Qt::Window)
    , principale_(principale)
    , machine_(machine)
{
    setObjectName("FormMachineVirtuelle");
    setWindowTitle("Machine virtuelle");
    auto* grille = new QGridLayout;
    grille->addWidget(new QLabel("Axe"), 0, 0);
    grille->addWidget(new QLabel("Position décodée"), 0, 1);
    grille->addWidget(new QLabel("Fin de course"), 0, 2);
    QFont fixe(QStringLiteral("Monospace"));
    fixe.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < 3; ++i) {
        grille->addWidget(new QLabel(Axes[i]), i + 1, 0);
        positions_[i] = new QLabel;
        positions_[i]->setObjectName(QStringLiteral("Position%1").arg(Axes[i]));
        positions_[i]->setFont(fixe);
        positions_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grille->addWidget(positions_[i], i + 1, 1);
        butees_[i] = new QCheckBox("fermée");
        butees_[i]->setObjectName(QStringLiteral("Butee%1").arg(Axes[i]));
        butees_[i]->setToolTip("Fermer la butée à la main ; elle se ferme aussi hors de la course de l'axe "
                               "(section [MACHINE VIRTUELLE] de CncParam.Ini).");
        connect(butees_[i], &QCheckBox::toggled, this, [this, i](bool c) { machine_->FermerButee(i, c); });
        grille->addWidget(butees_[i], i + 1, 2);
    }
    arret_ = new QCheckBox("Entrée d'arrêt d'urgence active");
    arret_->setObjectName("ArretUrgence");
    connect(arret_, &QCheckBox::toggled, this, [this](bool c) { machine_->DefinirArretUrgence(c); });

    // The tool probe: closed by hand, or by a plate the tool comes down on.
    palpeur_ = new QCheckBox("Palpeur outil en contact");
    palpeur_->setObjectName("Palpeur");
    connect(palpeur_, &QCheckBox::toggled, this, [this](bool c) { machine_->FermerPalpeur(c); });
    auto* cale = new QCheckBox("Cale sous l'outil, dessus à Z =");
    cale->setObjectName("Cale");
    auto* hauteur = new QDoubleSpinBox;
    hauteur->setObjectName("HauteurCale");
    hauteur->setRange(-10000, 10000);
    hauteur->setDecimals(3);
    hauteur->setSuffix(" mm");
    const double valPasZ = principale->Etat().ValPas[2] > 0 ? principale->Etat().ValPas[2] : 0.0025;
    cale->setChecked(machine_->CalePresente());
    hauteur->setValue(static_cast<double>(machine_->Cale()) * valPasZ);
    const auto poserCale = [this, cale, hauteur, valPasZ] {
        machine_->DefinirCale(cale->isChecked(), std::llround(hauteur->value() / valPasZ));
    };
    connect(cale, &QCheckBox::toggled, this, poserCale);
    connect(hauteur, &QDoubleSpinBox::valueChanged, this, poserCale);
    auto* ligneCale = new QHBoxLayout;
    ligneCale->addWidget(cale);
    ligneCale->addWidget(hauteur);
    ligneCale->addStretch(1);

    // A motor that stalls: the next steps of an axis are not made, so that
    // the next reference reports them.
    auto* nombre = new QSpinBox;
    nombre->setObjectName("PasAPerdre");
    nombre->setRange(1, 100000);
    nombre->setValue(37);
    auto* axe = new QComboBox;
    axe->setObjectName("AxePerte");
    axe->addItems({ "X", "Y", "Z" });
    auto* perdre = new QPushButton("Perdre");
    perdre->setObjectName("Perdre");
    perdre->setToolTip("Les prochains pas de cet axe n'arrivent pas à l'axe, comme un moteur qui décroche.");
    connect(perdre, &QPushButton::clicked, this,
        [this, nombre, axe] { machine_->PerdrePas(axe->currentIndex(), nombre->value()); });
    auto* lignePerte = new QHBoxLayout;
    lignePerte->addWidget(new QLabel("Perdre les"));
    lignePerte->addWidget(nombre);
    lignePerte->addWidget(new QLabel("prochains pas de"));
    lignePerte->addWidget(axe);
    lignePerte->addWidget(perdre);
    lignePerte->addStretch(1);

    etat_ = new QLabel;
    etat_->setObjectName("EtatPort");
    etat_->setWordWrap(true);
    violations_ = new QLabel;
    violations_->setObjectName("Violations");

    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(grille);
    colonne->addWidget(arret_);
    colonne->addWidget(palpeur_);
    colonne->addLayout(ligneCale);
    colonne->addLayout(lignePerte);
    colonne->addWidget(violations_);
    colonne->addWidget(etat_);
    colonne->addStretch(1);

    veille_ = new QTimer(this);
    veille_->setInterval(RafraichissementMs);
    connect(veille_, &QTimer::timeout, this, [this] { Rafraichir(); });
    Rafraichir();
    // Beside the main window, or where it hides least of the preview, the
    // program, the readouts and the LEDs it drives.
    adjustSize();
    principale->PlacerACote(this);
}

void TFormMachineVirtuelle::Rafraichir()
{
    const Instantane& etat = principale_->Etat();
    for (int i = 0; i < 3; ++i) {
        const int64_t pas = machine_->Position(i);
        positions_[i]->setText(QStringLiteral("%1 pas  %2 mm")
                                   .arg(pas, 10)
                                   .arg(QString::fromStdString(FormatFixe(pas * etat.ValPas[i], 9, 3))));
        // A switch closed by the travel shows so, without taking the hand.
        const bool fermee = machine_->ButeeFermee(i);
        if (!machine_->ButeeForcee(i))
            butees_[i]->setText(fermee ? "fermée (hors course)" : "fermée");
    }
    if (!machine_->PalpeurForce())
        palpeur_->setText(
            machine_->PalpeurFerme() ? "Palpeur outil en contact (sur la cale)" : "Palpeur outil en contact");
    violations_->setText(QStringLiteral("Changements de sens trop proches d'un pas : %1")
                             .arg(machine_->ViolationsDirection()));
    // It is the simulation itself: the simulation mode and a disabled port
    // change nothing here.
    QString texte = etat.CablageUsuel ? QString(TexteCablageUsuel)
            + " : aucune sortie n'est affectée dans CncParam.Ini, rien n'y est écrit."
                                      : "Câblage de CncParam.Ini.";
    if (etat.Simulation || etat.PortLPT == 0)
        texte += " Chaque pas arrive ici, quels que soient le mode simulation et le port choisi.";
    etat_->setText(texte);
}

void TFormMachineVirtuelle::showEvent(QShowEvent* evenement)
{
    QWidget::showEvent(evenement);
    Rafraichir();
    veille_->start();
}

void TFormMachineVirtuelle::hideEvent(QHideEvent* evenement)
{
    QWidget::hideEvent(evenement);
    veille_->stop();
}

} // namespace virmak
