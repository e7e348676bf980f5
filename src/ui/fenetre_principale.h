#pragma once
// The main window TForm1, on the window thread: it shows the copies of the
// window model that the machine thread sends, and posts every operator
// action to the machine thread's queue, where the core handler of the same
// name runs. It never reads or writes the core's state itself.

#include "ui/instantane.h"
#include "ui/vue_machine.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTimer;
class QGroupBox;
class QKeyEvent;
class QDialog;
class QFileDialog;

namespace virmak {

class CalculDuree;
class ImageApercu;
class TAProposDe;
class VoyantQt;
class TFormCorrecteursOutils;
class TForm3;
class TFormHist;
class TFormMachineVirtuelle;
class TFormLatence;
class TFormAide;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and starts the machine thread, which runs the
    // start-up and then waits for actions. The window shows itself, at the
    // saved place, once the start-up is over.
    TForm1();
    ~TForm1() override;

    // Posts `action` to the machine thread, followed by a copy of the models
    // back to the window. Returns the action's number in the queue.
    uint64_t Poster(std::function<void()> action);
    // The same, for the action of control `controle`: until the machine has
    // run it, copies made before do not overwrite what the operator did.
    uint64_t Poster(const std::string& controle, std::function<void()> action);
    void Executer(void (*gestionnaire)()) { Poster(gestionnaire); }

    // Lets the window's events run until the machine thread has run every
    // action posted so far and its copy has arrived (tests, start-up).
    void AttendreMachine();
    bool Demarree() const { return demarree_; }

    // The close of the close box. After a signal nobody may be there to
    // answer: open boxes are closed and later ones are not shown.
    void DemanderFermeture(bool signal);

    const Instantane& Etat() const { return *etat_; }
    const VueMachine& VueDuFil() const { return vue_; }
    // The machining time shown in the program group, computed by virmak-cli.
    CalculDuree& CalculDeDuree() { return *calculDuree_; }

    // Takes what the machine thread published since the last frame and
    // shows it: the newest copy, the preview layers, the focus.
    void Rattraper();

    // From the machine thread's view, on the window thread.
    // `boite`, when given, is pointed at the box shown, so that the machine
    // can take it down.
    void MontrerMessage(const std::string& texte, std::function<void()> fin,
        const std::shared_ptr<QPointer<QDialog>>& boite = {});
    void DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres, int filtre,
        const std::string& repertoire, std::function<void(const std::string&)> fin);
    void DialogueSauver(const std::string& repertoire, std::function<void(const std::string&)> fin);
    void DonnerFocus(const std::string& controle);
    // Opens the help page of a help button's context (0: the index).
    void Aide(int contexte);
    // What shows a help page: the help window, unless a test put itself
    // there.
    std::function<void(const std::string&)> OuvrirPageAide;
    // The help window, once a page was shown (nullptr before).
    TFormAide* FenetreAide() const { return aide_; }

    // Copies the last copy received into the widgets.
    void Synchroniser();

    // Moves a window opened from this one beside it, or where it hides
    // least of the preview, the program and its run buttons, the readouts
    // and the machine's state.
    void PlacerACote(QWidget* fenetre) const;

    // The text size of the window, in pixels, and the smallest it takes
    // on a small screen.
    static constexpr int TaillePolice = 14;
    static constexpr int TaillePoliceMini = 10;
    // Lays the window out with text of `taille` pixels.
    void AppliquerPolices(int taille);
    int TaillePoliceAppliquee() const { return taillePolice_; }
    // The largest text size, down to TaillePoliceMini, with which the whole
    // window fits in `place` (its inside, frame and title bar excluded).
    // False when even the smallest does not.
    bool AjusterAEcran(const QSize& place);

signals:
    void DemarrageTermine();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;
    void moveEvent(QMoveEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void BoucleMachine();
    void SignalerRepos(const std::shared_ptr<bool>& fait);
    void Fermer();
    void Construire();
    QGroupBox* GroupeVisue();
    QGroupBox* GroupeCommandes();
    QGroupBox* GroupeAvance();
    QGroupBox* GroupeEtat();
    QGroupBox* GroupeDeplacements();
    QGroupBox* GroupeMessages();
    QGroupBox* GroupeParcours();
    QGroupBox* GroupeProgramme();
    QPushButton* BoutonAide(int numero, const QString& sujet);
    QPushButton* Bouton(const char* nom, Controle Pupitre::*membre);
    QLabel* Etiquette(const char* nom, Controle Pupitre::*membre);
    QLineEdit* Champ(const char* nom, Controle Pupitre::*membre);
    QLabel* Raccourcie(const char* nom, Controle Pupitre::*membre);
    QSlider* Glissiere(const char* nom, Curseur Pupitre::*membre);
    VoyantQt* Lampe(const char* nom, Voyant Pupitre::*membre, QColor couleur, bool rond = false);
    void Lier(const std::string& nom, std::function<void()> miroir);
    void RafraichirVisues();
    bool FiltrerClavier(QObject* objet, QKeyEvent* evenement);
    bool FiltrerCommandesManuelles(QObject* objet, QEvent* evenement);
    void MemoriserBornes();
    // At the end of the start-up: fitted to its screen, at the saved place.
    void Placer();
    void Ouvrir(QDialog* dialogue, Qt::WindowModality modalite = Qt::ApplicationModal);
    void OuvrirFichier(QFileDialog* dialogue, std::function<void(const std::string&)> fin);
    void MenuListe(QListWidget* liste);
    void MenusAide();

    std::shared_ptr<const Instantane> etat_;
    VueMachine vue_;
    Vue* vuePrecedente_ = nullptr;
    std::thread fil_;
    std::map<std::string, std::function<void()>> miroirs_;
    std::map<std::string, uint64_t> actions_; // control -> last action posted on it
    std::vector<QPointer<QDialog>> dialogues_; // boxes and dialogs awaiting an answer
    ImageApercu* imageProg_ = nullptr;
    CalculDuree* calculDuree_ = nullptr;
    TFormCorrecteursOutils* outils_ = nullptr;
    TForm3* parametres_ = nullptr;
    TFormHist* historique_ = nullptr;
    TFormMachineVirtuelle* machineVirtuelle_ = nullptr;
    TFormLatence* latence_ = nullptr;
    TFormAide* aide_ = nullptr;
    TAProposDe* aPropos_ = nullptr; // a window of its own, deleted with this one
    QLabel* lettres_[3] = {};
    QLabel* visues_[3] = {};
    QLineEdit* presets_[3] = {}; // EditX, EditY, EditZ
    QLineEdit* vitesse_ = nullptr; // EditVitAv
    QPushButton* jogs_[3][2] = {}; // per axis: minus, plus
    QPushButton* urgence_ = nullptr; // BoutonArret
    QListWidget* liste_ = nullptr; // ListBoxProg1
    int taillePolice_ = TaillePolice;
    double visuesMontrees_[3] = {};
    QTimer* rafraichissement_ = nullptr;
    uint64_t revisionMontree_ = 0; // of the program list's lines
    bool synchronisation_ = false;
    bool demarree_ = false;
    bool fermetureDemandee_ = false; // after a signal
    bool fermeturePostee_ = false;
    bool fermetureAccordee_ = false;
};

} // namespace virmak
