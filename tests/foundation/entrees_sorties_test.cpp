#include "foundation/entrees_sorties.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/texte.h"
#include "machine/choix_port.h"
#include "pupitre/demarrage.h"
#include "pupitre/page_entrees_sorties.h"
#include "pupitre/parametrage.h"
#include "support/support.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// X step D0, X direction D1, Y step D2, Y direction D3, Z step D4,
// Z direction D5, spindle D6; X, Y, Z limits on Error, Select, Paper Out,
// emergency stop on ACK.
const std::string CablageStandard = "[ENTREES]\r\nCBInItem(0)=1\r\nCBInItem(1)=2\r\nCBInItem(2)=3\r\n"
                                    "CBInItem(3)=4\r\n[SORTIES]\r\nCBOutItem(0)=1\r\nCBOutItem(1)=2\r\n"
                                    "CBOutItem(2)=3\r\nCBOutItem(3)=4\r\nCBOutItem(4)=5\r\nCBOutItem(5)=6\r\n"
                                    "CBOutItem(6)=7\r\n";

class EntreesSorties : public AvecConfiguration {
protected:
    void Ini(const std::string& contenu) { EcrireTout(Fichier("CncParam.Ini"), contenu); }
    // The whole start-up: main window, the windows after it, first activation.
    void Demarrer()
    {
        FormCreate();
        CreerFenetresSecondaires();
        FormActivate();
    }
    std::vector<std::string> Historique() const { return DecouperLignes(LireTout(Fichier("Virmak.His"))); }
    int Occurrences(const std::string& texte) const
    {
        const auto lignes = Historique();
        return static_cast<int>(std::count_if(lignes.begin(), lignes.end(),
            [&](const std::string& l) { return l.find(texte) != std::string::npos; }));
    }
    // Lines of one section of the written file, in file order.
    std::vector<std::string> Section(const std::string& nom) const
    {
        std::vector<std::string> lignes;
        bool dedans = false;
        for (const std::string& l : DecouperLignes(LireTout(Fichier("CncParam.Ini")))) {
            if (!l.empty() && l[0] == '[')
                dedans = l == "[" + nom + "]";
            else if (dedans && !l.empty())
                lignes.push_back(l);
        }
        return lignes;
    }
};

void AttendreMasques(const uint8_t (&pas)[3], const uint8_t (&pasDir)[3], uint8_t broche, uint8_t horsPas)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(MasquePas[i], pas[i]) << "axe " << i;
        EXPECT_EQ(MasquePasDir[i], pasDir[i]) << "axe " << i;
    }
    EXPECT_EQ(MasqueBroche, broche);
    EXPECT_EQ(MasqueHorsPas, horsPas);
}

} // namespace

