#include "ui/fenetre_principale.h"

#include "apercu/cn_dessins.h"
#include "exec/manuel.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "pupitre/programme.h"
#include "ui/apercu.h"
#include "ui/fenetre_historique.h"
#include "ui/fenetre_outils.h"
#include "ui/voyant.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace virmak {

namespace {

    QString Q(const std::string& s)
    {
        return QString::fromStdString(s);
    }

    // Hints carry the CR LF line breaks of the original texts.
    QString Conseil(const std::string& s)
    {
        return Q(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    // Hint, enabled and visible state of a control, as the model holds them.
    void MiroirEtat(QWidget* w, const Controle& modele)
    {
        w->setToolTip(Conseil(modele.Conseil));
        w->setEnabled(modele.Actif);
        w->setVisible(modele.Visible);
    }

} // namespace

TForm1::TForm1()
{
    setObjectName("Form1");
    QFont police(QStringLiteral("Arial"));
    police.setPixelSize(14);
    setFont(police);
    DefinirVue(this);
    FormCreate();
    CreerFenetresSecondaires();
    Construire();
    timer1_ = new QTimer(this);
    timer1_->setObjectName("Timer1");
    Synchroniser();
    setGeometry(Form1.Left, Form1.Top, Form1.Width, Form1.Height);
}

TForm1::~TForm1()
{
    if (&VueActive() == this)
        DefinirVue(nullptr);
}

void TForm1::Lier(const std::string& nom, std::function<void()> miroir)
{
    miroirs_[nom] = std::move(miroir);
}

QPushButton* TForm1::Bouton(const char* nom, Controle& modele)
{
    auto* b = new QPushButton;
    b->setObjectName(nom);
    Lier(nom, [b, &modele] {
        b->setText(Q(modele.Texte));
        MiroirEtat(b, modele);
    });
    return b;
}

QLabel* TForm1::Etiquette(const char* nom, Controle& modele)
{
    auto* l = new QLabel;
    l->setObjectName(nom);
    Lier(nom, [l, &modele] {
        l->setText(Q(modele.Texte));
        MiroirEtat(l, modele);
    });
    return l;
}

QLineEdit* TForm1::Champ(const char* nom, Controle& modele)
{
    auto* e = new QLineEdit;
    e->setObjectName(nom);
    Lier(nom, [e, &modele] {
        if (e->text() != Q(modele.Texte))
            e->setText(Q(modele.Texte));
        MiroirEtat(e, modele);
    });
    QObject::connect(
        e, &QLineEdit::textEdited, e, [&modele](const QString& t) { modele.Texte = t.toStdString(); });
    return e;
}

VoyantQt* TForm1::Lampe(const char* nom, Voyant& modele, QColor couleur, bool rond)
{
    auto* v = new VoyantQt(couleur, rond);
    v->setObjectName(nom);
    Lier(nom, [v, &modele] { v->Allumer(modele.Allume); });
    return v;
}

QPushButton* TForm1::BoutonAide(int numero, const QString& sujet)
{
    auto* b = new QPushButton(QStringLiteral("?"));
    b->setObjectName(QStringLiteral("BtnAide%1").arg(numero));
    b->setProperty("tag", numero);
    b->setFlat(true);
    b->setFixedSize(20, 20);
    b->setCursor(Qt::WhatsThisCursor);
    b->setToolTip(sujet);
    connect(b, &QPushButton::clicked, this, [this, numero] { Aide(1000 + numero); });
    return b;
}

namespace {

    QGroupBox* NouveauGroupe(const char* nom, const QString& titre)
    {
        auto* g = new QGroupBox(titre);
        g->setObjectName(nom);
        return g;
    }

    // Help button in the top-right corner of a group's grid.
    void PlacerAide(QGridLayout* grille, QPushButton* aide, int colonnes)
    {
        grille->addWidget(aide, 0, colonnes - 1, Qt::AlignRight | Qt::AlignTop);
    }

} // namespace

QGroupBox* TForm1::GroupeVisue()
{
    auto* g = NouveauGroupe("GroupeVisue", "Coordonnées programme");
    auto* grille = new QGridLayout(g);
    const char* noms[3] = { "X", "Y", "Z" };
    Controle* visues[3] = { &Form1.StaticTextX, &Form1.StaticTextY, &Form1.StaticTextZ };
    Controle* champs[3] = { &Form1.EditX, &Form1.EditY, &Form1.EditZ };
    Controle* raz[3] = { &Form1.Raz_X, &Form1.Raz_Y, &Form1.Raz_Z };
    const char* nomsVisue[3] = { "StaticTextX", "StaticTextY", "StaticTextZ" };
    const char* nomsChamp[3] = { "EditX", "EditY", "EditZ" };
    const char* nomsRaz[3] = { "Raz_X", "Raz_Y", "Raz_Z" };
    QFont grosse(QStringLiteral("Courier New"));
    grosse.setStyleHint(QFont::Monospace);
    grosse.setPixelSize(24);
    grosse.setBold(true);
    for (int i = 0; i < 3; ++i) {
        auto* lettre = new QLabel(noms[i]);
        lettre->setFont(grosse);
        grille->addWidget(lettre, i + 1, 0);
        QLabel* visue = Etiquette(nomsVisue[i], *visues[i]);
        visue->setFont(grosse);
        visue->setFrameShape(QFrame::Panel);
        visue->setFrameShadow(QFrame::Sunken);
        visue->setAutoFillBackground(true);
        visue->setStyleSheet("background:black; color:lime;");
        visue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grille->addWidget(visue, i + 1, 1);
        QLineEdit* champ = Champ(nomsChamp[i], *champs[i]);
        champ->setFont(grosse);
        grille->addWidget(champ, i + 1, 1);
        grille->addWidget(Bouton(nomsRaz[i], *raz[i]), i + 1, 2);
    }
    PlacerAide(grille, BoutonAide(1, "Coordonnées programme"), 3);
    return g;
}

QGroupBox* TForm1::GroupeCommandes()
{
    auto* g = NouveauGroupe("GroupBox3", "Commandes manuelles");
    auto* grille = new QGridLayout(g);
    grille->addWidget(Bouton("YPlus", Form1.YPlus), 1, 1);
    grille->addWidget(Bouton("XMoins", Form1.XMoins), 2, 0);
    grille->addWidget(Bouton("XPlus", Form1.XPlus), 2, 2);
    grille->addWidget(Bouton("YMoins", Form1.YMoins), 3, 1);
    grille->addWidget(Bouton("ZPlus", Form1.ZPlus), 1, 3);
    grille->addWidget(Bouton("ZMoins", Form1.ZMoins), 3, 3);
    grille->addWidget(Bouton("XY_Zero", Form1.XY_Zero), 2, 1);
    grille->addWidget(Bouton("Z_Zero", Form1.Z_Zero), 2, 3);
    grille->addWidget(Bouton("BtBroche", Form1.BtBroche), 4, 0, 1, 2);
    grille->addWidget(Lampe("LedBroche", Form1.LedBroche, Qt::green, true), 4, 2);
    grille->addWidget(new QLabel("Incrément"), 5, 0, 1, 2);
    auto* increments = new QComboBox;
    increments->setObjectName("CmbIncrement");
    Lier("CmbIncrement", [this, increments] {
        QStringList lignes;
        for (const auto& l : Form1.CmbIncrement.Lignes)
            lignes << Q(l);
        QStringList actuelles;
        for (int i = 0; i < increments->count(); ++i)
            actuelles << increments->itemText(i);
        if (lignes != actuelles) {
            increments->clear();
            increments->addItems(lignes);
        }
        increments->setCurrentIndex(Form1.CmbIncrement.Selection);
        (void)this;
    });
    connect(increments, &QComboBox::activated, this, [](int index) { Form1.CmbIncrement.Selection = index; });
    grille->addWidget(increments, 5, 2, 1, 2);
    PlacerAide(grille, BoutonAide(2, "Commandes manuelles"), 4);
    return g;
}

QGroupBox* TForm1::GroupeAvance()
{
    auto* g = NouveauGroupe("GroupBox7", "Vitesse d'avance");
    auto* grille = new QGridLayout(g);
    grille->addWidget(new QLabel("F"), 0, 0);
    QLineEdit* vitesse = Champ("EditVitAv", Form1.EditVitAv);
    vitesse->setMinimumWidth(60);
    vitesse->setAlignment(Qt::AlignRight);
    grille->addWidget(vitesse, 0, 1);
    grille->addWidget(new QLabel("mm/mn"), 0, 2);

    auto* avance = new QSlider(Qt::Horizontal);
    avance->setObjectName("TrackBarVitAv");
    avance->setTickPosition(QSlider::TicksBelow);
    Lier("TrackBarVitAv", [avance] {
        const Curseur& c = Form1.TrackBarVitAv;
        avance->setRange(c.Min, c.Max);
        avance->setValue(c.Position);
        avance->setTickInterval(c.Frequence);
        avance->setEnabled(c.Actif);
        avance->setToolTip(Conseil(c.Conseil));
    });
    connect(avance, &QSlider::valueChanged, this, [this](int v) {
        if (synchronisation_)
            return;
        Form1.TrackBarVitAv.DefinirPosition(v);
        Synchroniser();
    });
    auto* mini = new QLabel("0");
    mini->setObjectName("LabelAvMin");
    grille->addWidget(mini, 1, 0);
    grille->addWidget(avance, 1, 1);
    grille->setColumnStretch(1, 1);
    grille->addWidget(Etiquette("LabelAvMax", Form1.LabelAvMax), 1, 2);

    grille->addWidget(new QLabel("Potentiomètre d'avance"), 2, 0, 1, 3);
    auto* correction = new QSlider(Qt::Horizontal);
    correction->setObjectName("TrackBarTAv");
    correction->setTickPosition(QSlider::TicksBelow);
    Lier("TrackBarTAv", [correction] {
        const Curseur& c = Form1.TrackBarTAv;
        correction->setRange(c.Min, c.Max);
        correction->setValue(c.Position);
        correction->setTickInterval(c.Frequence);
        correction->setEnabled(c.Actif);
        correction->setToolTip(Conseil(c.Conseil));
    });
    connect(correction, &QSlider::valueChanged, this, [this](int v) {
        if (synchronisation_)
            return;
        Form1.TrackBarTAv.DefinirPosition(v);
        Synchroniser();
    });
    grille->addWidget(correction, 3, 0, 1, 2);
    grille->addWidget(Etiquette("LabelTAv", Form1.LabelTAv), 3, 2);
    grille->addWidget(new QLabel("Avance réelle"), 4, 0);
    QLabel* reelle = Etiquette("RapTextAv", Form1.RapTextAv);
    reelle->setFrameShape(QFrame::Panel);
    reelle->setFrameShadow(QFrame::Sunken);
    reelle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grille->addWidget(reelle, 4, 1);
    grille->addWidget(new QLabel("mm/mn"), 4, 2);
    PlacerAide(grille, BoutonAide(3, "Vitesse d'avance"), 4);
    return g;
}

QGroupBox* TForm1::GroupeEtat()
{
    auto* g = NouveauGroupe("GroupBox2", "Etat  machine");
    auto* grille = new QGridLayout(g);
    struct Ligne {
        const char* nom;
        Voyant* modele;
        const char* texte;
        QColor couleur;
        const char* conseil;
    };
    const QColor rouge(Qt::red), jaune(Qt::yellow), lime(Qt::green);
    const Ligne gauche[] = {
        { "LedCycle", &Form1.LedCycle, "Cycle actif", lime, "" },
        { "LedAxeOcc", &Form1.LedAxeOcc, "Axes occupés", jaune, "" },
        { "LedJeu", &Form1.LedJeu, "Compensation jeu", jaune, "" },
        { "LedPalOT", &Form1.LedPalOT, "Palpeur outil", lime, "" },
        { "LedArret", &Form1.LedArret, "ARRET ACTIVE", rouge, "" },
        { "LedButeeX", &Form1.LedButeeX, "Butée X", rouge, "" },
        { "LedButeeY", &Form1.LedButeeY, "Butée Y", rouge, "" },
        { "LedButeeZ", &Form1.LedButeeZ, "Butée Z", rouge, "" },
    };
    const Ligne droite[] = {
        { "LedG41", &Form1.LedG41, "G41", lime, "Correction de rayon à gauche du profil" },
        { "LedG42", &Form1.LedG42, "G42", lime, "Correction de rayon à droite du profil" },
        { "LedG43", &Form1.LedG43, "G43", lime, "Compensation de longueur outil" },
        { "LedG81", &Form1.LedG81, "G81", lime, "Cycle de perçage simple" },
        { "LedG82", &Form1.LedG82, "G82", lime, "Cycle de perçage avec tempo" },
        { "LedG83", &Form1.LedG83, "G83", lime, "Cycle de perçage avec débourrages" },
    };
    int rang = 0;
    for (const Ligne& l : gauche) {
        grille->addWidget(Lampe(l.nom, *l.modele, l.couleur), rang, 0);
        grille->addWidget(new QLabel(l.texte), rang, 1);
        ++rang;
    }
    rang = 1;
    for (const Ligne& l : droite) {
        VoyantQt* v = Lampe(l.nom, *l.modele, l.couleur);
        v->setToolTip(l.conseil);
        grille->addWidget(v, rang, 2);
        grille->addWidget(new QLabel(l.texte), rang, 3);
        ++rang;
    }
    PlacerAide(grille, BoutonAide(4, "Etat  machine"), 4);
    return g;
}

QGroupBox* TForm1::GroupeDeplacements()
{
    auto* g = NouveauGroupe("GroupBox6", "Déplacements multiaxes manuels");
    auto* ligne = new QHBoxLayout(g);
    ligne->addWidget(new QLabel("X"));
    ligne->addWidget(Champ("EditGoX", Form1.EditGoX));
    ligne->addWidget(new QLabel("Y"));
    ligne->addWidget(Champ("EditGoY", Form1.EditGoY));
    ligne->addWidget(new QLabel("Z"));
    ligne->addWidget(Champ("EditGoZ", Form1.EditGoZ));
    ligne->addWidget(Bouton("GoXYZ", Form1.GoXYZ));
    ligne->addWidget(BoutonAide(5, "Déplacements multiaxes manuels"));
    return g;
}

QGroupBox* TForm1::GroupeMessages()
{
    auto* g = NouveauGroupe("GroupBox1", "Messages machine");
    auto* ligne = new QHBoxLayout(g);
    QLabel* message = Etiquette("MesEtat", Form1.MesEtat);
    message->setStyleSheet("color:red; font-weight:bold;");
    ligne->addWidget(message, 1);
    ligne->addWidget(Bouton("MesRaz", Form1.MesRaz));
    ligne->addWidget(BoutonAide(6, "Messages machine"));
    return g;
}

QGroupBox* TForm1::GroupeParcours()
{
    auto* g = NouveauGroupe("GroupBox4", "Parcours outil");
    auto* colonne = new QVBoxLayout(g);
    imageProg_ = new ImageApercu;
    imageProg_->setMinimumSize(Form1.LargeurImage, Form1.HauteurImage);
    imageProg_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Lier("ImageProg", [this] { imageProg_->setToolTip(Conseil(Form1.ImageProg.Conseil)); });
    colonne->addWidget(imageProg_, 1);
    auto* boutons = new QHBoxLayout;
    const struct {
        const char* nom;
        Controle& modele;
        void (*gestionnaire)();
    } commandes[] = {
        { "BitBtnPiece", Form1.BitBtnPiece, BitBtnPieceClick },
        { "BitBtnParcoursOutil", Form1.BitBtnParcoursOutil, BitBtnParcoursOutilClick },
        { "BitBtnZoomPlus", Form1.BitBtnZoomPlus, BitBtnZoomPlusClick },
        { "BitBtnZoomMoins", Form1.BitBtnZoomMoins, BitBtnZoomMoinsClick },
        { "BitBtnDecXMoins", Form1.BitBtnDecXMoins, BitBtnDecXMoinsClick },
        { "BitBtnDEcXPlus", Form1.BitBtnDEcXPlus, BitBtnDEcXPlusClick },
        { "BitBtnDecYMoins", Form1.BitBtnDecYMoins, BitBtnDecYMoinsClick },
        { "BitBtnDecYPlus", Form1.BitBtnDecYPlus, BitBtnDecYPlusClick },
    };
    for (const auto& c : commandes) {
        QPushButton* b = Bouton(c.nom, c.modele);
        connect(b, &QPushButton::clicked, this, [this, g = c.gestionnaire] { Executer(g); });
        boutons->addWidget(b);
    }
    auto* ot = new QCheckBox("OT");
    ot->setObjectName("CheckBoxOT");
    Lier("CheckBoxOT", [ot] { ot->setChecked(Form1.CheckBoxOT.Cochee); });
    connect(ot, &QCheckBox::toggled, this, [](bool c) { Form1.CheckBoxOT.Cochee = c; });
    boutons->addWidget(ot);
    boutons->addWidget(BoutonAide(7, "Parcours outil"));
    colonne->addLayout(boutons);
    return g;
}

QGroupBox* TForm1::GroupeProgramme()
{
    auto* g = NouveauGroupe("GroupBox5", "Programme");
    Lier("GroupBox5", [g] { g->setTitle(Q(Form1.GroupBox5.Texte)); });
    auto* grille = new QGridLayout(g);
    grille->addWidget(Champ("EditLigneProg", Form1.EditLigneProg), 0, 0, 1, 2);
    auto* liste = new QListWidget;
    liste->setObjectName("ListBoxProg1");
    QFont policeListe(QStringLiteral("Arial"));
    policeListe.setPixelSize(13);
    liste->setFont(policeListe);
    liste->setStyleSheet("color:navy;");
    liste->setUniformItemSizes(true);
    Lier("ListBoxProg1", [liste] {
        const auto& lignes = Form1.ListBoxProg1.Lignes;
        if (liste->count() != static_cast<int>(lignes.size())) {
            liste->clear();
            QStringList textes;
            textes.reserve(static_cast<int>(lignes.size()));
            for (const auto& l : lignes)
                textes << Q(l);
            liste->addItems(textes);
        } else {
            for (int i = 0; i < liste->count(); ++i)
                if (liste->item(i)->text() != Q(lignes[static_cast<size_t>(i)]))
                    liste->item(i)->setText(Q(lignes[static_cast<size_t>(i)]));
        }
        liste->setCurrentRow(Form1.ListBoxProg1.Selection);
    });
    connect(liste, &QListWidget::currentRowChanged, this, [this](int rang) {
        if (!synchronisation_)
            Form1.ListBoxProg1.Selection = rang;
    });
    grille->addWidget(liste, 1, 0, 8, 1);
    grille->setColumnStretch(0, 1);
    QPushButton* charger = Bouton("BitBtnCharger", Form1.BitBtnCharger);
    connect(charger, &QPushButton::clicked, this, [this] { Executer(BitBtnChargerClick); });
    grille->addWidget(charger, 1, 1);
    QPushButton* sauver = Bouton("BitBtnEnregistrer", Form1.BitBtnEnregistrer);
    connect(sauver, &QPushButton::clicked, this, [this] { Executer(BitBtnEnregistrerClick); });
    grille->addWidget(sauver, 2, 1);
    grille->addWidget(Bouton("BitBtnCycle", Form1.BitBtnCycle), 3, 1);
    grille->addWidget(Bouton("BitBtnPasPas", Form1.BitBtnPasPas), 4, 1);
    grille->addWidget(Bouton("BitBtnBloc", Form1.BitBtnBloc), 5, 1);
    QPushButton* urgence = Bouton("BoutonArret", Form1.BoutonArret);
    urgence->setStyleSheet("background:red; color:white; font-weight:bold;");
    urgence->setMinimumHeight(48);
    grille->addWidget(urgence, 6, 1);
    auto* jauge = new QProgressBar;
    jauge->setObjectName("GaugeProg");
    Lier("GaugeProg", [jauge] {
        jauge->setRange(0, std::max(1, Form1.GaugeProg.Max));
        jauge->setValue(Form1.GaugeProg.Progression);
        jauge->setVisible(Form1.GaugeProg.Visible);
    });
    grille->addWidget(Etiquette("LabelGaugeProg", Form1.LabelGaugeProg), 7, 1);
    grille->addWidget(jauge, 8, 1);
    auto* suivi = new QCheckBox;
    suivi->setObjectName("CheckBoxSuiviPrg");
    Lier("CheckBoxSuiviPrg", [suivi] {
        suivi->setText(Q(Form1.CheckBoxSuiviPrg.Texte));
        suivi->setChecked(Form1.CheckBoxSuiviPrg.Cochee);
    });
    connect(suivi, &QCheckBox::toggled, this, [](bool c) {
        Form1.CheckBoxSuiviPrg.Cochee = c;
        SuiviPrg = c;
    });
    grille->addWidget(suivi, 9, 0, 1, 2);
    QLabel* info = Etiquette("PanelInfo", Form1.PanelInfo);
    info->setFrameShape(QFrame::Panel);
    info->setFrameShadow(QFrame::Sunken);
    grille->addWidget(info, 10, 0, 1, 2);
    grille->addWidget(BoutonAide(8, "Programme"), 11, 1, Qt::AlignRight);
    return g;
}

void TForm1::Construire()
{
    auto* centre = new QWidget;
    auto* colonne = new QVBoxLayout(centre);
    colonne->setContentsMargins(4, 4, 4, 4);
    colonne->setSpacing(4);

    // Three rows in the proportions of the original arrangement.
    auto* haut = new QHBoxLayout;
    haut->addWidget(GroupeVisue(), 235);
    haut->addWidget(GroupeCommandes(), 178);
    haut->addWidget(GroupeAvance(), 189);
    haut->addWidget(GroupeEtat(), 281);
    auto* milieu = new QHBoxLayout;
    milieu->addWidget(GroupeDeplacements(), 475);
    milieu->addWidget(GroupeMessages(), 418);
    auto* bas = new QHBoxLayout;
    bas->addWidget(GroupeParcours(), 475);
    bas->addWidget(GroupeProgramme(), 418);
    colonne->addLayout(haut, 0);
    colonne->addLayout(milieu, 0);
    colonne->addLayout(bas, 1);
    setCentralWidget(centre);

    QMenu* fichiers = menuBar()->addMenu("Fichiers");
    fichiers->setObjectName("Fichiers1");
    QAction* ouvrir = fichiers->addAction("Ouvrir");
    ouvrir->setObjectName("Ouvrir1");
    connect(ouvrir, &QAction::triggered, this, [this] { Executer(BitBtnChargerClick); });
    fichiers->addSeparator();
    QAction* quitter = fichiers->addAction("Quitter");
    quitter->setObjectName("Quitter1");
    connect(quitter, &QAction::triggered, this, [this] { Quitter1Click(); });

    // The secondary windows live as long as this one and stay hidden until asked for.
    auto* outils = new TFormCorrecteursOutils(this);
    auto* historique = new TFormHist(this);
    QMenu* menuOutils = menuBar()->addMenu("Outils");
    menuOutils->setObjectName("Outils1");
    QAction* correcteurs = menuOutils->addAction("Correcteurs");
    correcteurs->setObjectName("Correcteurs1");
    connect(correcteurs, &QAction::triggered, outils, &TFormCorrecteursOutils::Correcteurs1Click);
    QMenu* menuHistorique = menuBar()->addMenu("Historique");
    menuHistorique->setObjectName("Historique1");
    QAction* voir = menuHistorique->addAction("Voir");
    voir->setObjectName("Voir1");
    connect(voir, &QAction::triggered, historique, &TFormHist::Voir1Click);
    Lier("ListBoxHist", [historique] { historique->Synchroniser(); });

    Lier("Form1", [this] {
        setWindowTitle(Q(Form1.Caption));
        setEnabled(Form1.Actif);
    });
    Lier("Timer1", [this] {
        timer1_->setInterval(Form1.Timer1.Intervalle);
        if (Form1.Timer1.Actif && !timer1_->isActive())
            timer1_->start();
        else if (!Form1.Timer1.Actif && timer1_->isActive())
            timer1_->stop();
    });
}

void TForm1::DessinerCouche(int couche, const std::vector<Trace>& traces)
{
    imageProg_->DessinerCouche(couche, traces);
}

void TForm1::Executer(void (*gestionnaire)())
{
    gestionnaire();
    Synchroniser();
}

std::string TForm1::DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres,
    int filtre, const std::string& repertoire)
{
    // "description|pattern" becomes Qt's "description (pattern)" only when
    // the description does not already show its pattern.
    QStringList liste;
    for (const std::string& f : filtres) {
        const size_t barre = f.find('|');
        const QString description = Q(f.substr(0, barre));
        const QString motif = barre == std::string::npos ? QString("*") : Q(f.substr(barre + 1));
        liste << (description.contains('(') ? description : description + " (" + motif + ")");
    }
    QFileDialog dialogue(this, Q(titre), Q(repertoire));
    dialogue.setObjectName("OpenDialog1");
    dialogue.setFileMode(QFileDialog::ExistingFile);
    dialogue.setNameFilters(liste);
    if (filtre >= 0 && filtre < liste.size())
        dialogue.selectNameFilter(liste[filtre]);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return {};
    return dialogue.selectedFiles().front().toStdString();
}

std::string TForm1::DialogueSauver(const std::string& repertoire)
{
    QFileDialog dialogue(this, QString(), Q(repertoire));
    dialogue.setObjectName("SaveDialog1");
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return {};
    return dialogue.selectedFiles().front().toStdString();
}

void TForm1::Synchroniser()
{
    synchronisation_ = true;
    for (auto& [nom, miroir] : miroirs_)
        miroir();
    synchronisation_ = false;
}

void TForm1::Repeindre(const std::string& controle)
{
    auto it = miroirs_.find(controle);
    if (it == miroirs_.end())
        return;
    synchronisation_ = true;
    it->second();
    synchronisation_ = false;
    if (QWidget* w = findChild<QWidget*>(Q(controle)))
        w->repaint();
}

void TForm1::TraiterMessages()
{
    QApplication::processEvents();
}

void TForm1::Message(const std::string& texte)
{
    QMessageBox boite(QMessageBox::NoIcon, QStringLiteral("Virmak"), Q(texte), QMessageBox::Ok, this);
    boite.exec();
}

void TForm1::DonnerFocus(const std::string& controle)
{
    if (QWidget* w = findChild<QWidget*>(Q(controle)))
        w->setFocus();
}

void TForm1::Aide(int contexte)
{
    // No help viewer takes context numbers here: the help file is opened
    // with the desktop's own application for it.
    const QString chemin = Q(RepExe + NomAide);
    if (!QFileInfo::exists(chemin)) {
        Message("Fichier d'aide introuvable : " + chemin.toStdString()
            + (contexte > 0 ? " (rubrique " + std::to_string(contexte) + ")" : ""));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(chemin));
}

void TForm1::MemoriserBornes()
{
    // FORM1 keeps the frame position and the inner size, as it restores them.
    if (isMinimized() || isMaximized() || !isVisible())
        return;
    Form1.Left = geometry().x();
    Form1.Top = geometry().y();
    Form1.Width = geometry().width();
    Form1.Height = geometry().height();
}

void TForm1::moveEvent(QMoveEvent* evenement)
{
    QMainWindow::moveEvent(evenement);
    MemoriserBornes();
}

void TForm1::resizeEvent(QResizeEvent* evenement)
{
    QMainWindow::resizeEvent(evenement);
    MemoriserBornes();
}

void TForm1::changeEvent(QEvent* evenement)
{
    QMainWindow::changeEvent(evenement);
    if (evenement->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
        Synchroniser();
    }
}

void TForm1::Quitter1Click()
{
    virmak::Quitter1Click();
    close();
}

void TForm1::closeEvent(QCloseEvent* evenement)
{
    if (!fermeture_) {
        fermeture_ = true;
        FormClose();
    }
    evenement->accept();
    QApplication::quit();
}

namespace {
    int tubeSignaux[2] = { -1, -1 };

    void GestionnaireSignal(int)
    {
        const char octet = 1;
        [[maybe_unused]] auto n = ::write(tubeSignaux[1], &octet, 1);
    }
} // namespace

void PreparerSignauxFermeture()
{
    // The handler only writes to a socket; the window closes from the event
    // loop, where the normal shut-down may safely run. A signal that comes
    // during start-up waits in the socket until the window listens.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, tubeSignaux) != 0)
        return;
    struct sigaction action { };
    action.sa_handler = GestionnaireSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void InstallerSignauxFermeture(TForm1* fenetre)
{
    if (tubeSignaux[0] < 0)
        return;
    auto* notificateur = new QSocketNotifier(tubeSignaux[0], QSocketNotifier::Read, fenetre);
    QObject::connect(notificateur, &QSocketNotifier::activated, fenetre, [fenetre] {
        char octet = 0;
        [[maybe_unused]] auto n = ::read(tubeSignaux[0], &octet, 1);
        fenetre->close();
    });
}

} // namespace virmak
