#include "ui/apercu.h"

#include "apercu/cn_dessins.h"
#include "foundation/nombres.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace virmak {

namespace {

    QColor Couleur(uint32_t bgr)
    {
        return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
            static_cast<int>((bgr >> 16) & 0xFF));
    }

    constexpr double FlecheArc = 0.3; // pixels between an arc and its chords

    // On and off pixels of the one-pixel pens, as Qt draws its own.
    struct Motif {
        uint32_t bits; // bit i: pixel i of the pattern is drawn
        int longueur;
    };

    Motif MotifDe(StyleTrait style)
    {
        switch (style) {
        case StyleTrait::Pointille:
            return { 0b001, 3 }; // 1 on, 2 off
        case StyleTrait::TiretPoint:
            return { 0b001001111, 9 }; // 4 on, 2 off, 1 on, 2 off
        case StyleTrait::Plein:
            break;
        }
        return { 1, 1 };
    }

    // Paints the primitives. One-pixel pens and discs are written straight
    // into the pixels: a long program is tens of thousands of short
    // primitives, where the painter's cost per call and per change of pen
    // would dominate. Wider pens go through QPainter with round ends.
    class Peintre {
    public:
        explicit Peintre(QImage& image)
            : image_(image)
            , pixels_(image.bits())
            , parLigne_(image.bytesPerLine())
            , largeur_(image.width())
            , hauteur_(image.height())
        {
        }

        ~Peintre() { ViderLarges(); }

        void Peindre(const Trace& t)
        {
            if (t.genre == Trace::Genre::Disque) {
                ViderLarges();
                Disque(t);
            } else if (t.largeur > 1) {
                if (!larges_.empty() && !MemeCrayon(*modeleLarge_, t))
                    ViderLarges();
                modeleLarge_ = &t;
                if (t.genre == Trace::Genre::Ligne)
                    larges_.emplace_back(t.x1, t.y1, t.x2, t.y2);
                else
                    Arc(t, [this](QPointF a, QPointF b) { larges_.emplace_back(a, b); });
            } else {
                ViderLarges();
                const QRgb c = Rgb(t.couleur);
                const Motif m = MotifDe(t.style);
                if (t.genre == Trace::Genre::Ligne)
                    Ligne(t.x1, t.y1, t.x2, t.y2, c, m);
                else
                    Arc(t, [&](QPointF a, QPointF b) {
                        Ligne(Arrondi(a.x()), Arrondi(a.y()), Arrondi(b.x()), Arrondi(b.y()), c, m);
                    });
            }
        }

    private:
        static QRgb Rgb(uint32_t bgr) { return Couleur(bgr).rgb(); }

        static bool MemeCrayon(const Trace& a, const Trace& b)
        {
            return a.couleur == b.couleur && a.style == b.style && a.largeur == b.largeur;
        }

        void Point(int x, int y, QRgb c)
        {
            if (static_cast<unsigned>(x) < static_cast<unsigned>(largeur_)
                && static_cast<unsigned>(y) < static_cast<unsigned>(hauteur_))
                reinterpret_cast<QRgb*>(pixels_ + y * parLigne_)[x] = c;
        }

        // From (x0, y0) to (x1, y1), the last pixel left out as the original
        // pens did, so the next piece of a path starts on it.
        void Ligne(int x0, int y0, int x1, int y1, QRgb c, Motif m)
        {
            int phase = 0;
            const bool dedans = x0 >= 0 && x0 < largeur_ && y0 >= 0 && y0 < hauteur_ && x1 >= 0
                && x1 < largeur_ && y1 >= 0 && y1 < hauteur_;
            if (!dedans) {
                // Only the part over the image is stepped; the pattern keeps
                // the phase it has there.
                double t0 = 0, t1 = 1;
                const double dx = x1 - x0, dy = y1 - y0;
                auto bord = [&](double p, double q) {
                    if (p == 0)
                        return q >= 0;
                    const double r = q / p;
                    if (p < 0)
                        t0 = std::max(t0, r);
                    else
                        t1 = std::min(t1, r);
                    return t0 <= t1;
                };
                if (!bord(-dx, x0 + 1.0) || !bord(dx, largeur_ - x0) || !bord(-dy, y0 + 1.0)
                    || !bord(dy, hauteur_ - y0))
                    return;
                const int cx0 = Arrondi(x0 + t0 * dx), cy0 = Arrondi(y0 + t0 * dy);
                if (t1 < 1) {
                    x1 = Arrondi(x0 + t1 * dx);
                    y1 = Arrondi(y0 + t1 * dy);
                }
                phase = std::max(std::abs(cx0 - x0), std::abs(cy0 - y0));
                x0 = cx0;
                y0 = cy0;
            }
            const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
            const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
            const int n = std::max(dx, dy);
            int erreur = dx - dy;
            int rang = phase % m.longueur;
            for (int i = 0; i < n; ++i) {
                if ((m.bits >> rang) & 1)
                    Point(x0, y0, c);
                if (++rang == m.longueur)
                    rang = 0;
                const int e2 = 2 * erreur;
                if (e2 > -dy) {
                    erreur -= dy;
                    x0 += sx;
                }
                if (e2 < dx) {
                    erreur += dx;
                    y0 += sy;
                }
            }
        }

        // The ellipse inscribed in the box, right and bottom edges outside:
        // every pixel whose centre lies inside; at least one pixel.
        void Disque(const Trace& t)
        {
            const QRgb c = Rgb(t.couleur);
            const int l = std::max(1, t.x2 - t.x1), h = std::max(1, t.y2 - t.y1);
            const double cx = t.x1 + l / 2.0, cy = t.y1 + h / 2.0, rx = l / 2.0, ry = h / 2.0;
            const int premier = std::max(t.y1, 0), dernier = std::min(t.y1 + h, hauteur_);
            for (int y = premier; y < dernier; ++y) {
                const double v = (y + 0.5 - cy) / ry;
                const double demi = rx * std::sqrt(std::max(0.0, 1 - v * v));
                const int xa = std::max(static_cast<int>(std::ceil(cx - demi - 0.5)), 0);
                const int xb = std::min(static_cast<int>(std::floor(cx + demi - 0.5)), largeur_ - 1);
                QRgb* rang = reinterpret_cast<QRgb*>(pixels_ + y * parLigne_);
                for (int x = xa; x <= xb; ++x)
                    rang[x] = c;
                if (xa > xb && l == 1 && t.x1 >= 0 && t.x1 < largeur_)
                    rang[t.x1] = c;
            }
        }

        // The counter-clockwise elliptical arc through the box, from the ray
        // through the start point to the ray through the end point, as chords.
        template <typename Corde> void Arc(const Trace& t, Corde corde)
        {
            const double rx = (t.x2 - t.x1) / 2.0, ry = (t.y2 - t.y1) / 2.0;
            if (rx <= 0 || ry <= 0)
                return;
            const double cx = (t.x1 + t.x2) / 2.0, cy = (t.y1 + t.y2) / 2.0;
            constexpr double deuxPi = 2 * std::numbers::pi;
            auto angle = [&](int x, int y) { return std::atan2(-(y - cy) / ry, (x - cx) / rx); };
            const double debut = angle(t.xd, t.yd);
            double etendue = std::fmod(angle(t.xf, t.yf) - debut, deuxPi);
            // Start and end on the same ray: the whole ellipse.
            if (etendue <= 0)
                etendue += deuxPi;
            const double r = std::max(rx, ry);
            const double pas = r > FlecheArc ? 2 * std::acos(1 - FlecheArc / r) : deuxPi;
            const int n = static_cast<int>(std::clamp(std::ceil(etendue / pas), 1.0, 4096.0));
            QPointF a(cx + rx * std::cos(debut), cy - ry * std::sin(debut));
            for (int i = 1; i <= n; ++i) {
                const double u = debut + etendue * i / n;
                const QPointF b(cx + rx * std::cos(u), cy - ry * std::sin(u));
                corde(a, b);
                a = b;
            }
        }

        void ViderLarges()
        {
            if (larges_.empty())
                return;
            if (!peintre_.isActive())
                peintre_.begin(&image_);
            QPen crayon(Couleur(modeleLarge_->couleur), modeleLarge_->largeur);
            crayon.setStyle(modeleLarge_->style == StyleTrait::Pointille ? Qt::DotLine
                    : modeleLarge_->style == StyleTrait::TiretPoint      ? Qt::DashDotLine
                                                                         : Qt::SolidLine);
            crayon.setCapStyle(Qt::RoundCap);
            crayon.setJoinStyle(Qt::RoundJoin);
            peintre_.setPen(crayon);
            peintre_.drawLines(larges_.data(), static_cast<int>(larges_.size()));
            larges_.clear();
        }

        QImage& image_;
        uchar* pixels_;
        qsizetype parLigne_;
        int largeur_, hauteur_;
        QPainter peintre_;
        std::vector<QLineF> larges_; // a run of wide strokes with one pen
        const Trace* modeleLarge_ = nullptr;
    };

} // namespace

