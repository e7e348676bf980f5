#pragma once
// The history window TFormHist: shows the list of the model FormHist and
// lets the operator clear it. It exists for the whole run; closing it only
// hides it.

#include <QAbstractListModel>
#include <QWidget>
#include <string>

class QListView;
class QTimer;

namespace virmak {

// Reads the lines straight from the model's list, so a long history costs
// no copy; new lines are announced as rows inserted at the end.
class ModeleHistorique : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ModeleHistorique(QObject* parent, int largeurCaractere, int hauteurLigne);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Catches up with the model's list; true when the width grew.
    bool Rafraichir();
    int Largeur() const { return largeur_; }

private:
    void Mesurer(size_t debut, size_t fin);

    int connues_ = 0;
    std::string derniere_;
    int largeurCaractere_;
    int hauteurLigne_;
    int largeur_;
};

class TFormHist : public QWidget {
    Q_OBJECT
public:
    explicit TFormHist(QWidget* parent = nullptr);

    // Brings caption, list and visibility in line with the model.
    void Synchroniser();
    // Main menu "Historique" -> "Voir": shown and brought to the front.
    void Voir1Click();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void showEvent(QShowEvent* evenement) override;
    void hideEvent(QHideEvent* evenement) override;

private:
    void RafraichirListe();

    ModeleHistorique* modele_ = nullptr;
    QListView* liste_ = nullptr;
    QTimer* veille_ = nullptr;
};

} // namespace virmak
