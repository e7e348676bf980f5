#pragma once
// "Machine virtuelle": the positions the virtual machine decoded from the
// port, and its limit switches and emergency-stop input under the
// operator's hand, so limits and stops can be tried without a machine.

#include <QWidget>

class QCheckBox;
class QLabel;
class QTimer;

namespace virmak {

class TForm1;
class MachineVirtuelle;

class TFormMachineVirtuelle : public QWidget {
    Q_OBJECT
public:
    TFormMachineVirtuelle(TForm1* principale, MachineVirtuelle* machine);

protected:
    void showEvent(QShowEvent* evenement) override;
    void hideEvent(QHideEvent* evenement) override;

private:
    void Rafraichir();

    TForm1* principale_;
    MachineVirtuelle* machine_;
    QLabel* positions_[3] = {};
    QCheckBox* butees_[3] = {};
    QCheckBox* arret_ = nullptr;
    QCheckBox* palpeur_ = nullptr;
    QLabel* etat_ = nullptr;
    QLabel* violations_ = nullptr;
    QTimer* veille_ = nullptr;
};

} // namespace virmak