void PeindreTraces(QImage& image, const std::vector<Trace>& traces)
{
    if (image.isNull())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
    Peintre peintre(image);
    for (const Trace& t : traces)
        peintre.Peindre(t);
}

void BmpApercu::Redimensionner(int largeur, int hauteur)
{
    for (QImage& c : couches_) {
        c = QImage(std::max(1, largeur), std::max(1, hauteur), QImage::Format_RGB32);
        c.fill(Qt::black);
    }
    montree_ = 0;
}

void BmpApercu::DessinerCouche(int couche, const std::vector<Trace>& traces)
{
    if (couche < 1 || couche >= NbCouches)
        return;
    couches_[couche] = couches_[couche - 1].copy();
    PeindreTraces(couches_[couche], traces);
    montree_ = couche;
}

ImageApercu::ImageApercu(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("ImageProg");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The right button zooms here; no menu may pop up under it.
    setContextMenuPolicy(Qt::PreventContextMenu);
    bitmaps_.Redimensionner(width(), height());
}

void ImageApercu::DessinerCouche(int couche, const std::vector<Trace>& traces)
{
    bitmaps_.DessinerCouche(couche, traces);
    update();
}

void ImageApercu::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage& image = bitmaps_.Montree();
    p.drawImage(0, 0, image);
    if (image.width() < width())
        p.fillRect(image.width(), 0, width() - image.width(), height(), Qt::black);
    if (image.height() < height())
        p.fillRect(0, image.height(), width(), height() - image.height(), Qt::black);
}

