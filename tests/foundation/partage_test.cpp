#include "foundation/partage.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace virmak;

TEST(EntreesOperateur, LosingTheFocusOrTheWindowReleasesEveryKeyAndButton)
{
    EntreesOperateur e;
    for (Touche t : { Touche::Gauche, Touche::F2, Touche::Echap })
        e.DefinirTouche(t, true);
    e.DefinirBouton(BoutonSouris::Gauche, true);
    e.DefinirFenetreActive(true);
    e.DefinirFocus(Focus::EditGoX);
    EXPECT_TRUE(e.ToucheEnfoncee(Touche::F2));
    EXPECT_FALSE(e.ToucheEnfoncee(Touche::F1));
    EXPECT_EQ(e.FocusActuel(), Focus::EditGoX);
    e.ToutRelacher();
    EXPECT_FALSE(e.ToucheEnfoncee(Touche::Gauche));
    EXPECT_FALSE(e.BoutonEnfonce(BoutonSouris::Gauche));
    e.DefinirTouche(Touche::Haut, true);
    e.DefinirFenetreActive(false);
    EXPECT_FALSE(e.FenetreActive());
    EXPECT_FALSE(e.ToucheEnfoncee(Touche::Haut));
}

TEST(EntreesOperateur, AMovePollingWhileTheWindowWritesSeesOnlyWholeValues)
{
    EntreesOperateur e;
    std::atomic<bool> fini { false };
    std::thread fenetre([&] {
        for (int i = 0; i < 20000; ++i) {
            e.DefinirTouche(Touche::Droite, i % 2 == 0);
            PublierVisue(1, i * 0.001);
        }
        e.ToutRelacher();
        fini = true;
    });
    double derniere = 0;
    bool recule = false;
    while (!fini) {
        (void)e.ToucheEnfoncee(Touche::Droite);
        const double v = VisuePubliee(1);
        recule = recule || v < derniere;
        derniere = v;
    }
    fenetre.join();
    EXPECT_FALSE(recule);
    EXPECT_FALSE(e.ToucheEnfoncee(Touche::Droite));
    EXPECT_DOUBLE_EQ(VisuePubliee(1), 19.999);
    EXPECT_EQ(VisuePubliee(7), 0.0);
}

TEST(EntreesOperateur, AWindowThatStoppedAnsweringReadsAsEverythingReleased)
{
    EntreesOperateur e;
    e.DefinirTouche(Touche::Droite, true);
    e.DefinirBouton(BoutonSouris::Gauche, true);
    e.Battre();
    EXPECT_TRUE(e.ToucheEnfoncee(Touche::Droite));
    EXPECT_TRUE(e.BoutonEnfonce(BoutonSouris::Gauche));
    e.Battre(InstantNs() - 2 * EntreesOperateur::SilenceMaxNs);
    EXPECT_FALSE(e.ToucheEnfoncee(Touche::Droite));
    EXPECT_FALSE(e.BoutonEnfonce(BoutonSouris::Gauche));
    e.Battre();
    EXPECT_TRUE(e.ToucheEnfoncee(Touche::Droite));
}

TEST(EntreesOperateur, ATapIsTakenOnceAndForgottenWhenAFieldTakesTheFocus)
{
    EntreesOperateur e;
    e.NoterFrappe(Touche::Haut);
    EXPECT_TRUE(e.PrendreFrappe(Touche::Haut));
    EXPECT_FALSE(e.PrendreFrappe(Touche::Haut));
    for (Focus f : { Focus::EditGoX, Focus::Saisie }) {
        e.NoterFrappe(Touche::Haut);
        e.DefinirFocus(f);
        EXPECT_FALSE(e.PrendreFrappe(Touche::Haut));
    }
    e.NoterFrappe(Touche::Haut);
    e.DefinirFocus(Focus::Autre);
    EXPECT_TRUE(e.PrendreFrappe(Touche::Haut));
}

TEST(EntreesOperateur, EveryTapIsCountedUntilTaken)
{
    EntreesOperateur e;
    for (int i = 0; i < 5; ++i)
        e.NoterFrappe(Touche::F1);
    EXPECT_EQ(e.PrendreFrappes(Touche::F1), 5);
    EXPECT_EQ(e.PrendreFrappes(Touche::F1), 0);
    EXPECT_EQ(e.PrendreFrappes(Touche::F2), 0);
}

TEST(EntreesOperateur, AnOverrideTapMadeInAFieldIsForgottenWhenTheFieldIsLeft)
{
    EntreesOperateur e;
    e.DefinirFocus(Focus::EditGoX);
    e.NoterFrappe(Touche::F2);
    e.DefinirFocus(Focus::Autre);
    EXPECT_EQ(e.PrendreFrappes(Touche::F2), 0);
    e.NoterFrappe(Touche::F2);
    e.DefinirFocus(Focus::Aucun);
    EXPECT_EQ(e.PrendreFrappes(Touche::F2), 1);
}
