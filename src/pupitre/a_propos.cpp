#include "pupitre/a_propos.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/vue.h"

namespace virmak {

FenetreAPropos AProposDe;

namespace {

    void Montrer()
    {
        Form1.Actif = false;
        AProposDe.Visible = true;
    }

    void Cacher()
    {
        AProposDe.Visible = false;
        Form1.Actif = true;
        // The window sees itself enabled before it is given the focus.
        VueActive().Repeindre("AProposDe");
        VueActive().DonnerFocus("Form1");
    }

} // namespace

void CreerAProposDe()
{
    AProposDe = FenetreAPropos {};
    AProposDe.AvertissementLu.Cochee = AvertOK;
    if (!AvertOK)
        Montrer();
}

void Aproposde1Click()
{
    VERIFIER_FIL_MACHINE();
    Montrer();
}

void AvertissementLuClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    AProposDe.AvertissementLu.Cochee = cochee;
}

void AProposDeBtnOKClick()
{
    VERIFIER_FIL_MACHINE();
    AvertOK = AProposDe.AvertissementLu.Cochee;
    Cacher();
}

void AProposDeFormClose()
{
    VERIFIER_FIL_MACHINE();
    Cacher();
}

} // namespace virmak
