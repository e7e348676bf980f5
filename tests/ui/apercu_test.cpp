#include "ui/apercu.h"

#include "apercu/cn_dessins.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "iso/traite_prog.h"
#include "pupitre/demarrage.h"
#include "pupitre/programme.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// Records the layers and paints them, as the main window does.
class VuePeinte : public VueEnregistreuse {
public:
    void DessinerCouche(int couche, const std::vector<Trace>& traces) override
    {
        VueEnregistreuse::DessinerCouche(couche, traces);
        bitmaps.DessinerCouche(couche, traces);
    }
    BmpApercu bitmaps;
};

const QRgb Noir = qRgb(0, 0, 0);
const QRgb Argent = qRgb(192, 192, 192);
const QRgb Bleu = qRgb(0, 0, 255);
const QRgb Lime = qRgb(0, 255, 0);
const QRgb Rouge = qRgb(255, 0, 0);

class ApercuPeint : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        FormCreate();
        DefinirVue(&peinte);
        peinte.bitmaps.Redimensionner(Form1.LargeurImage, Form1.HauteurImage);
    }

    void Programme(std::vector<std::string> lignes)
    {
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        ProgAnalyse = false;
        ParcoursCalcule = false;
    }

    // A fixed view and a table written by hand, as if analysed.
    static void Table(double echelle, int32_t ox, int32_t oy, std::vector<LigneProg> blocs)
    {
        EchelleApercu = echelle;
        OrigineApercu[0] = ox;
        OrigineApercu[1] = oy;
        TabProg.assign(blocs.begin(), blocs.end());
        NbLignesProg = static_cast<uint16_t>(blocs.size() - 1);
        ProgAnalyse = true;
    }

    static LigneProg Bloc(int g, double x, double y, double i = 0, double j = 0)
    {
        LigneProg l = LigneDefaut;
        l.CodeG[0] = g;
        l.X = x;
        l.Y = y;
        l.I = i;
        l.J = j;
        return l;
    }

    QRgb Pixel(int couche, double x, double y) const
    {
        return peinte.bitmaps.Couche(couche).pixel(static_cast<int>(x), static_cast<int>(y));
    }
    QRgb Pixel(double x, double y) const { return Pixel(1, x, y); }

    // The colour on the pixel or one of its eight neighbours: curves may
    // fall a pixel either side of their exact place.
    bool Autour(double x, double y, QRgb couleur) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Pixel(x + dx, y + dy) == couleur)
                    return true;
        return false;
    }

    int Compter(int couche, QRgb couleur) const
    {
        const QImage& im = peinte.bitmaps.Couche(couche);
        int n = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                n += im.pixel(x, y) == couleur;
        return n;
    }

    VuePeinte peinte;
};

} // namespace

TEST_F(ApercuPeint, TheAxesLieOnTheOriginsRowAndColumnInDashDotSilver)
{
    Programme({});
    DessinePiece();
    const int ox = OrigineApercu[0], oy = OrigineApercu[1];
    int surLigne = 0, surColonne = 0, ailleurs = 0;
    const QImage& im = peinte.bitmaps.Couche(1);
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) {
            const QRgb c = Pixel(x, y);
            if (c == Noir)
                continue;
            EXPECT_EQ(c, Argent);
            if (y == oy)
                ++surLigne;
            else if (x == ox)
                ++surColonne;
            else
                ++ailleurs;
        }
    EXPECT_EQ(ailleurs, 0);
    // Dash-dot: most of the length, not all of it.
    EXPECT_GT(surLigne, im.width() / 2);
    EXPECT_LT(surLigne, im.width());
    EXPECT_GT(surColonne, im.height() / 2);
    EXPECT_LT(surColonne, im.height());
    EXPECT_EQ(peinte.bitmaps.CoucheMontree(), 1);
}

