#pragma once
// The tool dialog TFormCorrecteursOutils: the two grids of the model
// FormCorrecteursOutils, as the main window last received it; each edit,
// OK, Cancel and help go to the machine thread.

#include <QDialog>

class QTableWidget;

namespace virmak {

class Grille;
struct FenetreOutils;
class TForm1;

class TFormCorrecteursOutils : public QDialog {
    Q_OBJECT
public:
    explicit TFormCorrecteursOutils(TForm1* principale);

    // Brings caption, cells and visibility in line with the model; the
    // cells are copied when the dialog is being shown.
    void Synchroniser();
    // Main menu "Outils" -> "Correcteurs".
    void Correcteurs1Click();

public slots:
    // Escape and the close box cancel, as "Annuler" does.
    void reject() override;

private:
    QTableWidget* NouvelleGrille(const char* nom, Grille FenetreOutils::*grille);
    void Remplir(QTableWidget* table, const Grille& modele);
    void TerminerSaisie();
    void BitBtnOKClick();

    TForm1* principale_;
    QTableWidget* outils_ = nullptr;
    QTableWidget* corDyn_ = nullptr;
    bool remplissage_ = false;
    bool montrer_ = false; // brought to the front at the next copy
};

} // namespace virmak
