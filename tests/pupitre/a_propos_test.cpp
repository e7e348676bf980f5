#include "pupitre/a_propos.h"

#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "pupitre/demarrage.h"
#include "support/programme.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using APropos = AvecProgramme;

TEST_F(APropos, TheWarningsBoxComesBackUntilOkIsPressedWithTheBoxTicked)
{
    const struct {
        void (*fermeture)();
        bool coche, revient;
    } cas[] = {
        { AProposDeFormClose, true, true },
        { AProposDeBtnOKClick, false, true },
        { AProposDeBtnOKClick, true, false },
    };
    for (const auto& c : cas) {
        AvertOK = false;
        SauveParametres();
        FormCreate();
        CreerFenetresSecondaires();
        ASSERT_TRUE(AProposDe.Visible);
        ASSERT_FALSE(Form1.Actif);
        EXPECT_FALSE(AProposDe.AvertissementLu.Cochee);
        AvertissementLuClick(c.coche);
        vue.focus.clear();
        c.fermeture();
        EXPECT_FALSE(AProposDe.Visible);
        EXPECT_TRUE(Form1.Actif);
        EXPECT_EQ(vue.focus, (std::vector<std::string> { "Form1" }));
        FormClose();
        FormCreate();
        CreerFenetresSecondaires();
        EXPECT_EQ(AProposDe.Visible, c.revient) << c.coche;
        EXPECT_EQ(Form1.Actif, !c.revient);
        EXPECT_EQ(AProposDe.AvertissementLu.Cochee, !c.revient);
    }
}