TEST_F(ApercuPeint, AFeedMoveIsLimeAtItsMappedPixels)
{
    Programme({ "G0 X10 Y10", "G1 X60 Y10 F100", "G1 X60 Y40" });
    DessinePiece();
    const int y = static_cast<int>(RangApercu(10));
    const int x0 = static_cast<int>(ColonneApercu(10)), x1 = static_cast<int>(ColonneApercu(60));
    ASSERT_GT(x1 - x0, 100);
    for (int x = x0 + 1; x < x1; ++x) {
        EXPECT_EQ(Pixel(x, y), Lime) << x;
        EXPECT_NE(Pixel(x, y - 1), Lime) << x;
        EXPECT_NE(Pixel(x, y + 1), Lime) << x;
    }
    const int yh = static_cast<int>(RangApercu(40));
    for (int r = yh + 1; r < y; ++r)
        EXPECT_EQ(Pixel(x1, r), Lime) << r;
}

TEST_F(ApercuPeint, ARapidMoveIsDottedBlue)
{
    Programme({ "G0 X5 Y5", "G0 X40 Y5", "G1 X40 Y6 F100" });
    DessinePiece();
    const int y = static_cast<int>(RangApercu(5));
    int bleus = 0, noirs = 0;
    for (int x = static_cast<int>(ColonneApercu(5)) + 1; x < ColonneApercu(40); ++x) {
        const QRgb c = Pixel(x, y);
        EXPECT_TRUE(c == Bleu || c == Noir) << x;
        bleus += c == Bleu;
        noirs += c == Noir;
    }
    EXPECT_GT(bleus, 20);
    EXPECT_GT(noirs, 20);
}

TEST_F(ApercuPeint, ADrillingBlockThatDoesNotMoveStillShowsItsHole)
{
    TabOutils[1].Jauge[0] = 6;
    Programme({ "T1 G0 X10 Y10", "G81 X10 Y10 Z-2 R1 F100", "G80" });
    DessinePiece();
    ASSERT_EQ(TabProg[2].X, TabProg[1].X);
    ASSERT_EQ(TabProg[2].CodeG[1], 81);
    const double s = EchelleApercu;
    EXPECT_EQ(Pixel(ColonneApercu(10), RangApercu(10)), Lime);
    EXPECT_EQ(Pixel(ColonneApercu(10) + 2.5 * s, RangApercu(10)), Lime);
    EXPECT_EQ(Pixel(ColonneApercu(10), RangApercu(10) - 2.5 * s), Lime);
    EXPECT_EQ(Pixel(ColonneApercu(10) + 2 * s, RangApercu(10) + 2 * s), Lime);
    EXPECT_EQ(Pixel(ColonneApercu(10) + 3.5 * s, RangApercu(10)), Noir);
    EXPECT_EQ(Pixel(ColonneApercu(10) + 2.4 * s, RangApercu(10) + 2.4 * s), Noir);
}

TEST_F(ApercuPeint, ArcsTurnTheWayTheirCodeSays)
{
    // G3 from (20, 0) to (-20, 0) about the origin: the upper half; G2: the lower.
    Table(4, 200, 150, { Bloc(0, 20, 0), Bloc(3, -20, 0, 0, 0) });
    DessinePiece();
    EXPECT_TRUE(Autour(200, 150 - 80, Lime));
    EXPECT_TRUE(Autour(200 + 80 * 0.7071, 150 - 80 * 0.7071, Lime));
    EXPECT_TRUE(Autour(200 - 80 * 0.7071, 150 - 80 * 0.7071, Lime));
    EXPECT_FALSE(Autour(200, 150 + 80, Lime));
    Table(4, 200, 150, { Bloc(0, 20, 0), Bloc(2, -20, 0, 0, 0) });
    DessinePiece();
    EXPECT_TRUE(Autour(200, 150 + 80, Lime));
    EXPECT_FALSE(Autour(200, 150 - 80, Lime));
}

TEST_F(ApercuPeint, AnArcBetweenNeighbourPixelsIsDrawnAsALine)
{
    // Counter-clockwise from the left end to the right one, round a far
    // centre: as an arc it would be almost the whole circle.
    Table(1, 100, 100, { Bloc(0, 0, 0), Bloc(3, 1, 0, 0.5, -60) });
    DessinePiece();
    EXPECT_EQ(Pixel(100, 100), Lime);
    EXPECT_EQ(Compter(1, Lime), 1);
}

