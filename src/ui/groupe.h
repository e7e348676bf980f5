#pragma once
// A group of the main window whose help button sits at the right end of
// its title line, where it takes no row of the content.

#include <QGroupBox>

class QPushButton;

namespace virmak {

class GroupeAide : public QGroupBox {
    Q_OBJECT
public:
    GroupeAide(const char* nom, const QString& titre, QPushButton* aide);
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;

private:
    void Placer();

    QPushButton* aide_;
};

} // namespace virmak
