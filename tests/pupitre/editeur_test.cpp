#include "pupitre/editeur.h"

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "pupitre/programme.h"
#include "support/machine.h"
#include "support/programme.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

using Textes = std::vector<std::string>;

class Editeur : public AvecProgramme {
protected:
    // Five lines, `rang` selected, analysed and drawn as a loaded program is.
    void Cinq(int rang)
    {
        Lignes({ "L1", "L2", "L3", "L4", "L5" });
        Form1.ListBoxProg1.Selection = rang;
        Form1.EditLigneProg.Texte = "garde";
        ProgAnalyse = ParcoursCalcule = true;
        ZoomApercu = 3;
        vue.focus.clear();
        vue.messages.clear();
    }
};

void Entree(const char* texte)
{
    Form1.EditLigneProg.Texte = texte;
    EditLigneProgKeyPress(ToucheEntree);
}

} // namespace

TEST_F(Editeur, EachEditChangesTheListAsAskedAndLeavesTheProgramToAnalyseAgain)
{
    const struct {
        int rang;
        void (*commande)();
        Textes lignes;
        int selection;
        std::string champ;
        Textes focus;
    } cas[] = {
        { 1, Insrerbloc1Click, { "L1", "", "L2", "L3", "L4", "L5" }, 1, "", { "EditLigneProg" } },
        { 2, [] { ListBoxProg1DblClick(), Entree("G0 Z5"); }, { "L1", "L2", "G0 Z5", "L4", "L5" }, 2, "G0 Z5",
            {} },
        { -1, [] { Entree("M30"); }, { "L1", "L2", "L3", "L4", "L5", "M30" }, -1, "M30", {} },
        { 4, Supprimerbloc1Click, { "L1", "L2", "L3", "L4" }, -1, "garde", {} },
        { 0, Editerbloc1Click, { "L1", "L2", "L3", "L4", "L5" }, 0, "L1", { "EditLigneProg" } },
    };
    for (const auto& c : cas) {
        Cinq(c.rang);
        c.commande();
        EXPECT_EQ(Form1.ListBoxProg1.Lignes, c.lignes) << c.champ;
        EXPECT_EQ(Form1.ListBoxProg1.Selection, c.selection) << c.champ;
        EXPECT_EQ(Form1.EditLigneProg.Texte, c.champ);
        EXPECT_EQ(vue.focus, c.focus) << c.champ;
        EXPECT_FALSE(ProgAnalyse || ParcoursCalcule) << c.champ;
        EXPECT_EQ(ZoomApercu, 1.0);
        EXPECT_TRUE(vue.messages.empty());
    }
}

TEST_F(Editeur, MenuCommandsWithoutASelectedLineWarnAndChangeNothing)
{
    for (int rang : { -1, 5 })
        for (void (*commande)() : { Editerbloc1Click, Insrerbloc1Click, Supprimerbloc1Click }) {
            Cinq(rang);
            commande();
            EXPECT_EQ(vue.messages, (Textes { TextePasDeBloc })) << rang;
            EXPECT_EQ(Form1.ListBoxProg1.Lignes.size(), 5u);
            EXPECT_EQ(Form1.EditLigneProg.Texte, "garde");
            EXPECT_TRUE(ProgAnalyse && ParcoursCalcule && vue.focus.empty());
        }
}

TEST_F(Editeur, WhileARunHoldsTheListEveryEditIsDropped)
{
    Cinq(1);
    ModeAutomatique();
    for (void (*commande)() :
        { Editerbloc1Click, Insrerbloc1Click, Supprimerbloc1Click, ListBoxProg1DblClick })
        commande();
    Entree("X9");
    EXPECT_EQ(Form1.ListBoxProg1.Lignes, (Textes { "L1", "L2", "L3", "L4", "L5" }));
    EXPECT_TRUE(ProgAnalyse);
    EXPECT_FALSE(Form1.BitBtnEnregistrer.Actif);
}

using EditeurMachine = AvecMachineCablee;

TEST_F(EditeurMachine, AnEditedListCanRunAndRunsAsEditedNotAsLastAnalysed)
{
    Form1.ListBoxProg1.Lignes = { "G1 X1 F300" };
    RedessinerApercu();
    ASSERT_TRUE(ProgAnalyse);
    ASSERT_FALSE(Form1.BitBtnCycle.Actif);
    Form1.ListBoxProg1.Selection = 0;
    Entree("G1 X2 F300");
    for (const Controle* c :
        { &Form1.BitBtnCycle, &Form1.BitBtnPasPas, &Form1.BitBtnEnregistrer, &Form1.BitBtnBloc })
        EXPECT_TRUE(c->Actif);
    EXPECT_EQ(CycleUsinage(), FinCycle::Normale);
    EXPECT_DOUBLE_EQ(PosMm[0], 2.0);
}
