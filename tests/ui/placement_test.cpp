#include "ui/placement.h"

#include <gtest/gtest.h>

using namespace virmak;

TEST(PlacementFenetre, ASavedPlaceMostlyOffTheScreensComesBackCentredOnThePrimaryOne)
{
    const QRect principal(0, 0, 1024, 768);
    const QRect second(1024, 0, 1280, 1024);
    struct Cas {
        QRect voulu;
        QList<QRect> ecrans;
        QRect attendu;
    } cas[] = {
        // On the screen: kept.
        { QRect(5, 5, 900, 650), { principal }, QRect(5, 5, 900, 650) },
        // Half of it still shows: kept, the operator can drag it back.
        { QRect(574, 100, 900, 600), { principal }, QRect(574, 100, 900, 600) },
        // On a second monitor that is no longer there: centred.
        { QRect(1500, 100, 900, 600), { principal }, QRect(62, 84, 900, 600) },
        // The same monitor still there: kept.
        { QRect(1500, 100, 900, 600), { principal, second }, QRect(1500, 100, 900, 600) },
        // Far away or negative: centred.
        { QRect(-5000, -5000, 800, 575), { principal }, QRect(112, 96, 800, 575) },
        // Larger than the screen: brought to its size.
        { QRect(0, 0, 1600, 1200), { principal }, QRect(0, 0, 1024, 768) },
    };
    for (const Cas& c : cas)
        EXPECT_EQ(PlacementFenetre(c.voulu, c.ecrans, principal), c.attendu)
            << c.voulu.x() << "," << c.voulu.y();
}

TEST(PlacementACote, ASideWindowOpensBesideTheMainOneOrWhereItHidesLeastOfWhatIsWatched)
{
    const QRect ecran(0, 0, 1024, 768);
    const QSize taille(300, 200);
    // The preview (bottom left) and the program with its run buttons
    // (bottom right) of a main window that fills the screen.
    const QList<QRect> evite { QRect(0, 300, 500, 468), QRect(500, 300, 524, 468) };
    const struct {
        QRect principale;
        QRect ecran;
        QPoint attendu;
    } cas[] = {
        // Room on the right of the main window: there, at its top.
        { QRect(0, 0, 600, 500), QRect(0, 0, 1920, 1080), QPoint(604, 0) },
        // Only on the left.
        { QRect(1000, 50, 900, 700), QRect(0, 0, 1920, 1080), QPoint(696, 50) },
        // Low on a screen: still whole on it.
        { QRect(0, 1000, 600, 500), QRect(0, 0, 1920, 1200), QPoint(604, 1000) },
    };
    for (const auto& c : cas)
        EXPECT_EQ(PlacementACote(c.principale, taille, c.ecran, evite), c.attendu) << c.principale.x();
    // No room beside it: over the main window, clear of the preview and of
    // the run buttons, against the right edge.
    const QPoint p = PlacementACote(ecran, taille, ecran, evite);
    const QRect ici(p, taille);
    for (const QRect& r : evite)
        EXPECT_FALSE(ici.intersects(r)) << p.x() << "," << p.y();
    EXPECT_EQ(ici.right(), ecran.right());
    EXPECT_TRUE(ecran.contains(ici));
}
