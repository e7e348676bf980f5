#pragma once
// The tool dialog TFormCorrecteursOutils: the two grids of the model
// FormCorrecteursOutils, edited in place, with OK, Cancel and help.

#include <QDialog>

class QTableWidget;

namespace virmak {

class Grille;

class TFormCorrecteursOutils : public QDialog {
    Q_OBJECT
public:
    explicit TFormCorrecteursOutils(QWidget* parent = nullptr);

    // Brings caption, cells and visibility in line with the model; the
    // cells are copied when the dialog is being shown.
    void Synchroniser();
    // Main menu "Outils" -> "Correcteurs".
    void Correcteurs1Click();

public slots:
    // Escape and the close box cancel, as "Annuler" does.
    void reject() override;

private:
    QTableWidget* NouvelleGrille(const char* nom, Grille& modele);
    void Remplir(QTableWidget* table, const Grille& modele);
    void TerminerSaisie();
    void BitBtnOKClick();

    QTableWidget* outils_ = nullptr;
    QTableWidget* corDyn_ = nullptr;
    bool remplissage_ = false;
};

} // namespace virmak
