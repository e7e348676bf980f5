#pragma once
// The parameters dialog TForm3: the model Form3 and the page PageES as the
// main window last received them; every edit, click and window event goes
// to the machine thread, where the handler of the same name runs.

#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class QTabWidget;
class QGroupBox;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;

namespace virmak {

class TForm1;
struct Instantane;
struct LigneSignal;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TForm1* principale);

    // Brings every control and the visibility in line with the copy.
    void Synchroniser();

public slots:
    // Escape is the cancel button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;

private:
    void Dimensionner();
    QWidget* PageAxes();
    QWidget* PageVitesses();
    QWidget* PageOrigine();
    QWidget* PageSignaux();
    QWidget* Champ(int champ);
    QWidget* BoutonAide(int tag);
    // Label, field, unit, on one line.
    QHBoxLayout* LigneChamp(const char* avant, int champ, const char* apres);
    // The page's help button at its bottom right.
    void TerminerPage(QVBoxLayout* colonne, int aide);
    QGroupBox* GroupeSignaux(bool entrees);
    void LigneSignal(QGridLayout* grille, int rangee, bool entree, int index);
    // Posts `action`; until the machine has run it, copies do not overwrite
    // what the operator did on `w`.
    void Poster(QWidget* w, std::function<void()> action);
    void Miroir(QWidget* w, std::function<void(const Instantane&)> miroir);

    TForm1* principale_;
    QTabWidget* pages_ = nullptr;
    std::vector<std::pair<QWidget*, std::function<void(const Instantane&)>>> miroirs_;
    std::map<QWidget*, uint64_t> attente_;
    int pageMontree_ = -1;
    bool remplissage_ = false;
    QPointer<QWidget> versBoite_; // where the last deactivation went
};

} // namespace virmak
