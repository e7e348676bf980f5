#pragma once
// The main window TForm1: mirrors the window model into its widgets and
// hands every operator action to the core handler of the same name.

#include "foundation/pupitre.h"
#include "foundation/vue.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QComboBox;
class QCheckBox;
class QProgressBar;
class QPushButton;
class QTimer;
class QGroupBox;
class QAction;

namespace virmak {

class ImageApercu;
class VoyantQt;

class TForm1 : public QMainWindow, public Vue {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    // Vue
    void Repeindre(const std::string& controle) override;
    void TraiterMessages() override;
    void Message(const std::string& texte) override;
    void DonnerFocus(const std::string& controle) override;
    void Aide(int contexte) override;
    std::string DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres, int filtre,
        const std::string& repertoire) override;
    std::string DialogueSauver(const std::string& repertoire) override;
    void DessinerCouche(int couche, const std::vector<Trace>& traces) override;

    // Runs a core handler, then shows what it changed.
    void Executer(void (*gestionnaire)());

    // Copies the whole model into the widgets.
    void Synchroniser();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;
    void moveEvent(QMoveEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;

private:
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
    QPushButton* Bouton(const char* nom, Controle& modele);
    QLabel* Etiquette(const char* nom, Controle& modele);
    QLineEdit* Champ(const char* nom, Controle& modele);
    VoyantQt* Lampe(const char* nom, Voyant& modele, QColor couleur, bool rond = false);
    void Lier(const std::string& nom, std::function<void()> miroir);
    void Quitter1Click();
    void MemoriserBornes();

    std::map<std::string, std::function<void()>> miroirs_;
    ImageApercu* imageProg_ = nullptr;
    QTimer* timer1_ = nullptr;
    bool synchronisation_ = false;
    bool fermeture_ = false;
};

// SIGTERM and SIGINT close the window as its close box does: the first
// call catches them from the start, the second hands them to the window.
void PreparerSignauxFermeture();
void InstallerSignauxFermeture(TForm1* fenetre);

} // namespace virmak
