#pragma once
// "Test de latence": the window of the measure of the step timing, on the
// window thread. The measure runs on the machine thread; this window shows
// its progress from a shared counter, and ends it through a shared flag.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace virmak {

class TForm1;

class TFormLatence : public QDialog {
    Q_OBJECT
public:
    explicit TFormLatence(TForm1* principale);

    // Brings the window in line with the copy the main window last received.
    void Synchroniser();

public slots:
    // Escape: the measure ends, the window goes.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* evenement) override;

private:
    void Fermer();

    TForm1* principale_;
    QSpinBox* duree_ = nullptr;
    QPushButton* lancer_ = nullptr;
    QPushButton* arreter_ = nullptr;
    QPushButton* appliquer_ = nullptr;
    QProgressBar* progression_ = nullptr;
    QLabel* resultats_ = nullptr;
    QLabel* conseil_ = nullptr;
    QLabel* application_ = nullptr;
    QTimer* veille_ = nullptr;
    bool place_ = false;
};

} // namespace virmak
