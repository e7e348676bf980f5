#pragma once
// An indicator lamp: grey when off, its own colour when on.

#include <QColor>
#include <QWidget>

namespace virmak {

class VoyantQt : public QWidget {
public:
    VoyantQt(QColor couleur, bool rond, QWidget* parent = nullptr);
    void Allumer(bool allume);
    bool Allume() const { return allume_; }
    QSize sizeHint() const override { return { 16, 16 }; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor couleur_;
    bool rond_;
    bool allume_ = false;
};

} // namespace virmak