TEST_F(EntreesSorties, StandardWiringGivesTheStepDirectionSpindleAndInputMasks)
{
    Ini(CablageStandard);
    Demarrer();
    AttendreMasques({ 0x01, 0x04, 0x10 }, { 0x03, 0x0C, 0x30 }, 0x40, 0xEA);
    EXPECT_EQ(MasqueArret, 0x40);
    EXPECT_EQ(MasqueButee[0], 0x08);
    EXPECT_EQ(MasqueButee[1], 0x10);
    EXPECT_EQ(MasqueButee[2], 0x20);
    EXPECT_EQ(MasqueButees, 0x38);
    EXPECT_EQ(InUtil, 0x78);
    EXPECT_EQ(OutUtil, 0x7F);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(EntreesSorties, WithoutSectionsThePortIsOffAndNoInputCanReadActive)
{
    ChargerConfiguration();
    // The start-up defaults stand until the assignment is first read.
    AttendreMasques({ 0x01, 0x04, 0x10 }, { 0x03, 0x0C, 0x30 }, 0x40, 0xEA);
    Demarrer();
    EXPECT_EQ(PortLPT, 0);
    EXPECT_EQ(AdrDLPT, 888);
    EXPECT_EQ(AdrELPT, 889);
    EXPECT_EQ(AdrCLPT, 890);
    AttendreMasques({ 0, 0, 0 }, { 0, 0, 0 }, 0, 0xFF);
    // Status bit 2 carries no pin and reads 0: these masks can never match.
    EXPECT_EQ(MasqueArret, 0x04);
    EXPECT_EQ(MasqueButees, 0x04);
    for (uint8_t m : MasqueButee)
        EXPECT_EQ(m, 0x04);
    EXPECT_EQ(InUtil | InInvert | InEnable | OutUtil | OutInvert | OutEnable, 0);
}

TEST_F(EntreesSorties, TheMainWindowRereadsTheAssignmentAtEveryActivation)
{
    Demarrer();
    Ini(CablageStandard);
    EXPECT_EQ(MasqueArret, 0x04);
    FormActivate();
    EXPECT_EQ(MasqueArret, 0x40);
    EXPECT_EQ(MasquePasDir[2], 0x30);
}

TEST_F(EntreesSorties, OnTheVirtualMachineAnAssignmentWithoutOutputsTakesTheUsualWiring)
{
    const struct {
        const char* nom;
        bool virtuelle;
        std::string ini;
        bool pris;
        uint8_t arret, butees, outEnable, inInvert;
    } cas[] = {
        { "neuve", true, "", true, 0x40, 0x38, 0x7F, 0 },
        // Its own inputs stay: an emergency stop wired inverted on Busy.
        { "entrées seules", true, "[ENTREES]\r\nCBInItem(3)=5\r\nInEnable=128\r\nInInvert=128\r\n", true,
            0x80, 0x04, 0x7F, 0x80 },
        { "une sortie", true, "[SORTIES]\r\nCBOutItem(6)=8\r\nOutEnable=128\r\n", false, 0x04, 0x04, 0x80,
            0 },
        { "port réel", false, "", false, 0x04, 0x04, 0, 0 },
    };
    for (const auto& c : cas) {
        Ini(c.ini);
        MachineVirtuelleDemandee = c.virtuelle;
        Demarrer();
        EXPECT_EQ(CablageUsuelPris, c.pris) << c.nom;
        EXPECT_EQ(Form1.MesEtat.Texte, c.pris ? TexteCablageUsuel : "") << c.nom;
        if (c.pris)
            AttendreMasques({ 0x01, 0x04, 0x10 }, { 0x03, 0x0C, 0x30 }, 0x40, 0xEA);
        EXPECT_EQ(MasqueArret, c.arret) << c.nom;
        EXPECT_EQ(MasqueButees, c.butees) << c.nom;
        EXPECT_EQ(OutEnable, c.outEnable) << c.nom;
        EXPECT_EQ(InInvert, c.inInvert) << c.nom;
        EXPECT_EQ(OutInvert, 0) << c.nom;
        // The pin choices keep what the file says.
        EXPECT_EQ(CBOutItem[0], 0) << c.nom;
        EXPECT_EQ(OutUtil, c.outEnable == 0x80 ? 0x80 : 0) << c.nom;
    }
}

TEST_F(EntreesSorties, TheUsualWiringInMemoryIsNeverWrittenAndTheDialogShowsTheFile)
{
    MachineVirtuelleDemandee = true;
    Demarrer();
    ASSERT_TRUE(CablageUsuelPris);
    // The dialog shows the file: no pin, nothing ticked.
    EntresSorties1Click();
    for (const LigneSignal& l : PageES.Sorties)
        EXPECT_TRUE(l.CB.Selection == 0 && !l.Active.Cochee) << l.Libelle;
    for (const LigneSignal& l : PageES.Entrees)
        EXPECT_TRUE(l.CB.Selection == 0 && !l.Active.Cochee) << l.Libelle;
    // Applying another page writes the file's assignment, and the machine
    // keeps the usual one.
    EditChange(ChampCrete, "0.01");
    BitBtnAppliClick();
    EXPECT_EQ(MasquePasDir[1], 0x0C);
    BitBtnOKClick();
    FormActivate();
    FormClose();
    for (const char* section : { "SORTIES", "ENTREES" })
        for (const std::string& l : Section(section))
            EXPECT_TRUE(l.ends_with("=0")) << l;
    EXPECT_EQ(MasquePas[2], 0x10);
}

TEST_F(EntreesSorties, ThePageListsItsRowsAndEntriesAsDesigned)
{
    Demarrer();
    const char* ordre[] = { "Arrêt d'urgence", "Butée X", "Butée Y", "Butée Z", "Palpeur outil" };
    const int tags[] = { 3, 0, 1, 2, 4 };
    for (int i = 0; i < NbEntrees; ++i) {
        EXPECT_EQ(PageES.Entrees[i].Libelle, ordre[i]);
        EXPECT_EQ(PageES.Entrees[i].Tag, tags[i]);
    }
    EXPECT_EQ(PageES.Entrees[0].CB.Lignes,
        (std::vector<std::string> {
            "Non utilisé", "b15 = Error", "b13 = Select", "b12 = Paper Out", "b10 = ACK", "b11 = Busy" }));
    EXPECT_EQ(PageES.Sorties[6].Libelle, "Broche");
    EXPECT_EQ(PageES.Sorties[0].CB.Lignes.front(), "Non utilisée");
    EXPECT_EQ(PageES.Sorties[0].CB.Lignes[1], "b2 = D0");
    EXPECT_EQ(PageES.Sorties[0].CB.Lignes.back(), "b9 = D7");
    EXPECT_EQ(PageES.CBPort.Lignes,
        (std::vector<std::string> {
            "Port DESACTIVE", "LPT1  378h-37Fh", "LPT2  278h-27Fh", "LPT3  3BCh-3BFh", "Autre à définir" }));
    EXPECT_TRUE(PageES.Entree(4).CB.Actif);
    EXPECT_FALSE(PageES.Sortie(7).Inverse.Actif);
    EXPECT_TRUE(PageES.Entree(3).CB.Actif);
    EXPECT_FALSE(PageES.BitBtnRestore.Actif);
    EXPECT_FALSE(PageES.BitBtnAppli.Actif);
}

TEST_F(EntreesSorties, APinAlreadyUsedIsRefusedAndNothingChanges)
{
    Ini(CablageStandard);
    Demarrer();
    UpdatePageEntreeSortie();
    CBInChange(1, 1); // Y limit onto the X limit's "b15 = Error"
    EXPECT_EQ(vue.messages, std::vector<std::string> { "Cette entrée est déjà utilisée" });
    EXPECT_EQ(CBInItem[1], 2);
    EXPECT_EQ(InUtil, 0x78);
    EXPECT_EQ(PageES.Entree(1).CB.Selection, 2);

    CBOutChange(6, 1); // spindle onto the X step line
    EXPECT_EQ(vue.messages.size(), 2u);
    EXPECT_EQ(vue.messages.back(), "Cette entrée est déjà utilisée");
    EXPECT_EQ(CBOutItem[6], 7);
    EXPECT_EQ(OutUtil, 0x7F);
    EXPECT_EQ(PageES.Sortie(6).CB.Selection, 7);
}

TEST_F(EntreesSorties, MovingAPinFreesTheOldLineAndTakesTheNewOne)
{
    Ini("[ENTREES]\r\nCBInItem(0)=1\r\n");
    Demarrer();
    EXPECT_EQ(InUtil, 0x08);
    CBInChange(0, 2); // X limit from "b15 = Error" to "b13 = Select"
    EXPECT_TRUE(vue.messages.empty());
    EXPECT_EQ(InUtil, 0x10);
    EXPECT_EQ(CBInItem[0], 2);
    EXPECT_EQ(PageES.Entree(0).CB.Selection, 2);
    EXPECT_TRUE(PageES.BitBtnRestore.Actif);
    EXPECT_TRUE(PageES.BitBtnAppli.Actif);
    // The masks follow at the next computation.
    EXPECT_EQ(MasqueButee[0], 0x08);
    CalculCodesEntreeSortie();
    EXPECT_EQ(MasqueButee[0], 0x10);

    // The freed line is free for another slot; "Non utilisé" frees it too.
    CBInChange(1, 1);
    EXPECT_EQ(InUtil, 0x18);
    CBInChange(1, 0);
    EXPECT_EQ(InUtil, 0x10);
    EXPECT_EQ(CBInItem[1], 0);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(EntreesSorties, PickingTheSlotsOwnPinAgainIsNoChange)
{
    Ini(CablageStandard);
    Demarrer();
    CBOutChange(0, 1);
    CBInChange(3, 4);
    EXPECT_TRUE(vue.messages.empty());
    EXPECT_FALSE(PageES.BitBtnAppli.Actif);
    EXPECT_EQ(OutUtil, 0x7F);
}

TEST_F(EntreesSorties, TheReservedRowAndUnknownEntriesCannotBeChosen)
{
    Demarrer();
    CBOutChange(7, 1);
    CBOutChange(0, 9);
    CBInChange(0, -1);
    CBInChange(5, 1);
    CheckBoxESClick(PageES.Sortie(7).Active, true);
    EXPECT_EQ(InUtil | OutUtil, 0);
    EXPECT_EQ(CBOutItem[7] + CBOutItem[0], 0);
    EXPECT_FALSE(PageES.Sortie(7).Active.Cochee);
    EXPECT_FALSE(PageES.BitBtnAppli.Actif);
    // The tool probe's row takes a pin like the others.
    CBInChange(EntreePalpeur, 5);
    CalculCodesEntreeSortie();
    EXPECT_EQ(MasquePalpeur, 0x80);
    EXPECT_TRUE(PageES.BitBtnAppli.Actif);
}

TEST_F(EntreesSorties, ChoosingAPortSetsItsAddressesAndOtherLeavesItOff)
{
    Demarrer();
    CBPortChange(2);
    EXPECT_EQ(PortLPT, 2);
    EXPECT_EQ(AdrDLPT, 0x278);
    EXPECT_EQ(AdrELPT, 0x279);
    EXPECT_EQ(AdrCLPT, 0x27A);
    EXPECT_TRUE(PageES.BitBtnRestore.Actif && PageES.BitBtnAppli.Actif);
    CBPortChange(3);
    EXPECT_EQ(AdrDLPT, 0x3BC);

    PageES.BitBtnAppli.Actif = PageES.BitBtnRestore.Actif = false;
    CBPortChange(4);
    EXPECT_EQ(vue.messages, std::vector<std::string> { "Désolé, cette option n'est pas encore disponible." });
    EXPECT_EQ(PortLPT, 0);
    EXPECT_EQ(AdrDLPT, 0);
    EXPECT_EQ(AdrELPT, 0);
    EXPECT_EQ(AdrCLPT, 0);
    EXPECT_EQ(PageES.CBPort.Selection, 0);
    EXPECT_TRUE(PageES.BitBtnRestore.Actif && PageES.BitBtnAppli.Actif);

    CBPortChange(1);
    EXPECT_EQ(AdrDLPT, 0x378);
    EXPECT_EQ(AdrCLPT, 0x37A);
    EXPECT_EQ(PageES.CBPort.Selection, 1);
}

TEST_F(EntreesSorties, AnInversionBoxOnARowWithoutPinAddsNothing)
{
    Ini("[ENTREES]\r\nCBInItem(0)=1\r\n[SORTIES]\r\nCBOutItem(1)=2\r\n");
    Demarrer();
    CheckBoxESClick(PageES.Entree(1).Inverse, true); // Y limit: no pin
    CheckBoxESClick(PageES.Entree(0).Inverse, true);
    CheckBoxESClick(PageES.Entree(3).Active, true); // emergency stop: no pin
    CheckBoxESClick(PageES.Sortie(0).Inverse, true); // X step: no pin
    CheckBoxESClick(PageES.Sortie(1).Inverse, true);
    CheckBoxESClick(PageES.Sortie(1).Active, true);
    EXPECT_TRUE(PageES.BitBtnAppli.Actif);
    EcrireParamEntreeSortie();
    EXPECT_EQ(InInvert, 0x08);
    EXPECT_EQ(InEnable, 0x00);
    EXPECT_EQ(OutInvert, 0x02);
    EXPECT_EQ(OutEnable, 0x02);

    // Shown back, a row without a pin has its boxes clear.
    UpdatePageEntreeSortie();
    EXPECT_FALSE(PageES.Entree(1).Inverse.Cochee);
    EXPECT_FALSE(PageES.Entree(3).Active.Cochee);
    EXPECT_FALSE(PageES.Sortie(0).Inverse.Cochee);
    EXPECT_TRUE(PageES.Entree(0).Inverse.Cochee);
    EXPECT_TRUE(PageES.Sortie(1).Active.Cochee);
}

TEST_F(EntreesSorties, TheAssignmentIsWrittenInItsKeyOrder)
{
    Demarrer();
    CBPortChange(1);
    CBInChange(3, 4);
    CBOutChange(6, 7);
    CheckBoxESClick(PageES.Entree(3).Active, true);
    EcrireParamEntreeSortie();
    EXPECT_EQ(Section("PORT"),
        (std::vector<std::string> { "PortLPT=1", "AdrDLPT=888", "AdrELPT=889", "AdrCLPT=890" }));
    EXPECT_EQ(Section("ENTREES"),
        (std::vector<std::string> { "InUtil=64", "InInvert=0", "InEnable=64", "CBInItem(0)=0",
            "CBInItem(1)=0", "CBInItem(2)=0", "CBInItem(3)=4", "CBInItem(4)=0" }));
    const auto sorties = Section("SORTIES");
    ASSERT_EQ(sorties.size(), 11u);
    EXPECT_EQ(sorties[0], "OutUtil=64");
    EXPECT_EQ(sorties[1], "OutInvert=0");
    EXPECT_EQ(sorties[2], "OutEnable=0");
    EXPECT_EQ(sorties[3], "CBOutItem(0)=0");
    EXPECT_EQ(sorties[9], "CBOutItem(6)=7");
    EXPECT_EQ(sorties[10], "CBOutItem(7)=0");
}

TEST_F(EntreesSorties, AWrittenAssignmentComesBackTheSameAfterAFreshStartUp)
{
    Demarrer();
    CBPortChange(1);
    const int sorties[] = { 8, 7, 6, 5, 4, 3, 1 };
    for (int slot = 0; slot < 7; ++slot)
        CBOutChange(slot, sorties[slot]);
    const int entrees[] = { 5, 3, 1, 2 };
    for (int slot = 0; slot < 4; ++slot)
        CBInChange(slot, entrees[slot]);
    CheckBoxESClick(PageES.Entree(3).Inverse, true);
    for (int slot = 0; slot < 4; ++slot)
        CheckBoxESClick(PageES.Entree(slot).Active, true);
    for (int slot = 0; slot < 7; ++slot)
        CheckBoxESClick(PageES.Sortie(slot).Active, true);
    CheckBoxESClick(PageES.Sortie(1).Inverse, true);
    EcrireParamEntreeSortie();
    ASSERT_TRUE(vue.messages.empty());

    const uint8_t pas[3] = { MasquePas[0], MasquePas[1], MasquePas[2] };
    const uint8_t pasDir[3] = { MasquePasDir[0], MasquePasDir[1], MasquePasDir[2] };
    const uint8_t broche = MasqueBroche, horsPas = MasqueHorsPas;
    const uint8_t butees[3] = { MasqueButee[0], MasqueButee[1], MasqueButee[2] };
    EXPECT_EQ(pas[0], 0x80);
    EXPECT_EQ(pasDir[2], 0x0C);
    EXPECT_EQ(horsPas, 0x57);
    EXPECT_EQ(MasqueArret, 0x10);

    Demarrer();
    AttendreMasques(pas, pasDir, broche, horsPas);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(MasqueButee[i], butees[i]);
    EXPECT_EQ(MasqueButees, 0xA8);
    EXPECT_EQ(MasqueArret, 0x10);
    EXPECT_EQ(PortLPT, 1);
    EXPECT_EQ(AdrDLPT, 0x378);
    EXPECT_EQ(InInvert, 0x10);
    EXPECT_EQ(InEnable, 0xB8);
    EXPECT_EQ(OutInvert, 0x40);
    EXPECT_EQ(OutEnable, 0xFD);
    UpdatePageEntreeSortie();
    EXPECT_EQ(PageES.CBPort.Selection, 1);
    EXPECT_EQ(PageES.Entree(0).CB.Selection, 5);
    EXPECT_TRUE(PageES.Entree(3).Inverse.Cochee);
    EXPECT_FALSE(PageES.Entree(0).Inverse.Cochee);
    EXPECT_TRUE(PageES.Sortie(1).Inverse.Cochee);
    EXPECT_TRUE(PageES.Sortie(6).Active.Cochee);
    EXPECT_FALSE(PageES.Sortie(7).Active.Cochee);
}

TEST_F(EntreesSorties, AHandEditedPinSharedByTwoSlotsLeavesTheLaterOneOnThePageFreeAndSaysSo)
{
    Ini("[SORTIES]\r\nOutUtil=255\r\nOutEnable=255\r\nCBOutItem(0)=1\r\nCBOutItem(6)=1\r\n"
        "[ENTREES]\r\nInUtil=0\r\nCBInItem(0)=4\r\nCBInItem(3)=4\r\n");
    Demarrer();
    EXPECT_EQ(CBOutItem[0], 1);
    EXPECT_EQ(CBOutItem[6], 0);
    EXPECT_EQ(MasqueBroche, 0x00);
    EXPECT_EQ(OutUtil, 0x01);
    EXPECT_EQ(OutEnable, 0x01);
    // The emergency stop comes first on the page: it keeps its pin.
    EXPECT_EQ(CBInItem[3], 4);
    EXPECT_EQ(CBInItem[0], 0);
    EXPECT_EQ(MasqueArret, 0x40);
    EXPECT_EQ(MasqueButee[0], 0x04); // the free status bit, as every unassigned input
    EXPECT_EQ(InUtil, 0x40);

    const std::string broche
        = "« b2 = D0 » est déjà affecté à « Pas X » ; « Broche » reste sans affectation.";
    const std::string arret
        = "« b10 = ACK » est déjà affecté à « Arrêt d'urgence » ; « Butée X » reste sans affectation.";
    EXPECT_EQ(Occurrences(broche), 1);
    EXPECT_EQ(Occurrences(arret), 1);
    // Written after this run's banner, not among the previous run's lines.
    const auto lignes = Historique();
    const auto banniere = std::find_if(lignes.begin(), lignes.end(),
        [](const std::string& l) { return l.find(BanniereLancement) != std::string::npos; });
    const auto message = std::find_if(lignes.begin(), lignes.end(),
        [&](const std::string& l) { return l.find(broche) != std::string::npos; });
    EXPECT_LT(banniere, message);

    // Later activations do not repeat it while it lasts.
    FormActivate();
    FormActivate();
    EXPECT_EQ(Occurrences(broche), 1);
    EXPECT_TRUE(vue.messages.empty());
}

TEST_F(EntreesSorties, OutOfListChoicesAndStrayBitsCountAsNothing)
{
    Ini("[PORT]\r\nPortLPT=7\r\nAdrDLPT=70000\r\nAdrELPT=-1\r\nAdrCLPT=0x37A\r\n"
        "[ENTREES]\r\nInInvert=255\r\nInEnable=255\r\nCBInItem(0)=6\r\nCBInItem(1)=-2\r\nCBInItem(2)=x\r\n"
        "CBInItem(3)=5\r\n[SORTIES]\r\nOutInvert=255\r\nCBOutItem(0)=9\r\nCBOutItem(2)=8\r\n");
    Demarrer();
    EXPECT_EQ(PortLPT, 0);
    EXPECT_EQ(AdrDLPT, 888);
    EXPECT_EQ(AdrELPT, 889);
    EXPECT_EQ(AdrCLPT, 0x37A);
    EXPECT_EQ(CBInItem[0] + CBInItem[1] + CBInItem[2], 0);
    EXPECT_EQ(CBInItem[3], 5);
    EXPECT_EQ(CBOutItem[0], 0);
    EXPECT_EQ(MasquePas[1], 0x80);
    // Only lines a slot holds keep their inversion and enable bits: status
    // bit 2 is never inverted, so an input without a pin never reads active.
    EXPECT_EQ(InInvert, 0x80);
    EXPECT_EQ(InEnable, 0x80);
    EXPECT_EQ(OutInvert, 0x80);
    EXPECT_EQ(MasqueButee[0], 0x04);
    EXPECT_EQ(Occurrences("Entrées/Sorties"), 0);
}
