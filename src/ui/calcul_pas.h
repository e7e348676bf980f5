#pragma once
// The steps-per-mm calculator of one axis, opened from the "Axes" page:
// the motor, its micro-stepping and the screw or the belt give the value
// the operator puts into the axis's field.

#include <QDialog>
#include <functional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QComboBox;

namespace virmak {

class CalculPasParMm : public QDialog {
    Q_OBJECT
public:
    // `mettre` receives the steps per mm when the operator takes them.
    CalculPasParMm(QWidget* parent, int axe, std::function<void(double)> mettre);

    // Steps per mm of what the fields hold now (0: not computable).
    double Resultat() const;

private:
    void Recalculer();

    QSpinBox* pasParTour_ = nullptr;
    QComboBox* microPas_ = nullptr;
    QRadioButton* vis_ = nullptr;
    QDoubleSpinBox* pasVis_ = nullptr;
    QSpinBox* dents_ = nullptr;
    QDoubleSpinBox* pasCourroie_ = nullptr;
    QLabel* resultat_ = nullptr;
    QPushButton* mettre_ = nullptr;
};

} // namespace virmak
