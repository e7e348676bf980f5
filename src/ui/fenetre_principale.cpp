#include "ui/fenetre_principale.h"

#include "apercu/cn_dessins.h"
#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "exec/manuel.h"
#include "exec/origine.h"
#include "foundation/aide.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/machine_virtuelle.h"
#include "pupitre/a_propos.h"
#include "pupitre/demarrage.h"
#include "pupitre/editeur.h"
#include "pupitre/parametrage.h"
#include "pupitre/programme.h"
#include "pupitre/test_latence.h"
#include "ui/apercu.h"
#include "ui/calcul_duree.h"
#include "ui/commun.h"
#include "ui/dialogue_fichier.h"
#include "ui/fenetre_a_propos.h"
#include "ui/fenetre_aide.h"
#include "ui/fenetre_historique.h"
#include "ui/fenetre_latence.h"
#include "ui/fenetre_machine_virtuelle.h"
#include "ui/fenetre_outils.h"
#include "ui/fenetre_parametres.h"
#include "ui/groupe.h"
#include "ui/infobulle.h"
#include "ui/placement.h"
#include "ui/polices.h"
#include "ui/voyant.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

namespace virmak {

namespace {

    // Hints carry the CR LF line breaks of the original texts.
    QString Conseil(const std::string& s)
    {
        return Q(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    // As narrow as its caption allows, in whatever font it has, so the
    // window fits small screens.
    class BoutonEtroit : public QPushButton {
    public:
        void DefinirTexte(const QString& texte)
        {
            setText(texte);
            Ajuster();
        }

    protected:
        void changeEvent(QEvent* evenement) override
        {
            QPushButton::changeEvent(evenement);
            if (evenement->type() == QEvent::FontChange)
                Ajuster();
        }

    private:
        void Ajuster() { setMinimumWidth(fontMetrics().horizontalAdvance(text()) + 16); }
    };

    // The rows of the tall groups: what keeps the window within a small
    // screen's height.
    constexpr int EspaceVertical = 3;

    // Hint, enabled and visible state of a control, as the model holds them.
    void MiroirEtat(QWidget* w, const Controle& modele)
    {
        w->setToolTip(Conseil(modele.Conseil));
        w->setEnabled(modele.Actif);
        w->setVisible(modele.Visible);
    }

} // namespace

namespace {

    // The named controls where the arrows do not jog.
    Focus FocusDe(const QWidget* w)
    {
        if (!w)
            return Focus::Aucun;
        static const std::map<QString, Focus> nommes = {
            { "EditLigneProg", Focus::EditLigneProg },
            { "ListBoxProg1", Focus::ListBoxProg1 },
            { "EditGoX", Focus::EditGoX },
            { "EditGoY", Focus::EditGoY },
            { "EditGoZ", Focus::EditGoZ },
            { "EditX", Focus::EditX },
            { "EditY", Focus::EditY },
            { "EditZ", Focus::EditZ },
        };
        auto it = nommes.find(w->objectName());
        if (it != nommes.end())
            return it->second;
        // Decided: wherever the arrows type, scroll or choose, they do
        // that and never jog as well.
        if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractScrollArea*>(w)
            || qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w))
            return Focus::Saisie;
        return Focus::Autre;
    }

    bool ToucheSuivie(int cle, Touche& touche)
    {
        static const std::pair<int, Touche> suivies[] = {
            { Qt::Key_Left, Touche::Gauche },
            { Qt::Key_Right, Touche::Droite },
            { Qt::Key_Up, Touche::Haut },
            { Qt::Key_Down, Touche::Bas },
            { Qt::Key_PageUp, Touche::PagePrecedente },
            { Qt::Key_PageDown, Touche::PageSuivante },
            { Qt::Key_F1, Touche::F1 },
            { Qt::Key_F2, Touche::F2 },
            { Qt::Key_Escape, Touche::Echap },
        };
        for (const auto& [qt, t] : suivies)
            if (qt == cle) {
                touche = t;
                return true;
            }
        return false;
    }

    // A readout refresh of about 50 per second.
    constexpr int PeriodeVisuesMs = 20;

    // Marks a box in which Escape is "URGENCE".
    constexpr const char* ProprieteUrgence = "virmakUrgence";

} // namespace

TForm1::TForm1()
    : vue_(this)
{
    setObjectName("Form1");
    setFont(PoliceTexte(TaillePolice));
    auto initial = std::make_shared<Instantane>();
    initial->Form1.Initialiser();
    etat_ = std::move(initial);
    Construire();
    AppliquerPolices(TaillePolice);
    rafraichissement_ = new QTimer(this);
    rafraichissement_->setInterval(PeriodeVisuesMs);
    // The frame: what the machine published since the last one, then the
    // readouts; Qt paints what changed once after it.
    connect(rafraichissement_, &QTimer::timeout, this, [this] {
        Entrees().Battre();
        Rattraper();
        RafraichirVisues();
    });
    rafraichissement_->start();
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this,
        [](QWidget*, QWidget* maintenant) { Entrees().DefinirFocus(FocusDe(maintenant)); });
    Synchroniser();

    vuePrecedente_ = &VueActive();
    Entrees().DemanderArret(false);
    Entrees().PrendreUrgence();
    FileMachine().Reinitialiser();
    DefinirVue(&vue_);
    fil_ = std::thread([this] { BoucleMachine(); });
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    vue_.Fermer();
    FileMachine().Arreter();
    if (fil_.joinable())
        fil_.join();
    delete aPropos_;
    OublierFilMachine();
    DefinirVue(vuePrecedente_);
    Entrees().FinBattement();
    Entrees().ToutRelacher();
    Entrees().DefinirFenetreActive(false);
}

void TForm1::BoucleMachine()
{
    MarquerFilMachine();
    // Signals sent to the process are handled on the window thread, so a
    // handler that rests the outputs never interrupts a write of this one.
    BloquerSignauxAsynchrones();
    FormCreate();
    CreerFenetresSecondaires();
    vue_.Publier();
    vue_.VersFenetre([this] {
        Placer();
        demarree_ = true;
        emit DemarrageTermine();
    });
    // Timer1 ticks here, between actions, never inside one: a move holds
    // the machine thread and the tick waits for it, as the monitor must.
    using Horloge = std::chrono::steady_clock;
    const auto intervalle
        = [] { return std::chrono::milliseconds(std::max(1, virmak::Form1.Timer1.Intervalle)); };
    auto prochain = Horloge::now() + intervalle();
    while (FileMachine().AttendreEtExecuter(prochain)) {
        if (Horloge::now() < prochain)
            continue;
        prochain = Horloge::now() + intervalle();
        if (virmak::Form1.Timer1.Actif) {
            Timer1Timer();
            vue_.Publier();
        }
    }
}

uint64_t TForm1::Poster(std::function<void()> action)
{
    return FileMachine().Poster([this, action = std::move(action)] {
        action();
        vue_.Publier();
    });
}

uint64_t TForm1::Poster(const std::string& controle, std::function<void()> action)
{
    const uint64_t numero = Poster(std::move(action));
    actions_[controle] = numero;
    return numero;
}

