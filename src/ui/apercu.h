#pragma once
// The preview's four layered bitmaps and the image that shows them: layer
// 0 is the black background, each upper layer a copy of the one below with
// the primitives the core sends painted over it.

#include "foundation/trace.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace virmak {

// Paints the primitives into an image, colours read as 0xBBGGRR.
void PeindreTraces(QImage& image, const std::vector<Trace>& traces);

class BmpApercu {
public:
    static constexpr int NbCouches = 4;

    // New layers of that size, all black; layer 0 is shown.
    void Redimensionner(int largeur, int hauteur);
    void DessinerCouche(int couche, const std::vector<Trace>& traces);

    const QImage& Couche(int couche) const { return couches_[couche]; }
    const QImage& Montree() const { return couches_[montree_]; }
    int CoucheMontree() const { return montree_; }

private:
    QImage couches_[NbCouches];
    int montree_ = 0;
};

// "ImageProg": shows the current layer and hands the mouse and its own
// resizes to the core handlers, through the poster the window gives it.
class ImageApercu : public QWidget {
    Q_OBJECT
public:
    explicit ImageApercu(QWidget* parent = nullptr);

    void DessinerCouche(int couche, const std::vector<Trace>& traces);
    const BmpApercu& Bitmaps() const { return bitmaps_; }

    using Poste = std::function<void(std::function<void()>)>;
    void DefinirPoste(Poste poste) { poste_ = std::move(poste); }

protected:
    void paintEvent(QPaintEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    void mousePressEvent(QMouseEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;

private:
    void Envoyer(std::function<void()> action);

    // A drag sends one move at a time: while one waits in the queue, later
    // positions only replace its end point, so a slow redraw never lets the
    // moves pile up behind it.
    struct Glissement {
        std::mutex verrou;
        int x = 0, y = 0;
        bool gauche = false, droit = false;
        bool enAttente = false;
    };

    BmpApercu bitmaps_;
    Poste poste_;
    std::shared_ptr<Glissement> glissement_ = std::make_shared<Glissement>();
};

} // namespace virmak
