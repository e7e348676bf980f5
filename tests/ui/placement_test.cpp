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
