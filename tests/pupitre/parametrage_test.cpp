#include "pupitre/parametrage.h"

#include "exec/origine.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "pupitre/page_entrees_sorties.h"
#include "support/support.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Parametrage : public AvecConfiguration {
protected:
    std::string Param() const { return Fichier("CncParam.Ini"); }
    void Demarrer(const std::string& ini = "")
    {
        if (!ini.empty())
            EcrireTout(Param(), ini);
        FormCreate();
        CreerFenetresSecondaires();
        FormActivate();
    }
    static std::string& Champ(int champ) { return Form3.Champs[champ].Texte; }
    static void Taper(int champ, const std::string& texte) { EditChange(champ, texte); }
    double LuDuFichier(const char* section, const std::string& cle)
    {
        FichierIni lu;
        lu.Ouvrir(Param());
        return lu.LireReel(section, cle, -1);
    }
    bool BoutonsActifs() const { return PageES.BitBtnRestore.Actif && PageES.BitBtnAppli.Actif; }
};

} // namespace

TEST_F(Parametrage, StepsPerMmAndBacklashReachTheGlobalsAndTheFileOnApply)
{
    Demarrer();
    Jeux1Click();
    Taper(ChampPas, "200");
    Taper(ChampJeu, "0.05");
    BitBtnAppliClick();
    EXPECT_DOUBLE_EQ(ValPas[0], 0.005);
    EXPECT_EQ(NPasJ[0], 10);
    EXPECT_EQ(Form3.LabelJeu[0].Texte, "10");
    EXPECT_NE(LireTout(Param()).find("ValPas(0)=0.005\r\n"), std::string::npos);
    EXPECT_EQ(LuDuFichier("AXES", "NPasJ(0)"), 10);
    EXPECT_FALSE(BoutonsActifs());
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(Parametrage, MmPerMinuteFieldSetsAvMaxAndTheStepsPerSecondField)
{
    Demarrer("[AXES]\r\nValPas(0)=0.0025\r\nAvMax(0)=500\r\n");
    Vitesses1Click();
    for (const char* texte : { "150", "150,0", "150.0" }) {
        AvMax[0] = 500;
        Taper(ChampM, texte);
        EditAvMExit(4);
        EXPECT_EQ(AvMax[0], 1000) << texte;
        EXPECT_EQ(Champ(ChampAvM), "1000") << texte;
    }
}

TEST_F(Parametrage, StepsPerSecondFieldSetsAvMaxAndTheMmPerMinuteField)
{
    Demarrer("[AXES]\r\nValPas(1)=0.0025\r\n");
    Taper(ChampAvM + 1, "2000");
    EditAvMKeyPress(2);
    EXPECT_EQ(AvMax[1], 2000);
    EXPECT_EQ(Champ(ChampM + 1), "300");
}

TEST_F(Parametrage, SpeedFieldsThatAreNotNumbersKeepAvMaxAndSaySo)
{
    Demarrer();
    struct Cas {
        int tag;
        const char* texte;
        const char* message;
    } cas[] = {
        { 1, "12a", "'12a' n'est pas une valeur entière correcte" },
        { 1, "1.5", "'1.5' n'est pas une valeur entière correcte" },
        { 4, "abc", "'abc' n'est pas une valeur en virgule flottante correcte" },
        { 4, "", "'' n'est pas une valeur en virgule flottante correcte" },
        { 1, "0", "Avance maxi en pas/seconde pour X : '0' n'est pas une valeur correcte (de 1 à 20000)." },
        { 1, "99999",
            "Avance maxi en pas/seconde pour X : '99999' n'est pas une valeur correcte (de 1 à 20000)." },
    };
    for (const Cas& c : cas) {
        vue.messages.clear();
        AvMax[0] = 700;
        Taper(c.tag == 1 ? ChampAvM : ChampM, c.texte);
        EditAvMExit(c.tag);
        EXPECT_EQ(AvMax[0], 700) << c.texte;
        ASSERT_EQ(vue.messages.size(), 1u) << c.texte;
        EXPECT_EQ(vue.messages[0], c.message);
    }
}

TEST_F(Parametrage, AnUnknownTagSaysSo)
{
    Demarrer();
    EditAvMExit(7);
    ASSERT_EQ(vue.messages.size(), 1u);
    EXPECT_EQ(vue.messages[0], TexteErreurTag);
}

TEST_F(Parametrage, CancelTakesBackSimulationAndLeavesStepsPerMmUnapplied)
{
    Demarrer("[AXES]\r\nValPas(0)=0.0025\r\n[BOOLEAN]\r\nSimulation=0\r\n");
    Vitesses1Click();
    CheckBoxMachClick(true);
    EXPECT_TRUE(Simulation);
    Taper(ChampPas, "200");
    BitBtnAnnulerClick();
    EXPECT_FALSE(Simulation);
    EXPECT_DOUBLE_EQ(ValPas[0], 0.0025);
    EXPECT_FALSE(Form3.Visible);
    EXPECT_TRUE(Form1.Actif);
}

TEST_F(Parametrage, RapidSliderShowsItsPercentAndSavesTheFraction)
{
    Demarrer();
    Form3.TrackBarRap.DefinirPosition(80);
    Form3.TrackBarRap.DefinirPosition(79);
    Form3.TrackBarRap.DefinirPosition(80);
    EXPECT_EQ(Form3.LabelRap.Texte, "80 %");
    BitBtnAppliClick();
    EXPECT_DOUBLE_EQ(AvRap, 0.8);
    EXPECT_DOUBLE_EQ(LuDuFichier("AXES", "AvRap"), 0.8);
}

TEST_F(Parametrage, WithoutALarCreneauKeyThePulseFieldShowsTen)
{
    Demarrer("[AXES]\r\nAvMax(0)=800\r\n");
    Jeux1Click();
    EXPECT_EQ(Champ(ChampCreneau), "10");
    EXPECT_EQ(LarCreneau, 10);
}

TEST_F(Parametrage, ChangingThePulseRecomputesItsLoopCount)
{
    Demarrer();
    DureeBoucle = 0.5; // microseconds per loop
    Taper(ChampCreneau, "40");
    BitBtnAppliClick();
    EXPECT_EQ(LarCreneau, 40);
    EXPECT_EQ(BouclesCreneau, 80);
    EXPECT_EQ(LuDuFichier("AXES", "LarCreneau"), 40);
}

TEST_F(Parametrage, FieldsShowTheGlobalsInTheirFormats)
{
    Demarrer("[AXES]\r\nValPas(2)=0.0025\r\nNPasJ(2)=40\r\nCreteCir=0.002\r\nAvMax(2)=1000\r\n");
    Jeux1Click();
    EXPECT_EQ(Champ(ChampPas + 2), "400.0000");
    EXPECT_EQ(Champ(ChampJeu + 2), "  0.1000");
    EXPECT_EQ(Form3.LabelJeu[2].Texte, "40");
    EXPECT_EQ(Champ(ChampCrete), " 0.00200");
    EXPECT_EQ(Champ(ChampM + 2), "150");
    EXPECT_EQ(Form3.ActivePage, OngletAxes);
    ASSERT_FALSE(vue.focus.empty());
    EXPECT_EQ(vue.focus.back(), "Edit1");
}

TEST_F(Parametrage, EachMenuEntryShowsItsPageWithItsFocus)
{
    Demarrer();
    Vitesses1Click();
    EXPECT_TRUE(Form3.Visible);
    EXPECT_EQ(Form3.ActivePage, OngletVitesses);
    EXPECT_EQ(vue.focus.back(), "EditAvMX");
    const size_t focus = vue.focus.size();
    EntresSorties1Click();
    EXPECT_EQ(Form3.ActivePage, OngletEntreesSorties);
    EXPECT_EQ(vue.focus.size(), focus);
}

TEST_F(Parametrage, LeavingABacklashFieldPreviewsItsStepsWithoutChangingNPasJ)
{
    Demarrer("[AXES]\r\nValPas(1)=0.01\r\n");
    Taper(ChampJeu + 1, "0.25");
    EditJeuExit(1);
    EXPECT_EQ(Form3.LabelJeu[1].Texte, "25");
    EXPECT_EQ(NPasJ[1], 0);
}

TEST_F(Parametrage, TheBacklashStepsFollowTheStepsPerMmBeingTyped)
{
    Demarrer("[AXES]\r\nValPas(0)=0.0025\r\n");
    Jeux1Click();
    Taper(ChampJeu, "0.05");
    EditJeuExit(0);
    EXPECT_EQ(Form3.LabelJeu[0].Texte, "20");
    Taper(ChampPas, "200");
    EXPECT_EQ(Form3.LabelJeu[0].Texte, "10");
    Taper(ChampPas, ""); // half typed: the label stays
    EXPECT_EQ(Form3.LabelJeu[0].Texte, "10");
    Taper(ChampPas, "800");
    EditJeuExit(0);
    EXPECT_EQ(Form3.LabelJeu[0].Texte, "40");
    EXPECT_DOUBLE_EQ(ValPas[0], 0.0025);
    EXPECT_EQ(NPasJ[0], 0);
}

TEST_F(Parametrage, TheRangeAMessageGivesIsWrittenWithTheFieldsDecimals)
{
    Demarrer();
    Jeux1Click();
    Taper(ChampPas, "400.5");
    Taper(ChampJeu, "30");
    BitBtnAppliClick();
    ASSERT_FALSE(vue.messages.empty());
    EXPECT_EQ(vue.messages.back(), "Jeu en X (mm) : '30' n'est pas une valeur correcte (de 0 à 24.9687).");
    Taper(ChampM, "0.1");
    EditAvMExit(4);
    EXPECT_EQ(vue.messages.back(),
        "Avance maxi en mm/mn pour X : '0.1' n'est pas une valeur correcte (de 1 à 3000).");
}

TEST_F(Parametrage, BadFieldsAreRefusedByNameAndNothingIsSaved)
{
    Demarrer();
    Jeux1Click();
    const std::string avant = LireTout(Param());
    struct Cas {
        int champ;
        const char* texte;
        const char* message;
    } cas[] = {
        { ChampPas, "0", "Pas par mm en X : '0' n'est pas une valeur correcte (de 1 à 100000)." },
        { ChampPas + 1, "-200", "Pas par mm en Y : '-200' n'est pas une valeur correcte (de 1 à 100000)." },
        { ChampPas + 2, "quatre",
            "Pas par mm en Z : 'quatre' n'est pas une valeur correcte (de 1 à 100000)." },
        { ChampPas, "1e400", "Pas par mm en X : '1e400' n'est pas une valeur correcte (de 1 à 100000)." },
        { ChampJeu, "x", "Jeu en X (mm) : 'x' n'est pas une valeur correcte (de 0 à 25)." },
        { ChampJeu + 2, "-0.1", "Jeu en Z (mm) : '-0.1' n'est pas une valeur correcte (de 0 à 25)." },
        { ChampCrete, "",
            "Crète maxi des facettes (mm) : '' n'est pas une valeur correcte (de 0.0001 à 1)." },
        { ChampCreneau, "nan",
            "Augmentation de la durée d'impulsion (µs) : 'nan' n'est pas une valeur correcte (de 0 à "
            "10000)." },
    };
    for (const Cas& c : cas) {
        Form3.FormActivate();
        vue.messages.clear();
        CheckBoxMachClick(!Simulation);
        Taper(c.champ, c.texte);
        BitBtnOKClick();
        ASSERT_EQ(vue.messages.size(), 1u) << c.texte;
        EXPECT_EQ(vue.messages[0], c.message);
        EXPECT_TRUE(Form3.Visible) << c.texte;
        EXPECT_TRUE(BoutonsActifs()) << c.texte;
        EXPECT_DOUBLE_EQ(ValPas[0], 0.0025);
        EXPECT_TRUE(std::isfinite(CreteCir));
        EXPECT_EQ(LireTout(Param()), avant) << c.texte;
    }
}

TEST_F(Parametrage, ANegativeFacetIsSavedAsItsAbsoluteValue)
{
    Demarrer();
    Taper(ChampCrete, "-0.01");
    BitBtnAppliClick();
    EXPECT_DOUBLE_EQ(CreteCir, 0.01);
}

TEST_F(Parametrage, TickBoxesActAtOnceAndAreTakenBackByRestore)
{
    Demarrer();
    for (int tag = 0; tag < 4; ++tag)
        CheckBoxJeuClick(tag, false);
    CheckBoxAffRapClick(false);
    EXPECT_FALSE(CompJeu[0] || CompJeu[1] || CompJeu[2] || CalageZ || AffRapide);
    EXPECT_TRUE(BoutonsActifs());
    BitBtnRestoreClick();
    EXPECT_TRUE(CompJeu[0] && CompJeu[1] && CompJeu[2] && CalageZ && AffRapide);
    EXPECT_TRUE(Form3.CheckBoxJeu[3].Cochee);
    EXPECT_FALSE(BoutonsActifs());
}

TEST_F(Parametrage, ValidateSavesHidesAndAllowsTheTitleBarClose)
{
    Demarrer();
    Jeux1Click();
    Form3.FormCloseQuery();
    EXPECT_TRUE(Form3.Visible);
    Form1.Actif = false;
    CheckBoxJeuClick(1, false);
    BitBtnOKClick();
    EXPECT_FALSE(Form3.Visible);
    EXPECT_TRUE(Form3.DialogueFermable);
    EXPECT_TRUE(Form1.Actif);
    EXPECT_EQ(LuDuFichier("BOOLEAN", "CompJeu(1)"), 0);
}

TEST_F(Parametrage, APortReassignmentAppliedReachesTheMasks)
{
    Demarrer();
    EntresSorties1Click();
    CBOutChange(0, 3); // X step on D2
    CBOutChange(6, 8); // spindle on D7
    CBPortChange(2);
    BitBtnAppliClick();
    EXPECT_EQ(MasquePas[0], 0x04);
    EXPECT_EQ(MasqueBroche, 0x80);
    LireParamEntreeSortie();
    EXPECT_EQ(PortLPT, 2);
    EXPECT_EQ(CBOutItem[0], 3);
    EXPECT_EQ(MasqueBroche, 0x80);
}

TEST_F(Parametrage, ABadFieldKeepsThePortPageUnsavedToo)
{
    Demarrer();
    CBPortChange(1);
    Taper(ChampPas, "0");
    BitBtnAppliClick();
    LireParamEntreeSortie();
    EXPECT_EQ(PortLPT, 0);
}

TEST_F(Parametrage, TheReferenceAndProbeSettingsAreShownCheckedAndWrittenOnlyOnApply)
{
    Demarrer("[AXES]\r\nSensRecherche(0)=1\r\nOrdreRecherche=xz\r\nVitessePalpage=0\r\n");
    OriginePalpeur1Click();
    EXPECT_EQ(Form3.ActivePage, OngletOrigine);
    EXPECT_EQ(Champ(ChampSensRech), "1");
    EXPECT_EQ(Champ(ChampSensRech + 2), "1"); // Z's switch at the top by default
    EXPECT_EQ(Champ(ChampOrdre), "XZ");
    EXPECT_EQ(Champ(ChampVitPalp), "20"); // 0 is out of range: the default
    // Nothing of it is written at the close.
    FormClose();
    EXPECT_EQ(LireTout(Param()).find("VitesseRecherche"), std::string::npos);

    const struct {
        int champ;
        const char* texte;
        const char* message;
    } refus[] = {
        { ChampSensRech + 1, "0",
            "Côté de la butée Y : '0' n'est pas une valeur correcte (-1 : butée côté moins, 1 "
            ": côté plus)." },
        { ChampOrdre, "ZXX",
            "Ordre de prise d'origine : 'ZXX' n'est pas une valeur correcte (les lettres X, Y, Z, "
            "chacune une fois au plus, par exemple ZXY)." },
        { ChampVitRech + 2, "20000",
            "Vitesse de recherche en Z (mm/mn) : '20000' n'est pas une valeur correcte (de 1 à 10000)." },
        { ChampCale, "-1", "Epaisseur de la cale (mm) : '-1' n'est pas une valeur correcte (de 0 à 1000)." },
    };
    for (const auto& r : refus) {
        const std::string avant = Champ(r.champ);
        Taper(r.champ, r.texte);
        vue.messages.clear();
        BitBtnAppliClick();
        ASSERT_EQ(vue.messages.size(), 1u) << r.texte;
        EXPECT_EQ(vue.messages[0], r.message);
        EXPECT_EQ(LireTout(Param()).find("VitesseRecherche"), std::string::npos) << r.texte;
        Taper(r.champ, avant);
    }
    Taper(ChampOrdre, "y x");
    Taper(ChampOrigine, "-12.5");
    Taper(ChampCale, "10");
    vue.messages.clear();
    BitBtnAppliClick();
    EXPECT_TRUE(vue.messages.empty());
    EXPECT_EQ(OrdreRecherche, "YX");
    EXPECT_DOUBLE_EQ(OrigineMachine[0], -12.5);
    EXPECT_DOUBLE_EQ(EpaisseurCale, 10);
    EXPECT_EQ(LuDuFichier("AXES", "OrigineMachine(0)"), -12.5);
    EXPECT_EQ(LuDuFichier("AXES", "SensRecherche(0)"), 1);
    EXPECT_NE(LireTout(Param()).find("OrdreRecherche=YX\r\n"), std::string::npos);
}

TEST_F(Parametrage, TheUsualWiringButtonFillsThePageAndApplyingGivesTheMasksOfTheReadmeTable)
{
    Demarrer();
    EntresSorties1Click();
    CBOutChange(6, 8); // the spindle on D7, taken back by the button
    BitBtnCablageUsuelClick();
    EXPECT_TRUE(BoutonsActifs());
    for (int slot = 0; slot < NbSorties; ++slot) {
        const LigneSignal& l = PageES.Sortie(slot);
        EXPECT_EQ(l.CB.Selection, slot < 7 ? slot + 1 : 0) << slot;
        EXPECT_EQ(l.Active.Cochee, slot < 7) << slot;
        EXPECT_FALSE(l.Inverse.Cochee) << slot;
    }
    EXPECT_EQ(PageES.Entree(EntreeArret).CB.Selection, 4);
    // Nothing is written until "Appliquer".
    FichierIni lu;
    lu.Ouvrir(Param());
    EXPECT_EQ(lu.LireEntier("SORTIES", "CBOutItem(0)", -1), -1);
    BitBtnAppliClick();
    lu.Ouvrir(Param());
    EXPECT_EQ(lu.LireEntier("SORTIES", "OutEnable", 0), 127);
    EXPECT_EQ(lu.LireEntier("ENTREES", "InEnable", 0), 120);
    EXPECT_EQ(lu.LireEntier("SORTIES", "CBOutItem(6)", 0), 7);
    LireParamEntreeSortie();
    const uint8_t pas[3] = { 0x01, 0x04, 0x10 }, pasDir[3] = { 0x03, 0x0C, 0x30 },
                  butee[3] = { 0x08, 0x10, 0x20 };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(MasquePas[i], pas[i]);
        EXPECT_EQ(MasquePasDir[i], pasDir[i]);
        EXPECT_EQ(MasqueButee[i], butee[i]);
    }
    EXPECT_EQ(MasqueBroche, 0x40);
    EXPECT_EQ(MasqueHorsPas, 0xEA);
    EXPECT_EQ(MasqueButees, 0x38);
    EXPECT_EQ(MasqueArret, 0x40);
    EXPECT_EQ(InInvert | OutInvert, 0);
}

