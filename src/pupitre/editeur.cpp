#include "pupitre/editeur.h"

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"

#include <string>

namespace virmak {

namespace {

    // Decided: the list and the field are locked during a run, and an edit
    // posted just before the lock is dropped, so a run never sees its
    // program change or "Sauver" come back under it.
    bool Modifiable()
    {
        return Form1.ListBoxProg1.Actif && Form1.EditLigneProg.Actif;
    }

    // The selected line's index, or -1 after the warning when none is.
    int LigneChoisie(bool avertir)
    {
        const int rang = Form1.ListBoxProg1.Selection;
        if (rang >= 0 && rang < static_cast<int>(Form1.ListBoxProg1.Lignes.size()))
            return rang;
        if (avertir)
            VueActive().Message(TextePasDeBloc);
        return -1;
    }

    // Decided: a changed list may be run or saved, as a loaded one is; the
    // run and the save analyse it first and refuse it, with the analysis's
    // own message, when it cannot be analysed. So a program refused at
    // loading can be put right in the list.
    void ListeModifiee()
    {
        InvaliderProgramme();
        for (Controle* c : { &Form1.BitBtnCycle, &Form1.BitBtnPasPas, &Form1.BitBtnEnregistrer,
                 &Form1.BitBtnBloc, &Form1.BitBtnPause })
            c->Actif = true;
    }

    // The line a command of the context menu acts on: -1 when the list is
    // locked or, after the warning, when no line is selected.
    int BlocChoisi()
    {
        return Modifiable() ? LigneChoisie(true) : -1;
    }

    void EditerLigne(int rang)
    {
        Form1.EditLigneProg.Texte = Form1.ListBoxProg1.Lignes[static_cast<size_t>(rang)];
        InvaliderProgramme();
    }

} // namespace

void InvaliderProgramme()
{
    ZoomApercu = 1.0;
    ProgAnalyse = false;
    ParcoursCalcule = false;
}

void ListBoxProg1DblClick()
{
    VERIFIER_FIL_MACHINE();
    if (!Modifiable())
        return;
    const int rang = LigneChoisie(false);
    if (rang >= 0)
        EditerLigne(rang);
}

void EditLigneProgKeyPress(int touche)
{
    VERIFIER_FIL_MACHINE();
    if (touche != ToucheEntree || !Modifiable())
        return;
    Liste& liste = Form1.ListBoxProg1;
    const int rang = LigneChoisie(false);
    if (rang >= 0)
        liste.Lignes.Remplacer(static_cast<size_t>(rang), Form1.EditLigneProg.Texte);
    else
        liste.Lignes.Ajouter(Form1.EditLigneProg.Texte);
    ListeModifiee();
}

void Editerbloc1Click()
{
    VERIFIER_FIL_MACHINE();
    const int rang = BlocChoisi();
    if (rang < 0)
        return;
    EditerLigne(rang);
    VueActive().DonnerFocus("EditLigneProg");
}

void Insrerbloc1Click()
{
    VERIFIER_FIL_MACHINE();
    const int rang = BlocChoisi();
    if (rang < 0)
        return;
    Form1.ListBoxProg1.Lignes.Inserer(static_cast<size_t>(rang), std::string());
    Form1.EditLigneProg.Texte.clear();
    ListeModifiee();
    VueActive().DonnerFocus("EditLigneProg");
}

void Supprimerbloc1Click()
{
    VERIFIER_FIL_MACHINE();
    const int rang = BlocChoisi();
    if (rang < 0)
        return;
    Form1.ListBoxProg1.Lignes.Supprimer(static_cast<size_t>(rang));
    // Decided: nothing stays selected, so a repeated command warns instead
    // of removing a line the operator never chose.
    Form1.ListBoxProg1.Selection = -1;
    ListeModifiee();
}

void DemarrerBlocClick()
{
    VERIFIER_FIL_MACHINE();
    const int rang = BlocChoisi();
    if (rang < 0 || CycleUsinageEnCours())
        return;
    ModePasAPas = StopFinBloc = false;
    DefinirMesEtat(TexteCycleLance);
    CycleEnCours = true;
    CycleDepuisLigne(static_cast<size_t>(rang));
}

} // namespace virmak
