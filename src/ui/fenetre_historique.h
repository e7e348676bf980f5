#pragma once
// The history window TFormHist: shows the list of the model FormHist and
// lets the operator clear it. It exists for the whole run; closing it only
// hides it.

#include "ui/instantane.h"

#include <QAbstractListModel>
#include <QWidget>
#include <string>

class QListView;

namespace virmak {

class TForm1;

// Reads the lines from the copy the main window last received, shared and
// never copied again here; lines added at the end are announced as rows
// inserted there.
class ModeleHistorique : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ModeleHistorique(TForm1* principale, int largeurCaractere, int hauteurLigne);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Catches up with the model's list; true when the width grew.
    bool Rafraichir();
    int Largeur() const { return largeur_; }

private:
    void Mesurer(size_t debut, size_t fin);

    TForm1* principale_;
    LignesPartagees lignes_; // as shown
    int connues_ = 0;
    int largeurCaractere_;
    int hauteurLigne_;
    int largeur_;
};

class TFormHist : public QWidget {
    Q_OBJECT
public:
    explicit TFormHist(TForm1* principale);

    // Brings caption, list and visibility in line with the model.
    void Synchroniser();
    // Main menu "Historique" -> "Voir": shown and brought to the front.
    void Voir1Click();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void showEvent(QShowEvent* evenement) override;

private:
    void RafraichirListe();

    TForm1* principale_;
    ModeleHistorique* modele_ = nullptr;
    QListView* liste_ = nullptr;
    bool montrer_ = false; // brought to the front at the next copy
};

} // namespace virmak