TEST_F(Parametrage, TheCalculatorGivesStepsPerMmFromTheMotorAndTheScrewOrTheBelt)
{
    const struct {
        double pasParTour, microPas, mmParTour, attendu;
    } cas[] = {
        { 200, 8, 5, 320 }, // a screw of 5 mm
        { 200, 16, 20 * 2, 80 }, // a pulley of 20 teeth on a 2 mm belt
        { 400, 1, 1.25, 320 },
        { 200, 8, 0, 0 },
        { 0, 8, 5, 0 },
        { 200, -4, 5, 0 },
        { 200, 8, NAN, 0 },
    };
    for (const auto& c : cas)
        EXPECT_DOUBLE_EQ(PasParMm(c.pasParTour, c.microPas, c.mmParTour), c.attendu) << c.mmParTour;
}

TEST_F(Parametrage, TheCalculatorsResultGoesIntoTheAxisFieldAndIsAppliedLikeATypedValue)
{
    Demarrer();
    Jeux1Click();
    CalculPasParMmClick(1, PasParMm(200, 8, 5));
    EXPECT_EQ(Champ(ChampPas + 1), "320.0000");
    EXPECT_TRUE(BoutonsActifs());
    EXPECT_DOUBLE_EQ(ValPas[1], 0.0025);
    CalculPasParMmClick(2, 0);
    CalculPasParMmClick(3, 100);
    EXPECT_EQ(Champ(ChampPas + 2), "400.0000");
    BitBtnAppliClick();
    EXPECT_DOUBLE_EQ(ValPas[1], 1.0 / 320);
    EXPECT_DOUBLE_EQ(LuDuFichier("AXES", "ValPas(1)"), 1.0 / 320);
}

