#include "exec/conduite.h"
#include "exec/manuel.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/cn_algos.h"
#include "support/machine.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Manuel : public AvecMachineCablee {
protected:
    void SetUp() override
    {
        AvecMachineCablee::SetUp();
        ValPas[0] = ValPas[1] = ValPas[2] = 0.0025;
        ValIncrement[1] = 1.0;
        CompJeu[0] = CompJeu[1] = CompJeu[2] = false;
        Form1.TrackBarVitAv.DefinirPosition(100);
        BtBrocheClick();
        ASSERT_TRUE(BrocheEnMarche);
    }
    void TearDown() override
    {
        Entrees().DefinirFenetreActive(false);
        AvecMachineCablee::TearDown();
    }
    // The monitor tick with the main window active and no field focused.
    void Tick()
    {
        Entrees().DefinirFenetreActive(true);
        Entrees().DefinirFocus(Focus::Autre);
        Timer1Timer();
    }
    bool BrocheSurLePort() const { return (m->LatchA() & MasqueBroche) != 0; }
};

} // namespace

TEST_F(Manuel, AJogButtonMakesItsIncrementOrOneStepEventAndKeepsTheSpindleRunning)
{
    const struct {
        int axe, sens, increment;
        bool gauche, calage;
        int64_t emis, position;
    } cas[] = {
        { 0, 1, 1, false, false, 400, 400 }, // 1 mm, whatever the button
        { 0, 1, 1, true, false, 400, 400 },
        { 1, -1, 0, false, false, 1, -1 }, // right button, continuous: one step
        { 2, -1, 0, false, true, 1 + 8, -1 + 8 }, // then the take-up upwards
        { 2, -1, 1, false, true, 400 + 8, -400 + 8 },
    };
    for (const auto& c : cas) {
        NPasJ[2] = 8;
        CalageZ = c.calage;
        Form1.CmbIncrement.Selection = c.increment;
        horloge.boutons.clear();
        if (c.gauche)
            horloge.boutons.insert(BoutonSouris::Gauche);
        const int64_t emis = m->PasEmis(c.axe), position = m->Position(c.axe);
        const int32_t pos = PosPas[c.axe];
        JogBouton(c.axe, c.sens);
        EXPECT_EQ(m->PasEmis(c.axe) - emis, c.emis) << c.axe;
        EXPECT_EQ(m->Position(c.axe) - position, c.position) << c.axe;
        EXPECT_EQ(PosPas[c.axe] - pos, c.sens * (c.increment ? 400 : 1));
        EXPECT_TRUE(BrocheSurLePort() && BrocheEnMarche && Form1.LedBroche.Allume);
        EXPECT_TRUE(Form1.Timer1.Actif);
        EXPECT_FALSE(Form1.LedAxeOcc.Allume);
    }
}

TEST_F(Manuel, TheRightArrowHeldJogsXUntilReleasedWithAtMostOneStepAfter)
{
    int lectures = 0;
    int64_t auRelachement = -1;
    horloge.touches.insert(Touche::Droite);
    horloge.surLecture = [&](Touche t) {
        if (t != Touche::Droite)
            return;
        // "Broche" pressed during the jog holds from the next step on.
        if (++lectures == 30)
            BtBrocheClick();
        if (lectures == 60) {
            horloge.touches.erase(t);
            auRelachement = m->PasEmis(0);
        }
    };
    Tick();
    ASSERT_GE(auRelachement, 50);
    EXPECT_LE(m->PasEmis(0) - auRelachement, 1);
    EXPECT_EQ(m->Position(0), PosPas[0]);
    EXPECT_DOUBLE_EQ(VisuePubliee(0), PosMm[0]);
    EXPECT_EQ(vue.focus.back(), "GroupBox3");
    EXPECT_FALSE(BrocheSurLePort());
    EXPECT_TRUE(Form1.Timer1.Actif);
    // Escape held during a jog: one click of "URGENCE", the jog ends.
    horloge.surLecture = nullptr;
    BtBrocheClick();
    horloge.touches = { Touche::Gauche, Touche::Echap };
    const int64_t avant = m->PasEmis(0);
    Tick();
    EXPECT_LE(m->PasEmis(0) - avant, 1);
    EXPECT_EQ(Form1.BoutonArretTag, 1);
    EXPECT_FALSE(BrocheEnMarche || BrocheSurLePort());
}

TEST_F(Manuel, GoXYZAsksForTheOverrideTwiceAndAFieldThatIsNoNumberMovesNothing)
{
    const struct {
        int correction;
        const char* x;
        int64_t pas;
        int64_t periode; // 0: unchanged
        const char* champ;
        const char* message;
    } cas[] = {
        { 10, "10", 4000, TabPeriodes[667], "  10.000", "" }, // 100 mm/min
        { 12, "20", 4000, TabPeriodes[960], "  20.000", "" }, // 144 mm/min
        { 10, " 20.0e0", 0, 0, "  20.000", "" }, // already there
        { 10, "abc", 0, 0, "abc", "Aller à : 'abc' n'est pas une coordonnée X correcte. Aucun déplacement." },
        { 10, "1e300", 0, 0, "1e300",
            "Aller à : '1e300' n'est pas une coordonnée X correcte. Aucun déplacement." },
    };
    for (const auto& c : cas) {
        Form1.TrackBarTAv.DefinirPosition(c.correction);
        PeriodePas = 123;
        Form1.EditGoX.Texte = c.x;
        Form1.EditGoY.Texte = Form1.EditGoZ.Texte = "0";
        const int64_t emis = m->PasEmis(0);
        GoXYZClick();
        EXPECT_EQ(m->PasEmis(0) - emis, c.pas) << c.x;
        EXPECT_EQ(PeriodePas, c.periode ? c.periode : 123) << c.x;
        EXPECT_EQ(Form1.EditGoX.Texte, c.champ);
        EXPECT_EQ(Form1.MesEtat.Texte, c.message);
        EXPECT_TRUE(Form1.XPlus.Actif && Form1.Timer1.Actif && !Form1.LedCycle.Allume);
        EXPECT_FALSE(Form1.BitBtnCycle.Actif); // no program loaded
        EXPECT_TRUE(BrocheSurLePort());
    }
    EXPECT_EQ(m->Position(0), 8000);
}

