#pragma once
// The About box TAProposDe with the safety warnings. A window of its own,
// not a child of the main window: the main window is disabled while it is
// shown, and a child would be disabled with it.

#include <QWidget>

class QCheckBox;
class QPushButton;

namespace virmak {

class TForm1;

class TAProposDe : public QWidget {
    Q_OBJECT
public:
    explicit TAProposDe(TForm1* principale);

    // Brings the box in line with the model; shown centred on the main
    // window once that one is on screen.
    void Synchroniser();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    TForm1* principale_;
    QCheckBox* avertissementLu_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace virmak