void TForm1::AttendreMachine()
{
    if (FileMachine().Arretee())
        return;
    auto fait = std::make_shared<bool>(false);
    FileMachine().Poster([this, fait] { SignalerRepos(fait); });
    // Not a nested QEventLoop: one left quitting by an earlier quit() of the
    // application would return at once. A machine stopped meanwhile never
    // answers, hence the limit.
    QTimer reveil;
    reveil.start(50);
    QElapsedTimer duree;
    duree.start();
    while (!*fait && duree.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TForm1::SignalerRepos(const std::shared_ptr<bool>& fait)
{
    // Run at a message point inside a longer action, the machine is not
    // idle yet: ask again after it.
    if (FileMachine().Profondeur() > 1) {
        FileMachine().Poster([this, fait] { SignalerRepos(fait); });
        return;
    }
    vue_.Publier();
    vue_.VersFenetre([fait] { *fait = true; });
}

void TForm1::Lier(const std::string& nom, std::function<void()> miroir)
{
    miroirs_[nom] = std::move(miroir);
}

QPushButton* TForm1::Bouton(const char* nom, Controle Pupitre::*membre)
{
    auto* b = new BoutonEtroit;
    b->setObjectName(nom);
    Lier(nom, [this, b, membre] {
        const Controle& modele = etat_->Form1.*membre;
        if (b->text() != Q(modele.Texte))
            b->DefinirTexte(Q(modele.Texte));
        MiroirEtat(b, modele);
    });
    return b;
}

QLabel* TForm1::Etiquette(const char* nom, Controle Pupitre::*membre)
{
    auto* l = new QLabel;
    l->setObjectName(nom);
    Lier(nom, [this, l, membre] {
        const Controle& modele = etat_->Form1.*membre;
        l->setText(Q(modele.Texte));
        MiroirEtat(l, modele);
    });
    return l;
}

QLineEdit* TForm1::Champ(const char* nom, Controle Pupitre::*membre)
{
    auto* e = new QLineEdit;
    e->setObjectName(nom);
    Lier(nom, [this, e, membre] {
        const Controle& modele = etat_->Form1.*membre;
        if (e->text() != Q(modele.Texte))
            e->setText(Q(modele.Texte));
        MiroirEtat(e, modele);
    });
    connect(e, &QLineEdit::textEdited, this, [this, nom = std::string(nom), membre](const QString& t) {
        Poster(nom, [membre, texte = t.toStdString()] { (virmak::Form1.*membre).Texte = texte; });
    });
    return e;
}

QLabel* TForm1::Raccourcie(const char* nom, Controle Pupitre::*membre)
{
    // A long message or comment is cut and never widens the window; the
    // tooltip then holds it whole.
    auto* etiquette = new EtiquetteCoupee;
    etiquette->setObjectName(nom);
    Lier(nom, [this, etiquette, membre] {
        const Controle& modele = etat_->Form1.*membre;
        MiroirEtat(etiquette, modele);
        etiquette->DefinirTexte(Q(modele.Texte), Conseil(modele.Conseil));
    });
    return etiquette;
}

QSlider* TForm1::Glissiere(const char* nom, Curseur Pupitre::*membre)
{
    auto* glissiere = new QSlider(Qt::Horizontal);
    glissiere->setObjectName(nom);
    glissiere->setTickPosition(QSlider::TicksBelow);
    Lier(nom, [this, glissiere, membre] {
        const Curseur& c = etat_->Form1.*membre;
        glissiere->setRange(c.Min, c.Max);
        glissiere->setValue(c.Position);
        glissiere->setTickInterval(c.Frequence);
        glissiere->setEnabled(c.Actif);
        glissiere->setToolTip(Conseil(c.Conseil));
    });
    // Moving it runs the slider's change handler on the machine thread.
    connect(glissiere, &QSlider::valueChanged, this, [this, nom = std::string(nom), membre](int v) {
        if (!synchronisation_)
            Poster(nom, [membre, v] { (virmak::Form1.*membre).DefinirPosition(v); });
    });
    return glissiere;
}

VoyantQt* TForm1::Lampe(const char* nom, Voyant Pupitre::*membre, QColor couleur, bool rond)
{
    auto* v = new VoyantQt(couleur, rond);
    v->setObjectName(nom);
    Lier(nom, [this, v, membre] { v->Allumer((etat_->Form1.*membre).Allume); });
    return v;
}

QPushButton* TForm1::BoutonAide(int numero, const QString& sujet)
{
    QPushButton* b = virmak::BoutonAide(numero, 20);
    b->setFlat(true);
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

} // namespace

QGroupBox* TForm1::GroupeVisue()
{
    auto* g = new GroupeAide("GroupeVisue", "Coordonnées programme", BoutonAide(1, "Coordonnées programme"));
    auto* grille = new QGridLayout(g);
    const char* noms[3] = { "X", "Y", "Z" };
    for (int i = 0; i < 3; ++i) {
        auto* lettre = new QLabel(noms[i]);
        lettres_[i] = lettre;
        grille->addWidget(lettre, i, 0);
        QLabel* visue = Etiquette(ControlesAxes[i].nomVisue, ControlesAxes[i].visue);
        // The readouts show what the machine thread last published, which a
        // move updates without a copy of the whole model.
        Lier(ControlesAxes[i].nomVisue, [this, visue, i, membre = ControlesAxes[i].visue] {
            MiroirEtat(visue, etat_->Form1.*membre);
            visuesMontrees_[i] = VisuePubliee(i);
            visue->setText(Q(FormatFixe(visuesMontrees_[i], 8, 3)));
        });
        visues_[i] = visue;
        visue->setFrameShape(QFrame::Panel);
        visue->setFrameShadow(QFrame::Sunken);
        visue->setAutoFillBackground(true);
        // By name, so that the readout's tooltip keeps the system's look.
        visue->setStyleSheet(
            QStringLiteral("QLabel#%1 { background:black; color:lime; }").arg(ControlesAxes[i].nomVisue));
        visue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grille->addWidget(visue, i, 1);
        // A click on the readout opens its preset field (event filter).
        visue->setCursor(Qt::PointingHandCursor);
        QLineEdit* champ = Champ(ControlesAxes[i].nomPreset, ControlesAxes[i].preset);
        champ->setAlignment(Qt::AlignRight);
        connect(
            champ, &QLineEdit::returnPressed, this, [this, i, nom = std::string(ControlesAxes[i].nomPreset)] {
                Poster(nom, [i] { EditKeyPress(i, 13); });
            });
        presets_[i] = champ;
        grille->addWidget(champ, i, 1);
        QPushButton* remise = Bouton(ControlesAxes[i].nomRaz, ControlesAxes[i].raz);
        connect(remise, &QPushButton::clicked, this, [this, i] { Poster([i] { Reset(i); }); });
        grille->addWidget(remise, i, 2);
    }
    return g;
}

QGroupBox* TForm1::GroupeCommandes()
{
    auto* g = new GroupeAide("GroupBox3", "Commandes manuelles", BoutonAide(2, "Commandes manuelles"));
    auto* grille = new QGridLayout(g);
    grille->setVerticalSpacing(EspaceVertical);
    // The jogs start on the press of any mouse button (event filter).
    const struct {
        const char* nom;
        Controle Pupitre::*membre;
        int axe, sens, rang, colonne;
    } jogs[] = { { "YPlus", &Pupitre::YPlus, 1, 1, 0, 1 }, { "XMoins", &Pupitre::XMoins, 0, -1, 1, 0 },
        { "XPlus", &Pupitre::XPlus, 0, 1, 1, 2 }, { "YMoins", &Pupitre::YMoins, 1, -1, 2, 1 },
        { "ZPlus", &Pupitre::ZPlus, 2, 1, 0, 3 }, { "ZMoins", &Pupitre::ZMoins, 2, -1, 2, 3 } };
    for (const auto& j : jogs) {
        QPushButton* b = Bouton(j.nom, j.membre);
        jogs_[j.axe][j.sens > 0 ? 1 : 0] = b;
        grille->addWidget(b, j.rang, j.colonne);
    }
    const struct {
        const char* nom;
        Controle Pupitre::*membre;
        void (*gestionnaire)();
        int rang, colonne, largeur;
    } commandes[] = { { "XY_Zero", &Pupitre::XY_Zero, XY_ZeroClick, 1, 1, 1 },
        { "Z_Zero", &Pupitre::Z_Zero, Z_ZeroClick, 1, 3, 1 },
        { "BtBroche", &Pupitre::BtBroche, BtBrocheClick, 3, 0, 2 },
        { "BtOrigine", &Pupitre::BtOrigine, BtOrigineClick, 5, 0, 2 },
        { "BtPalpage", &Pupitre::BtPalpage, BtPalpageClick, 5, 2, 2 } };
    for (const auto& c : commandes) {
        QPushButton* b = Bouton(c.nom, c.membre);
        connect(b, &QPushButton::clicked, this, [this, g = c.gestionnaire] { Executer(g); });
        grille->addWidget(b, c.rang, c.colonne, 1, c.largeur);
    }
    grille->addWidget(Lampe("LedBroche", &Pupitre::LedBroche, Qt::green, true), 3, 2);
    grille->addWidget(new QLabel("Incrément"), 4, 0, 1, 2);
    auto* increments = new QComboBox;
    increments->setObjectName("CmbIncrement");
    Lier("CmbIncrement", [this, increments] {
        QStringList lignes;
        for (const auto& l : etat_->Form1.CmbIncrement.Lignes)
            lignes << Q(l);
        QStringList actuelles;
        for (int i = 0; i < increments->count(); ++i)
            actuelles << increments->itemText(i);
        if (lignes != actuelles) {
            increments->clear();
            increments->addItems(lignes);
        }
        increments->setCurrentIndex(etat_->Form1.CmbIncrement.Selection);
    });
    connect(increments, &QComboBox::activated, this,
        [this](int index) { Poster("CmbIncrement", [index] { CmbIncrementClick(index); }); });
    grille->addWidget(increments, 4, 2, 1, 2);
    return g;
}

QGroupBox* TForm1::GroupeAvance()
{
    auto* g = new GroupeAide("GroupBox7", "Vitesse d'avance", BoutonAide(3, "Vitesse d'avance"));
    auto* grille = new QGridLayout(g);
    grille->setVerticalSpacing(EspaceVertical);
    grille->addWidget(new QLabel("F"), 0, 0);
    QLineEdit* vitesse = Champ("EditVitAv", &Pupitre::EditVitAv);
    vitesse->setMinimumWidth(60);
    vitesse->setAlignment(Qt::AlignRight);
    connect(vitesse, &QLineEdit::returnPressed, this,
        [this] { Poster("EditVitAv", [] { EditVitAvKeyPress(13); }); });
    vitesse_ = vitesse;
    grille->addWidget(vitesse, 0, 1);
    grille->addWidget(new QLabel("mm/mn"), 0, 2);

    QSlider* avance = Glissiere("TrackBarVitAv", &Pupitre::TrackBarVitAv);
    auto* mini = new QLabel("0");
    mini->setObjectName("LabelAvMin");
    grille->addWidget(mini, 1, 0);
    grille->addWidget(avance, 1, 1);
    grille->setColumnStretch(1, 1);
    grille->addWidget(Etiquette("LabelAvMax", &Pupitre::LabelAvMax), 1, 2);

    grille->addWidget(new QLabel("Potentiomètre d'avance"), 2, 0, 1, 3);
    QSlider* correction = Glissiere("TrackBarTAv", &Pupitre::TrackBarTAv);
    grille->addWidget(correction, 3, 0, 1, 2);
    grille->addWidget(Etiquette("LabelTAv", &Pupitre::LabelTAv), 3, 2);
    grille->addWidget(new QLabel("Avance réelle"), 4, 0);
    QLabel* reelle = Etiquette("RapTextAv", &Pupitre::RapTextAv);
    reelle->setFrameShape(QFrame::Panel);
    reelle->setFrameShadow(QFrame::Sunken);
    reelle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grille->addWidget(reelle, 4, 1);
    grille->addWidget(new QLabel("mm/mn"), 4, 2);
    return g;
}

QGroupBox* TForm1::GroupeEtat()
{
    auto* g = new GroupeAide("GroupBox2", "Etat  machine", BoutonAide(4, "Etat  machine"));
    auto* grille = new QGridLayout(g);
    grille->setVerticalSpacing(2);
    struct Ligne {
        const char* nom;
        Voyant Pupitre::*modele;
        const char* texte;
        QColor couleur;
        const char* conseil;
    };
    const QColor rouge(Qt::red), jaune(Qt::yellow), lime(Qt::green);
    const Ligne gauche[] = {
        { "LedCycle", &Pupitre::LedCycle, "Cycle actif", lime, "" },
        { "LedAxeOcc", &Pupitre::LedAxeOcc, "Axes occupés", jaune, "" },
        { "LedJeu", &Pupitre::LedJeu, "Compensation jeu", jaune, "" },
        { "LedPalOT", &Pupitre::LedPalOT, "Palpeur outil", lime, "" },
        { "LedArret", &Pupitre::LedArret, "ARRET ACTIVE", rouge, "" },
        { "LedButeeX", &Pupitre::LedButeeX, "Butée X", rouge, "" },
        { "LedButeeY", &Pupitre::LedButeeY, "Butée Y", rouge, "" },
        { "LedButeeZ", &Pupitre::LedButeeZ, "Butée Z", rouge, "" },
    };
    const Ligne droite[] = {
        { "LedG41", &Pupitre::LedG41, "G41", lime, "Correction de rayon à gauche du profil" },
        { "LedG42", &Pupitre::LedG42, "G42", lime, "Correction de rayon à droite du profil" },
        { "LedG43", &Pupitre::LedG43, "G43", lime, "Compensation de longueur outil" },
        { "LedG81", &Pupitre::LedG81, "G81", lime, "Cycle de perçage simple" },
        { "LedG82", &Pupitre::LedG82, "G82", lime, "Cycle de perçage avec tempo" },
        { "LedG83", &Pupitre::LedG83, "G83", lime, "Cycle de perçage avec débourrages" },
    };
    int rang = 0;
    for (const Ligne& l : gauche) {
        grille->addWidget(Lampe(l.nom, l.modele, l.couleur), rang, 0);
        grille->addWidget(new QLabel(l.texte), rang, 1);
        ++rang;
    }
    rang = 1;
    for (const Ligne& l : droite) {
        VoyantQt* v = Lampe(l.nom, l.modele, l.couleur);
        v->setToolTip(l.conseil);
        grille->addWidget(v, rang, 2);
        grille->addWidget(new QLabel(l.texte), rang, 3);
        ++rang;
    }
    return g;
}

QGroupBox* TForm1::GroupeDeplacements()
{
    auto* g = NouveauGroupe("GroupBox6", "Déplacements multiaxes manuels");
    auto* ligne = new QHBoxLayout(g);
    ligne->addWidget(new QLabel("X"));
    ligne->addWidget(Champ("EditGoX", &Pupitre::EditGoX));
    ligne->addWidget(new QLabel("Y"));
    ligne->addWidget(Champ("EditGoY", &Pupitre::EditGoY));
    ligne->addWidget(new QLabel("Z"));
    ligne->addWidget(Champ("EditGoZ", &Pupitre::EditGoZ));
    QPushButton* aller = Bouton("GoXYZ", &Pupitre::GoXYZ);
    connect(aller, &QPushButton::clicked, this, [this] { Executer(GoXYZClick); });
    Lier("GoXYZ.Curseur", [this, aller] {
        aller->setCursor(etat_->Form1.GoXYZ.Sablier ? Qt::WaitCursor : Qt::PointingHandCursor);
    });
    ligne->addWidget(aller);
    ligne->addWidget(BoutonAide(5, "Déplacements multiaxes manuels"));
    return g;
}

QGroupBox* TForm1::GroupeMessages()
{
    auto* g = NouveauGroupe("GroupBox1", "Messages machine");
    auto* ligne = new QHBoxLayout(g);
    QLabel* message = Raccourcie("MesEtat", &Pupitre::MesEtat);
    message->setStyleSheet("QLabel#MesEtat { color:red; font-weight:bold; }");
    ligne->addWidget(message, 1);
    QPushButton* raz = Bouton("MesRaz", &Pupitre::MesRaz);
    connect(raz, &QPushButton::clicked, this, [this] { Executer(MesRazClick); });
    ligne->addWidget(raz);
    ligne->addWidget(BoutonAide(6, "Messages machine"));
    return g;
}

QGroupBox* TForm1::GroupeParcours()
{
    auto* g = NouveauGroupe("GroupBox4", "Parcours outil");
    auto* colonne = new QVBoxLayout(g);
    imageProg_ = new ImageApercu;
    // The preview takes what the other groups leave.
    imageProg_->setMinimumSize(240, 160);
    imageProg_->DefinirPoste([this](std::function<void()> action) { Poster(std::move(action)); });
    imageProg_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Lier("ImageProg", [this] { imageProg_->setToolTip(Conseil(etat_->Form1.ImageProg.Conseil)); });
    colonne->addWidget(imageProg_, 1);
    auto* boutons = new QHBoxLayout;
    const struct {
        const char* nom;
        Controle Pupitre::*modele;
        void (*gestionnaire)();
    } commandes[] = {
        { "BitBtnPiece", &Pupitre::BitBtnPiece, BitBtnPieceClick },
        { "BitBtnParcoursOutil", &Pupitre::BitBtnParcoursOutil, BitBtnParcoursOutilClick },
        { "BitBtnZoomPlus", &Pupitre::BitBtnZoomPlus, BitBtnZoomPlusClick },
        { "BitBtnZoomMoins", &Pupitre::BitBtnZoomMoins, BitBtnZoomMoinsClick },
        { "BitBtnDecXMoins", &Pupitre::BitBtnDecXMoins, BitBtnDecXMoinsClick },
        { "BitBtnDEcXPlus", &Pupitre::BitBtnDEcXPlus, BitBtnDEcXPlusClick },
        { "BitBtnDecYMoins", &Pupitre::BitBtnDecYMoins, BitBtnDecYMoinsClick },
        { "BitBtnDecYPlus", &Pupitre::BitBtnDecYPlus, BitBtnDecYPlusClick },
    };
    for (const auto& c : commandes) {
        QPushButton* b = Bouton(c.nom, c.modele);
        connect(b, &QPushButton::clicked, this, [this, g = c.gestionnaire] { Executer(g); });
        boutons->addWidget(b);
    }
    auto* ot = new QCheckBox("OT");
    ot->setObjectName("CheckBoxOT");
    Lier("CheckBoxOT", [this, ot] { ot->setChecked(etat_->Form1.CheckBoxOT.Cochee); });
    connect(ot, &QCheckBox::toggled, this, [this](bool c) {
        if (!synchronisation_)
            Poster("CheckBoxOT", [c] { CheckBoxOTClick(c); });
    });
    boutons->addWidget(ot);
    boutons->addWidget(BoutonAide(7, "Parcours outil"));
    colonne->addLayout(boutons);
    return g;
}

QGroupBox* TForm1::GroupeProgramme()
{
    auto* g = new GroupeAjuste("Programme");
    g->setObjectName("GroupBox5");
    Lier("GroupBox5", [this, g] {
        g->DefinirTitre(Q(etat_->Form1.GroupBox5.Texte));
        g->DefinirConseil(Conseil(etat_->Form1.GroupBox5.Conseil));
    });
    auto* grille = new QGridLayout(g);
    grille->setVerticalSpacing(EspaceVertical);
    QLineEdit* ligne = Champ("EditLigneProg", &Pupitre::EditLigneProg);
    // The text went ahead as it was typed; Enter follows it in the queue.
    connect(ligne, &QLineEdit::returnPressed, this,
        [this] { Poster("EditLigneProg", [] { EditLigneProgKeyPress(ToucheEntree); }); });
    grille->addWidget(ligne, 0, 0, 1, 2);
    auto* liste = new QListWidget;
    liste->setObjectName("ListBoxProg1");
    liste_ = liste;
    liste->setStyleSheet("QListWidget#ListBoxProg1 { color:navy; }");
    liste->setUniformItemSizes(true);
    liste->setTextElideMode(Qt::ElideRight);
    liste->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new InfobulleTronquee(liste);
    Lier("ListBoxProg1", [this, liste] {
        // The same revision means the same lines: nothing to compare.
        const LignesPartagees& lignes = etat_->LignesProg;
        if (lignes.Revision() != revisionMontree_) {
            if (liste->count() != static_cast<int>(lignes.size())) {
                liste->clear();
                QStringList textes;
                textes.reserve(static_cast<int>(lignes.size()));
                for (size_t i = 0; i < lignes.size(); ++i)
                    textes << Q(lignes[i]);
                liste->addItems(textes);
            } else {
                for (int i = 0; i < liste->count(); ++i)
                    if (liste->item(i)->text() != Q(lignes[static_cast<size_t>(i)]))
                        liste->item(i)->setText(Q(lignes[static_cast<size_t>(i)]));
            }
            revisionMontree_ = lignes.Revision();
        }
        const int choisie = etat_->Form1.ListBoxProg1.Selection;
        if (choisie >= 0 && choisie < liste->count()) {
            liste->setCurrentRow(choisie);
        } else {
            liste->clearSelection();
            liste->setCurrentRow(-1);
        }
        liste->setEnabled(etat_->Form1.ListBoxProg1.Actif);
    });
    // The line the operator chose is the selected one, not the current one:
    // Qt makes the first line current when the list gets the focus back,
    // and the menu must not act on a line nobody chose.
    connect(liste, &QListWidget::itemSelectionChanged, this, [this, liste] {
        if (synchronisation_)
            return;
        const QList<QListWidgetItem*> choisies = liste->selectedItems();
        const int rang = choisies.isEmpty() ? -1 : liste->row(choisies.front());
        Poster("ListBoxProg1", [rang] { ListBoxProg1Click(rang); });
    });
    connect(liste, &QListWidget::itemDoubleClicked, this, [this] { Executer(ListBoxProg1DblClick); });
    MenuListe(liste);
    grille->addWidget(liste, 1, 0, 8, 1);
    grille->setColumnStretch(0, 1);
    // Bloc and URGENCE act on the press, as during a move only the press
    // reaches the machine; the click that follows would undo the stop.
    const struct {
        const char* nom;
        Controle Pupitre::*membre;
        void (*gestionnaire)();
        bool appui;
    } commandes[] = {
        { "BitBtnCharger", &Pupitre::BitBtnCharger, BitBtnChargerClick, false },
        { "BitBtnEnregistrer", &Pupitre::BitBtnEnregistrer, BitBtnEnregistrerClick, false },
        { "BitBtnCycle", &Pupitre::BitBtnCycle, BitBtnCycleClick, false },
        { "BitBtnPasPas", &Pupitre::BitBtnPasPas, BitBtnPasPasClick, false },
        { "BitBtnBloc", &Pupitre::BitBtnBloc, BitBtnBlocMouseDown, true },
        { "BitBtnPause", &Pupitre::BitBtnPause, BitBtnPauseClick, true },
        { "BoutonArret", &Pupitre::BoutonArret, BoutonArretMouseDown, true },
    };
    QPushButton* urgence = nullptr;
    int rang = 1;
    for (const auto& c : commandes) {
        QPushButton* b = Bouton(c.nom, c.membre);
        const auto action = [this, g = c.gestionnaire] { Executer(g); };
        if (c.appui)
            connect(b, &QPushButton::pressed, this, action);
        else
            connect(b, &QPushButton::clicked, this, action);
        grille->addWidget(b, rang++, 1);
        urgence = b;
    }
    // The stop does not queue behind a move: the press is seen at the
    // machine's next step or in the wait it is in (the handler above then
    // finds it engaged). Any mouse button presses it (event filter).
    urgence_ = urgence;
    connect(urgence, &QPushButton::pressed, this, [] { Entrees().DemanderUrgence(); });
    // Engaged, the button is disabled until "RAZ": it must look it.
    urgence->setStyleSheet("QPushButton#BoutonArret { background:red; color:white; font-weight:bold; }"
                           "QPushButton#BoutonArret:disabled { background:#d9a0a0; color:#f4e8e8; }");
    // The rows left under the buttons go to the list.
    grille->setRowStretch(8, 1);
    auto* jauge = new QProgressBar;
    jauge->setObjectName("GaugeProg");
    Lier("GaugeProg", [this, jauge] {
        const Jauge& j = etat_->Form1.GaugeProg;
        jauge->setRange(0, std::max(1, j.Max));
        jauge->setValue(j.Progression);
        jauge->setVisible(j.Visible);
    });
    // Under the list, its place kept while hidden: a run that shows it
    // never makes the window taller.
    QSizePolicy place = jauge->sizePolicy();
    place.setRetainSizeWhenHidden(true);
    jauge->setSizePolicy(place);
    auto* etat = new QHBoxLayout;
    etat->addWidget(Etiquette("LabelGaugeProg", &Pupitre::LabelGaugeProg));
    etat->addWidget(jauge, 1);
    // The time at load, the time left during a run: from virmak-cli, so
    // the machine thread never computes it.
    auto* duree = new QLabel;
    duree->setObjectName("LabelDureeProg");
    etat->addWidget(duree);
    calculDuree_ = new CalculDuree(this);
    const auto montrerDuree
        = [this, duree] { duree->setText(Q(calculDuree_->Texte(etat_->Form1, !etat_->LignesProg.empty()))); };
    connect(calculDuree_, &CalculDuree::Change, duree, montrerDuree);
    Lier("LabelDureeProg", [this, montrerDuree] {
        calculDuree_->Suivre(*etat_);
        montrerDuree();
    });
    grille->addLayout(etat, 9, 0, 1, 2);
    auto* suivi = new QCheckBox;
    suivi->setObjectName("CheckBoxSuiviPrg");
    Lier("CheckBoxSuiviPrg", [this, suivi] {
        suivi->setText(Q(etat_->Form1.CheckBoxSuiviPrg.Texte));
        suivi->setChecked(etat_->Form1.CheckBoxSuiviPrg.Cochee);
    });
    connect(suivi, &QCheckBox::toggled, this, [this](bool c) {
        if (!synchronisation_)
            Poster("CheckBoxSuiviPrg", [c] { CheckBoxSuiviPrgClick(c); });
    });
    grille->addWidget(suivi, 10, 0);
    grille->addWidget(BoutonAide(8, "Programme"), 10, 1, Qt::AlignRight);
    QLabel* info = Raccourcie("PanelInfo", &Pupitre::PanelInfo);
    info->setFrameShape(QFrame::Panel);
    info->setFrameShadow(QFrame::Sunken);
    grille->addWidget(info, 11, 0, 1, 2);
    return g;
}

namespace {

    // The right button's press on the program list opens its menu and goes
    // no further: the list would move its selection to the line under the
    // pointer, and the menu acts on the line the operator had chosen.
    class AppuiDroit : public QObject {
    public:
        AppuiDroit(QWidget* cible, QMenu* menu)
            : QObject(cible)
            , menu_(menu)
        {
            cible->installEventFilter(this);
        }

    protected:
        bool eventFilter(QObject* objet, QEvent* evenement) override
        {
            const QEvent::Type type = evenement->type();
            // The keyboard's menu key opens the same menu.
            if (type == QEvent::ContextMenu) {
                auto* c = static_cast<QContextMenuEvent*>(evenement);
                if (c->reason() != QContextMenuEvent::Keyboard)
                    return false;
                menu_->popup(c->globalPos());
                return true;
            }
            if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
                return QObject::eventFilter(objet, evenement);
            auto* m = static_cast<QMouseEvent*>(evenement);
            if (m->button() != Qt::RightButton)
                return false;
            if (type == QEvent::MouseButtonPress)
                menu_->popup(m->globalPosition().toPoint());
            return true;
        }

    private:
        QMenu* menu_;
    };

    struct EntreeMenu {
        const char* nom;
        const char* texte;
        void (*gestionnaire)();
    };

    // Menu entries whose handler runs on the machine thread.
    void AjouterEntrees(TForm1* fenetre, QMenu* menu, std::initializer_list<EntreeMenu> entrees)
    {
        for (const EntreeMenu& e : entrees) {
            QAction* action = menu->addAction(e.texte);
            action->setObjectName(e.nom);
            QObject::connect(action, &QAction::triggered, fenetre,
                [fenetre, g = e.gestionnaire] { fenetre->Executer(g); });
        }
    }

} // namespace

void TForm1::MenuListe(QListWidget* liste)
{
    // ListBoxProg1MouseDown: the menu is the window's own, nothing of the
    // model changes until an entry is chosen.
    auto* menu = new QMenu(this);
    menu->setObjectName("PopupMenu1");
    AjouterEntrees(this, menu,
        { { "Editerbloc1", "Editer bloc", Editerbloc1Click },
            { "Insrerbloc1", "Insérer bloc", Insrerbloc1Click },
            { "Supprimerbloc1", "Supprimer bloc", Supprimerbloc1Click } });
    menu->addSeparator();
    AjouterEntrees(this, menu, { { "DemarrerBloc1", "Démarrer à ce bloc", DemarrerBlocClick } });
    new AppuiDroit(liste->viewport(), menu);
    new AppuiDroit(liste, menu);
}

void TForm1::MenusAide()
{
    QMenu* menuAide = menuBar()->addMenu("Aide");
    menuAide->setObjectName("MenuAide1");
    // Aide1Click: the help file, no topic.
    QAction* aide = menuAide->addAction("Aide");
    aide->setObjectName("Aide1");
    connect(aide, &QAction::triggered, this, [this] { Aide(0); });
    AjouterEntrees(this, menuAide, { { "Aproposde1", "A propos de...", Aproposde1Click } });
    aPropos_ = new TAProposDe(this);
    Lier("AProposDe", [this] { aPropos_->Synchroniser(); });
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
    connect(quitter, &QAction::triggered, this, [this] {
        Executer(Quitter1Click);
        close();
    });

    // The secondary windows live as long as this one and stay hidden until asked for.
    outils_ = new TFormCorrecteursOutils(this);
    historique_ = new TFormHist(this);
    parametres_ = new TForm3(this);
    QMenu* menuOutils = menuBar()->addMenu("Outils");
    menuOutils->setObjectName("Outils1");
    QAction* correcteurs = menuOutils->addAction("Correcteurs");
    correcteurs->setObjectName("Correcteurs1");
    connect(correcteurs, &QAction::triggered, outils_, &TFormCorrecteursOutils::Correcteurs1Click);
    latence_ = new TFormLatence(this);
    AjouterEntrees(this, menuOutils, { { "TestLatence1", "Test de latence…", TestLatence1Click } });
    Lier("FormLatence", [this] { latence_->Synchroniser(); });
    QMenu* menuParametres = menuBar()->addMenu("Paramètres");
    menuParametres->setObjectName("Parametres1");
    AjouterEntrees(this, menuParametres,
        { { "Jeux1", "Axes", Jeux1Click }, { "Vitesses1", "Vitesses", Vitesses1Click },
            { "EntresSorties1", "Entrées / Sorties", EntresSorties1Click },
            { "OriginePalpeur1", "Origine / Palpeur", OriginePalpeur1Click } });
    Lier("Form3", [this] { parametres_->Synchroniser(); });
    QMenu* menuHistorique = menuBar()->addMenu("Historique");
    menuHistorique->setObjectName("Historique1");
    QAction* voir = menuHistorique->addAction("Voir");
    voir->setObjectName("Voir1");
    connect(voir, &QAction::triggered, historique_, &TFormHist::Voir1Click);
    Lier("ListBoxHist", [this] { historique_->Synchroniser(); });
    QMenu* menuCommandes = menuBar()->addMenu("Machine");
    menuCommandes->setObjectName("Machine1");
    AjouterEntrees(this, menuCommandes,
        { { "PriseOrigine1", "Prise d'origine", BtOrigineClick },
            { "PalpageZ1", "Palpage Z", BtPalpageClick } });
    if (MachineVirtuelleDemandee) {
        QMenu* menuMachine = menuBar()->addMenu("Machine virtuelle");
        menuMachine->setObjectName("MachineVirtuelle1");
        QAction* afficher = menuMachine->addAction("Afficher");
        afficher->setObjectName("AfficherMachineVirtuelle1");
        connect(afficher, &QAction::triggered, this, [this] {
            MachineVirtuelle* machine = MachineVirtuelleActive();
            if (!machine)
                return;
            if (!machineVirtuelle_)
                machineVirtuelle_ = new TFormMachineVirtuelle(this, machine);
            machineVirtuelle_->show();
            machineVirtuelle_->raise();
        });
    }
    MenusAide();
    Lier("FormCorrecteursOutils", [this] { outils_->Synchroniser(); });

    Lier("Form1", [this] {
        setWindowTitle(Q(etat_->Form1.Caption));
        setEnabled(etat_->Form1.Actif);
    });
}

void TForm1::Ouvrir(QDialog* dialogue, Qt::WindowModality modalite)
{
    dialogue->setAttribute(Qt::WA_DeleteOnClose);
    dialogue->setWindowModality(modalite);
    dialogues_.emplace_back(dialogue);
    dialogue->show();
}

void TForm1::OuvrirFichier(QFileDialog* dialogue, std::function<void(const std::string&)> fin)
{
    connect(dialogue, &QDialog::finished, this, [dialogue, fin = std::move(fin)](int resultat) {
        const QStringList choisis = dialogue->selectedFiles();
        fin(resultat == QDialog::Accepted && !choisis.isEmpty() ? choisis.front().toStdString()
                                                                : std::string());
    });
    Ouvrir(dialogue);
}

void TForm1::MontrerMessage(
    const std::string& texte, std::function<void()> fin, const std::shared_ptr<QPointer<QDialog>>& boite)
{
    if (fermetureDemandee_) {
        // Nobody is there to answer; the text still reaches a journal.
        std::fprintf(stderr, "%s\n", texte.c_str());
        fin();
        return;
    }
    auto* message
        = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Virmak"), Q(texte), QMessageBox::Ok, this);
    connect(message, &QDialog::finished, this, [fin = std::move(fin)](int) { fin(); });
    if (boite) {
        // The machine waits on this box during a run: "URGENCE" stays within
        // reach beside it, and Escape in it is "URGENCE", not "OK".
        *boite = message;
        message->setProperty(ProprieteUrgence, true);
    }
    Ouvrir(message, boite ? Qt::NonModal : Qt::ApplicationModal);
}

void TForm1::DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres, int filtre,
    const std::string& repertoire, std::function<void(const std::string&)> fin)
{
    if (fermetureDemandee_) {
        fin({});
        return;
    }
    // "description|pattern" becomes Qt's "description (pattern)" only when
    // the description does not already show its pattern.
    QStringList liste;
    for (const std::string& f : filtres) {
        const size_t barre = f.find('|');
        const QString description = Q(f.substr(0, barre));
        const QString motif = barre == std::string::npos ? QString("*") : Q(f.substr(barre + 1));
        liste << (description.contains('(') ? description : description + " (" + motif + ")");
    }
    auto* dialogue = new QFileDialog(this, Q(titre), Q(repertoire));
    dialogue->setObjectName("OpenDialog1");
    PreparerDialogueFichier(dialogue);
    dialogue->setFileMode(QFileDialog::ExistingFile);
    dialogue->setNameFilters(liste);
    if (filtre >= 0 && filtre < liste.size())
        dialogue->selectNameFilter(liste[filtre]);
    OuvrirFichier(dialogue, std::move(fin));
}

void TForm1::DialogueSauver(const std::string& repertoire, std::function<void(const std::string&)> fin)
{
    if (fermetureDemandee_) {
        fin({});
        return;
    }
    auto* dialogue = new QFileDialog(this, QString(), Q(repertoire));
    dialogue->setObjectName("SaveDialog1");
    PreparerDialogueFichier(dialogue);
    dialogue->setAcceptMode(QFileDialog::AcceptSave);
    dialogue->setFileMode(QFileDialog::AnyFile);
    OuvrirFichier(dialogue, std::move(fin));
}

void TForm1::Rattraper()
{
    VueMachine::Envoi envoi = vue_.Prendre();
    for (const auto& [couche, traces] : envoi.couches)
        imageProg_->DessinerCouche(couche, traces);
    if (envoi.etat) {
        etat_ = std::move(envoi.etat);
        Synchroniser();
    }
    if (envoi.focus)
        DonnerFocus(*envoi.focus);
}

void TForm1::Synchroniser()
{
    synchronisation_ = true;
    for (auto& [nom, miroir] : miroirs_) {
        // The operator's own action on this control is still on its way:
        // the widget already shows it, an older copy must not undo it.
        auto action = actions_.find(nom);
        if (action != actions_.end() && action->second > etat_->Sequence)
            continue;
        miroir();
    }
    synchronisation_ = false;
}

void TForm1::RafraichirVisues()
{
    for (int i = 0; i < 3; ++i) {
        const double v = VisuePubliee(i);
        if (visues_[i] && v != visuesMontrees_[i]) {
            visuesMontrees_[i] = v;
            visues_[i]->setText(Q(FormatFixe(v, 8, 3)));
        }
    }
}

void TForm1::DonnerFocus(const std::string& controle)
{
    if (Q(controle) == objectName()) {
        activateWindow();
        return;
    }
    if (QWidget* w = findChild<QWidget*>(Q(controle)))
        w->setFocus();
}

void TForm1::Aide(int contexte)
{
    // Each context is a page of its own, shown in the program's help
    // window: no browser is needed.
    const auto dossiers = DossiersAide(etat_->RepExe, QCoreApplication::applicationDirPath().toStdString());
    const std::string chemin = CheminAide(etat_->NomAide, contexte, dossiers);
    if (chemin.empty()) {
        MontrerMessage(MessageAideIntrouvable(etat_->NomAide, contexte, dossiers), [] {});
        return;
    }
    if (OuvrirPageAide) {
        OuvrirPageAide(chemin);
        return;
    }
    if (!aide_)
        aide_ = new TFormAide(this);
    aide_->Montrer(Q(chemin));
}

void TForm1::PlacerACote(QWidget* fenetre) const
{
    QList<QRect> evite;
    for (const char* nom : { "GroupBox4", "GroupBox5", "GroupeVisue", "GroupBox2" })
        if (const auto* g = findChild<QWidget*>(nom))
            evite << QRect(g->mapToGlobal(QPoint(0, 0)), g->size());
    const QScreen* ecran = screen();
    const QRect zone = ecran ? ecran->availableGeometry() : frameGeometry();
    fenetre->move(PlacementACote(frameGeometry(), fenetre->frameGeometry().size(), zone, evite));
}

namespace {

    // Room for the frame and the title bar, which the window system adds
    // around the window once it is shown; before, a usual size.
    QMargins Cadre(const QWidget* fenetre)
    {
        const QRect cadre = fenetre->frameGeometry(), dedans = fenetre->geometry();
        if (cadre != dedans)
            return { dedans.left() - cadre.left(), dedans.top() - cadre.top(), cadre.right() - dedans.right(),
                cadre.bottom() - dedans.bottom() };
        return { 4, 36, 4, 4 };
    }

} // namespace

void TForm1::AppliquerPolices(int taille)
{
    taillePolice_ = taille;
    setFont(PoliceTexte(taille));
    // The readouts keep the proportions of the original: 24 pixels for 14.
    const QFont chiffres = PoliceChiffres(Arrondi(taille * 24.0 / 14));
    const QFontMetrics m(chiffres);
    for (int i = 0; i < 3; ++i) {
        lettres_[i]->setFont(chiffres);
        visues_[i]->setFont(chiffres);
        presets_[i]->setFont(chiffres);
        // Nine characters, up to ten metres either way, in this font's own
        // widths: a readout never changes width with its number.
        const int largeur = LargeurNombre(m, QStringLiteral("-0000.000")) + 2 * visues_[i]->frameWidth()
            + m.horizontalAdvance(QLatin1Char('x'));
        visues_[i]->setFixedWidth(largeur);
        presets_[i]->setFixedWidth(largeur);
    }
    liste_->setFont(PoliceTexte(taille - 1));
    urgence_->setMinimumHeight(QFontMetrics(font()).height() * 2);
    for (QLayout* l : findChildren<QLayout*>())
        l->invalidate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

bool TForm1::AjusterAEcran(const QSize& place)
{
    for (int taille = TaillePolice;; --taille) {
        AppliquerPolices(taille);
        const QSize mini = minimumSizeHint();
        if (mini.width() <= place.width() && mini.height() <= place.height())
            return true;
        if (taille <= TaillePoliceMini)
            return false;
    }
}

void TForm1::Placer()
{
    const Pupitre& p = etat_->Form1;
    const QRect voulu(p.Left, p.Top, p.Width, p.Height);
    const QScreen* ecran = QGuiApplication::screenAt(voulu.center());
    if (!ecran)
        ecran = QGuiApplication::primaryScreen();
    if (!ecran) {
        setGeometry(voulu);
        return;
    }
    // Every control must show on this screen, whatever its fonts; the
    // place kept from the last session comes second.
    const QMargins cadre = Cadre(this);
    const QRect disponible = ecran->availableGeometry().marginsRemoved(cadre);
    AjusterAEcran(disponible.size());
    QList<QRect> ecrans;
    for (const QScreen* e : QGuiApplication::screens())
        ecrans << e->availableGeometry().marginsRemoved(cadre);
    setGeometry(PlacementFenetre(voulu, ecrans, disponible));
}

void TForm1::MemoriserBornes()
{
    // FORM1 keeps the frame position and the inner size, as it restores
    // them; before the start-up has placed the window there is nothing to keep.
    if (!demarree_ || isMinimized() || isMaximized() || !isVisible())
        return;
    const QRect g = geometry();
    Poster([g] { virmak::MemoriserBornes(g.x(), g.y(), g.width(), g.height()); });
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
    if (evenement->type() == QEvent::ActivationChange) {
        Entrees().DefinirFenetreActive(isActiveWindow());
        if (isActiveWindow() && demarree_)
            Executer(FormActivate);
    }
}

bool TForm1::FiltrerClavier(QObject* objet, QKeyEvent* k)
{
    Touche touche;
    if (k->isAutoRepeat() || !ToucheSuivie(k->key(), touche))
        return false;
    const bool appui = k->type() == QEvent::KeyPress;
    Entrees().DefinirTouche(touche, appui);
    auto* w = qobject_cast<QWidget*>(objet);
    if (appui && touche == Touche::Echap && w && w->window()->property(ProprieteUrgence).toBool()) {
        Entrees().DemanderUrgence();
        Executer(FormKeyDownEchap);
        return true;
    }
    if (!w || w->window() != this || !isActiveWindow())
        return false;
    // Escape is "URGENCE" wherever the focus is in this window, at once
    // even during a move, however short the tap.
    if (touche == Touche::Echap) {
        if (appui) {
            Entrees().DemanderUrgence();
            Executer(FormKeyDownEchap);
        }
        return true;
    }
    // Where the arrows type, they only type. F1 and F2 are noted whatever
    // has the focus, as a move takes them at its steps wherever it is; the
    // monitor drops those typed in a field.
    const bool saisie = FocusDeSaisie(FocusDe(QApplication::focusWidget()));
    const bool correction = touche == Touche::F1 || touche == Touche::F2;
    if (saisie && !correction)
        return false;
    if (appui)
        Entrees().NoterFrappe(touche);
    // Kept from the focused slider or button, so that it never does two
    // things.
    return !saisie;
}

namespace {

    // The operator left a field for another control: not when the whole
    // window lost the focus or a menu took it for a moment.
    bool ChampQuitte(QEvent* sortie)
    {
        const Qt::FocusReason raison = static_cast<QFocusEvent*>(sortie)->reason();
        return raison != Qt::ActiveWindowFocusReason && raison != Qt::PopupFocusReason;
    }

} // namespace

bool TForm1::FiltrerCommandesManuelles(QObject* objet, QEvent* evenement)
{
    const QEvent::Type type = evenement->type();
    if (type == QEvent::MouseButtonPress && objet == urgence_ && urgence_->isEnabled()
        && static_cast<QMouseEvent*>(evenement)->button() != Qt::LeftButton) {
        Entrees().DemanderUrgence();
        Executer(BoutonArretMouseDown);
        return true;
    }
    // A jog held on a button stops when the pointer leaves the button, as a
    // finger leaving a real one would.
    if (type == QEvent::MouseMove && (static_cast<QMouseEvent*>(evenement)->buttons() & Qt::LeftButton)) {
        for (auto& sens : jogs_)
            for (QPushButton* b : sens)
                if (objet == b
                    && !b->rect().contains(static_cast<QMouseEvent*>(evenement)->position().toPoint()))
                    Entrees().DefinirBouton(BoutonSouris::Gauche, false);
        return false;
    }
    for (int axe = 0; axe < 3; ++axe) {
        if (type == QEvent::MouseButtonPress && objet == visues_[axe]) {
            Poster([axe] { StaticTextClick(axe); });
            return true;
        }
        if (type == QEvent::FocusOut && objet == presets_[axe]) {
            if (ChampQuitte(evenement))
                Poster([axe] { Preset(axe); });
            return false;
        }
        for (int sens = 0; sens < 2; ++sens) {
            QPushButton* b = jogs_[axe][sens];
            if (type != QEvent::MouseButtonPress || objet != b || !b->isEnabled())
                continue;
            // An open preset field is taken first, as its focus-out comes
            // after this press.
            for (int i = 0; i < 3; ++i)
                if (QApplication::focusWidget() == presets_[i])
                    Poster([i] { Preset(i); });
            Poster([axe, sens] { JogBouton(axe, sens ? 1 : -1); });
            return false;
        }
    }
    if (type == QEvent::FocusOut && objet == vitesse_ && ChampQuitte(evenement))
        Poster("EditVitAv", [] { EditVitAvExit(); });
    return false;
}

bool TForm1::eventFilter(QObject* objet, QEvent* evenement)
{
    switch (evenement->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (FiltrerClavier(objet, static_cast<QKeyEvent*>(evenement)))
            return true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(evenement);
        const bool appui = evenement->type() == QEvent::MouseButtonPress;
        if (m->button() == Qt::LeftButton)
            Entrees().DefinirBouton(BoutonSouris::Gauche, appui);
        else if (m->button() == Qt::RightButton)
            Entrees().DefinirBouton(BoutonSouris::Droit, appui);
        if (FiltrerCommandesManuelles(objet, evenement))
            return true;
        break;
    }
    case QEvent::FocusOut:
    case QEvent::MouseMove:
        FiltrerCommandesManuelles(objet, evenement);
        break;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(evenement)->applicationState()
            != Qt::ApplicationActive)
            Entrees().ToutRelacher();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(objet, evenement);
}

void TForm1::DemanderFermeture(bool signal)
{
    if (signal) {
        fermetureDemandee_ = true;
        for (const QPointer<QDialog>& d : dialogues_)
            if (d)
                d->done(QDialog::Rejected);
        dialogues_.clear();
    }
    close();
}

void TForm1::closeEvent(QCloseEvent* evenement)
{
    if (fermetureAccordee_) {
        evenement->accept();
        QApplication::quit();
        return;
    }
    // The shut-down runs on the machine thread, after what it is doing;
    // the window goes once it is over.
    evenement->ignore();
    if (fermeturePostee_)
        return;
    fermeturePostee_ = true;
    // FORM1 gets the window's place and size as the operator leaves it,
    // whatever moves and resizes were seen before.
    MemoriserBornes();
    // A move in progress stops at its next step, a run at its next check.
    Entrees().DemanderArret(true);
    FileMachine().Poster([this] { Fermer(); });
}

void TForm1::Fermer()
{
    // Reached inside a run's wait: the run ends first, then the close.
    if (FileMachine().Profondeur() > 1) {
        ArretUrgence = true;
        FileMachine().Poster([this] { Fermer(); });
        return;
    }
    FormClose();
    vue_.Publier();
    FileMachine().Arreter();
    vue_.VersFenetre([this] {
        fermetureAccordee_ = true;
        close();
    });
}

} // namespace virmak