TEST_F(Parametrage, TheRampsAreShownRefusedOutOfRangeAndOnlyASaveWritesThemAndRaisesTheRapid)
{
    // A file that never had ramps gets no key from a save while they are off.
    Demarrer("[AXES]\r\nAvMax(0)=900\r\n");
    Vitesses1Click();
    Taper(ChampAvM, "800");
    BitBtnAppliClick();
    EXPECT_EQ(LireTout(Fichier("CncParam.Ini")).find("Rampe"), std::string::npos);
    EXPECT_EQ(LireTout(Fichier("CncParam.Ini")).find("Acceleration"), std::string::npos);
    Demarrer("[AXES]\r\nAcceleration(0)=8000\r\nVitesseRampe(0)=4000\r\nAcceleration(1)=5000\r\n");
    Vitesses1Click();
    EXPECT_EQ(Champ(ChampVitRampe), "4000");
    EXPECT_EQ(Champ(ChampAcceleration + 1), "5000");
    EXPECT_EQ(Form3.LabelRampe[0].Texte, "rampe : freinage 2,34 mm"); // 937.5 steps at 400 per mm
    EXPECT_EQ(Form3.LabelRampe[1].Texte, "sans rampe");
    const std::string avant = LireTout(Param());
    const struct {
        int champ;
        const char* texte;
        const char* message;
    } refus[] = {
        { ChampAcceleration + 1, "-1",
            "Accélération en pas/s² pour Y : '-1' n'est pas une valeur correcte (de 0 à 10000000)." },
        { ChampVitRampe + 2, "20001",
            "Vitesse avec rampe en pas/seconde pour Z : '20001' n'est pas une valeur correcte (de 0 à "
            "20000)." },
    };
    for (const auto& r : refus) {
        Taper(r.champ, r.texte);
        vue.messages.clear();
        BitBtnAppliClick();
        ASSERT_EQ(vue.messages.size(), 1u) << r.texte;
        EXPECT_EQ(vue.messages[0], r.message);
        EXPECT_EQ(LireTout(Param()), avant) << r.texte;
        Taper(r.champ, "0");
    }
    EXPECT_DOUBLE_EQ(AvanceMax, AvanceMaxiVectorielle(4000, 1000, 1000));
    Taper(ChampAcceleration + 1, "5000");
    Taper(ChampVitRampe + 1, "3000");
    Taper(ChampAcceleration + 2, "1000");
    Taper(ChampVitRampe + 2, "500"); // not above AvMax: saved, without ramps
    BitBtnAppliClick();
    EXPECT_EQ(LuDuFichier("AXES", "VitesseRampe(1)"), 3000);
    EXPECT_EQ(LuDuFichier("AXES", "VitesseRampe(2)"), 500);
    EXPECT_EQ(Form3.LabelRampe[1].Texte, "rampe : freinage 2,00 mm");
    EXPECT_EQ(Form3.LabelRampe[2].Texte, "sans rampe");
    EXPECT_DOUBLE_EQ(AvanceMax, AvanceMaxiVectorielle(4000, 3000, 1000));
    EXPECT_EQ(Form1.LabelAvMax.Texte, std::to_string(Arrondi(AvanceMax)));
    // AvMax above VitesseRampe turns the axis's ramps off at once.
    Taper(ChampAvM, "5000");
    EditAvMExit(1);
    EXPECT_EQ(Form3.LabelRampe[0].Texte, "sans rampe");
}