TEST_F(Manuel, ReturnsToZeroKeepTheSpindleAndAStopSaysSo)
{
    Form1.CmbIncrement.Selection = 1;
    for (int axe : { 0, 1, 2 })
        JogBouton(axe, 1);
    XY_ZeroClick();
    EXPECT_EQ(m->Position(0), 0);
    EXPECT_EQ(m->Position(1), 0);
    EXPECT_EQ(m->Position(2), 400);
    EXPECT_TRUE(BrocheSurLePort());
    EXPECT_EQ(Form1.MesEtat.Texte, "");
    m->DefinirArretUrgence(true);
    Z_ZeroClick();
    EXPECT_EQ(m->Position(2), 400);
    EXPECT_EQ(Form1.MesEtat.Texte, TexteArretDeclenche);
    EXPECT_TRUE(Form1.Z_Zero.Actif && !Form1.LedCycle.Allume);
}

TEST_F(Manuel, APresetChangesTheCoordinateOnlyAndABadOneChangesNothing)
{
    StaticTextXClick();
    EXPECT_FALSE(Form1.StaticTextX.Visible);
    EXPECT_TRUE(Form1.EditX.Visible);
    EXPECT_EQ(Form1.EditX.Texte, "   0.000");
    EXPECT_EQ(vue.focus.back(), "EditX");
    Form1.EditX.Texte = "12.5";
    EditKeyPress(0, 13);
    Form1.EditX.Texte = "99"; // the focus leaving after Enter presets no more
    PresetX();
    EXPECT_EQ(Form1.StaticTextX.Texte, "  12.500");
    EXPECT_EQ(PosPas[0], 5000);
    EXPECT_EQ(m->PasEmis(0), 0);
    EXPECT_TRUE(Form1.StaticTextX.Visible && !Form1.EditX.Visible);

    StaticTextYClick();
    Form1.EditY.Texte = "douze";
    PresetY();
    EXPECT_EQ(PosPas[1], 0);
    EXPECT_EQ(Form1.MesEtat.Texte, "Origine Y inchangée : 'douze' n'est pas une coordonnée Y correcte.");
    ResetX();
    EXPECT_EQ(PosPas[0], 0);
    EXPECT_DOUBLE_EQ(VisuePubliee(0), 0);
}

TEST_F(Manuel, TheSpindleButtonUnderAnEmergencyStopAlwaysLeavesItOff)
{
    for (bool marche : { true, false }) {
        if (BrocheEnMarche != marche)
            BtBrocheClick();
        ArretUrgence = true;
        BtBrocheClick();
        EXPECT_FALSE(BrocheEnMarche || BrocheSurLePort() || (OctetSortie & MasqueBroche)) << marche;
        ArretUrgence = false;
    }
}

TEST_F(Manuel, ATypedFeedIsTakenClampedOrRefusedWithTheFeedInForceShown)
{
    const int max = Form1.TrackBarVitAv.Max;
    const struct {
        const char* texte;
        int avance; // -1: the slider's maximum
        size_t messages;
    } cas[] = {
        { "150", 150, 0 },
        { "5000", -1, 0 },
        { "5000", -1, 0 }, // clamped to where it already is
        { "12,5", -1, 1 },
        { "", -1, 2 }, // an empty field is no feed of 0
        { "   ", -1, 3 },
    };
    const size_t avant = vue.messages.size();
    for (const auto& c : cas) {
        Form1.EditVitAv.Texte = c.texte;
        EditVitAvKeyPress(13);
        const int avance = c.avance < 0 ? max : c.avance;
        EXPECT_EQ(Form1.EditVitAv.Texte, FormatEntier(avance, 4)) << c.texte;
        EXPECT_DOUBLE_EQ(AvanceCourante, avance) << c.texte;
        EXPECT_EQ(vue.messages.size() - avant, c.messages);
    }
    EXPECT_EQ(vue.messages[avant], "'12,5' n'est pas une valeur entière correcte");
    EXPECT_EQ(vue.messages[avant + 1], "'' n'est pas une valeur entière correcte");
    Form1.TrackBarTAv.DefinirPosition(5);
    EXPECT_DOUBLE_EQ(AvanceCourante, max / 2.0);
}

TEST_F(Manuel, EachTapOfF1OrF2IsOneNotchAndAKeyHeldOneATick)
{
    horloge.frappes[Touche::F1] = 3; // three short taps between two ticks
    Tick();
    EXPECT_EQ(Form1.TrackBarTAv.Position, 7);
    horloge.touches = { Touche::F2 };
    Tick();
    Tick();
    EXPECT_EQ(Form1.TrackBarTAv.Position, 9);
    horloge.touches.clear();
    horloge.frappes[Touche::F2] = 5;
    Tick();
    EXPECT_EQ(Form1.TrackBarTAv.Position, 12);
    EXPECT_EQ(Form1.LabelTAv.Texte, "120%");
    // Typed in a field, a tap is no notch, then or later.
    Entrees().DefinirFocus(Focus::EditGoX);
    horloge.frappes[Touche::F1] = 1;
    Timer1Timer();
    Tick();
    EXPECT_EQ(Form1.TrackBarTAv.Position, 12);
}
