#include "ui/calcul_pas.h"

#include "foundation/nombres.h"
#include "pupitre/parametrage.h"
#include "ui/commun.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace virmak {

namespace {

    const char* const Axes[3] = { "X", "Y", "Z" };

    QDoubleSpinBox* Longueur(const char* nom, double valeur)
    {
        auto* champ = new QDoubleSpinBox;
        champ->setObjectName(nom);
        champ->setDecimals(3);
        champ->setRange(0.001, 1000);
        champ->setValue(valeur);
        champ->setSuffix(" mm");
        // A point, whatever the session's language, as everywhere else.
        champ->setLocale(QLocale::c());
        return champ;
    }

} // namespace

CalculPasParMm::CalculPasParMm(QWidget* parent, int axe, std::function<void(double)> mettre)
    : QDialog(parent)
{
    const QString nomAxe = Axes[axe >= 0 && axe < 3 ? axe : 0];
    setObjectName("CalculPas" + nomAxe);
    setWindowTitle("Calcul des pas par mm de l'axe " + nomAxe);
    setAttribute(Qt::WA_DeleteOnClose);

    pasParTour_ = new QSpinBox;
    pasParTour_->setObjectName("PasParTour");
    pasParTour_->setRange(1, 100000);
    pasParTour_->setValue(200);
    microPas_ = new QComboBox;
    microPas_->setObjectName("MicroPas");
    for (int m : { 1, 2, 4, 8, 16, 32, 64, 128, 256 })
        microPas_->addItem(QString::number(m), m);
    microPas_->setCurrentIndex(3);
    vis_ = new QRadioButton("Vis, pas de");
    vis_->setObjectName("Vis");
    vis_->setChecked(true);
    auto* courroie = new QRadioButton("Courroie, poulie de");
    courroie->setObjectName("Courroie");
    pasVis_ = Longueur("PasVis", 5);
    dents_ = new QSpinBox;
    dents_->setObjectName("Dents");
    dents_->setRange(1, 1000);
    dents_->setValue(20);
    dents_->setSuffix(" dents");
    pasCourroie_ = Longueur("PasCourroie", 2);

    auto* grille = new QGridLayout;
    grille->addWidget(new QLabel("Moteur : pas par tour"), 0, 0);
    grille->addWidget(pasParTour_, 0, 1);
    grille->addWidget(new QLabel("Micro-pas du driver"), 1, 0);
    grille->addWidget(microPas_, 1, 1);
    grille->addWidget(vis_, 2, 0);
    grille->addWidget(pasVis_, 2, 1);
    grille->addWidget(new QLabel("par tour"), 2, 2);
    grille->addWidget(courroie, 3, 0);
    grille->addWidget(dents_, 3, 1);
    grille->addWidget(new QLabel("×"), 3, 2);
    grille->addWidget(pasCourroie_, 3, 3);

    resultat_ = new QLabel;
    resultat_->setObjectName("Resultat");
    QFont gras = resultat_->font();
    gras.setBold(true);
    resultat_->setFont(gras);
    mettre_ = BoutonDialogue("Mettre", "Mettre dans le champ " + nomAxe);
    auto* annuler = BoutonDialogue("Annuler", "Annuler");
    connect(mettre_, &QPushButton::clicked, this, [this, mettre = std::move(mettre)] {
        mettre(Resultat());
        accept();
    });
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(mettre_);
    boutons->addWidget(annuler);

    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(grille);
    colonne->addWidget(resultat_);
    colonne->addWidget(new QLabel("La valeur n'est prise qu'à « Appliquer » ou « Valider / Sortir »."));
    colonne->addLayout(boutons);

    for (QSpinBox* s : { pasParTour_, dents_ })
        connect(s, &QSpinBox::valueChanged, this, &CalculPasParMm::Recalculer);
    for (QDoubleSpinBox* s : { pasVis_, pasCourroie_ })
        connect(s, &QDoubleSpinBox::valueChanged, this, &CalculPasParMm::Recalculer);
    connect(microPas_, &QComboBox::currentIndexChanged, this, &CalculPasParMm::Recalculer);
    connect(vis_, &QRadioButton::toggled, this, &CalculPasParMm::Recalculer);
    Recalculer();
}

double CalculPasParMm::Resultat() const
{
    const double mmParTour = vis_->isChecked() ? pasVis_->value() : dents_->value() * pasCourroie_->value();
    return PasParMm(pasParTour_->value(), microPas_->currentData().toInt(), mmParTour);
}

void CalculPasParMm::Recalculer()
{
    const bool vis = vis_->isChecked();
    pasVis_->setEnabled(vis);
    dents_->setEnabled(!vis);
    pasCourroie_->setEnabled(!vis);
    const double r = Resultat();
    resultat_->setText(r > 0 ? "= " + Q(FormatFixe(r, 0, 4)) + " pas par mm" : "= ?");
    mettre_->setEnabled(r > 0);
}

} // namespace virmak