TEST_F(ApercuPeint, LayersStackPartPathAndMarker)
{
    Programme({ "G1 X30 Y0 F100", "G1 X30 Y20" });
    DessinePiece();
    BitBtnParcoursOutilClick();
    EXPECT_EQ(peinte.bitmaps.CoucheMontree(), 2);
    EXPECT_GT(Compter(2, Rouge), 50);
    EXPECT_EQ(Compter(1, Rouge), 0);
    DessineOutil(CoulOutil, 30, 20, 2);
    EXPECT_EQ(peinte.bitmaps.CoucheMontree(), 3);
    EXPECT_EQ(Pixel(3, ColonneApercu(30), RangApercu(20)), Rouge);
    // Zooming redraws the part and the path; the marker waits for the next one.
    BitBtnZoomMoinsClick();
    EXPECT_EQ(peinte.bitmaps.CoucheMontree(), 2);
    BitBtnPieceClick();
    EXPECT_EQ(peinte.bitmaps.CoucheMontree(), 1);
}

TEST_F(ApercuPeint, TheMainWindowShowsThePreviewAndDrivesItWithButtonsAndMouse)
{
    TForm1 f;
    f.AttendreMachine();
    f.resize(1000, 700);
    f.show();
    QApplication::processEvents();
    f.AttendreMachine();
    auto* image = f.findChild<ImageApercu*>("ImageProg");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->toolTip(), "Bouton gauche sourie = déplacement\nBouton droite sourie = zoom");
    EXPECT_EQ(Form1.LargeurImage, image->width());
    EXPECT_EQ(Form1.HauteurImage, image->height());

    const std::string chemin = Fichier("piece.iso");
    EcrireTout(chemin, "G0 X10 Y10\r\nG1 X50 F100\r\nG3 X50 Y30 I50 J20\r\nG1 X10\r\n");
    bool charge = false;
    SurMachine(f, [&] { charge = ChargerProgramme(chemin); });
    ASSERT_TRUE(charge);
    // A resize of the image while the window settles is redrawn by the machine thread.
    EXPECT_TRUE(AttendreQue([&] { return image->Bitmaps().CoucheMontree() == 1; }));
    EXPECT_EQ(image->Bitmaps().Montree().size(), image->size());

    f.findChild<QPushButton*>("BitBtnParcoursOutil")->click();
    f.AttendreMachine();
    EXPECT_TRUE(ParcoursCalcule);
    EXPECT_EQ(image->Bitmaps().CoucheMontree(), 2);

    const int32_t ox = OrigineApercu[0], oy = OrigineApercu[1];
    QMouseEvent appui(QEvent::MouseButtonPress, QPointF(50, 60), QPointF(50, 60), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &appui);
    QMouseEvent glisse(
        QEvent::MouseMove, QPointF(80, 50), QPointF(80, 50), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &glisse);
    f.AttendreMachine();
    EXPECT_EQ(OrigineApercu[0], ox + 30);
    EXPECT_EQ(OrigineApercu[1], oy - 10);

    const double echelle = EchelleApercu;
    f.findChild<QPushButton*>("BitBtnZoomPlus")->click();
    f.AttendreMachine();
    EXPECT_DOUBLE_EQ(EchelleApercu, echelle * 1.1);
    f.findChild<QPushButton*>("BitBtnDecYPlus")->click();
    f.AttendreMachine();
    EXPECT_EQ(OrigineApercu[1], oy - 20);
    f.findChild<QPushButton*>("BitBtnPiece")->click();
    f.AttendreMachine();
    EXPECT_EQ(image->Bitmaps().CoucheMontree(), 1);
    EXPECT_FALSE(ParcoursCalcule);

    // A larger window gives a larger picture at the same scale.
    const double avant = EchelleApercu;
    f.resize(1200, 800);
    QApplication::processEvents();
    f.AttendreMachine();
    EXPECT_EQ(image->Bitmaps().Montree().size(), image->size());
    EXPECT_EQ(Form1.LargeurImage, image->width());
    EXPECT_EQ(EchelleApercu, avant);
    EXPECT_EQ(image->Bitmaps().CoucheMontree(), 1);
}