void ImageApercu::Envoyer(std::function<void()> action)
{
    if (poste_)
        poste_(std::move(action));
    else
        action();
}

void ImageApercu::resizeEvent(QResizeEvent* evenement)
{
    QWidget::resizeEvent(evenement);
    bitmaps_.Redimensionner(width(), height());
    Envoyer([l = width(), h = height()] { ImageProgResize(l, h); });
    update();
}

void ImageApercu::mousePressEvent(QMouseEvent* evenement)
{
    const QPoint p = evenement->position().toPoint();
    Envoyer([x = p.x(), y = p.y()] { ImageProgMouseDown(x, y); });
}

void ImageApercu::mouseMoveEvent(QMouseEvent* evenement)
{
    const QPoint p = evenement->position().toPoint();
    bool envoyer = false;
    {
        std::lock_guard<std::mutex> garde(glissement_->verrou);
        glissement_->x = p.x();
        glissement_->y = p.y();
        glissement_->gauche = evenement->buttons() & Qt::LeftButton;
        glissement_->droit = evenement->buttons() & Qt::RightButton;
        envoyer = !glissement_->enAttente;
        glissement_->enAttente = true;
    }
    if (!envoyer)
        return;
    Envoyer([g = glissement_] {
        int x, y;
        bool gauche, droit;
        {
            std::lock_guard<std::mutex> garde(g->verrou);
            x = g->x;
            y = g->y;
            gauche = g->gauche;
            droit = g->droit;
            g->enAttente = false;
        }
        ImageProgMouseMove(x, y, gauche, droit);
    });
}

} // namespace virmak
