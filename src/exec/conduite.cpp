#include "exec/conduite.h"

#include "exec/cycle_usinage.h"
#include "exec/manuel.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "machine/cn_pilot.h"

#include <iterator>

namespace virmak {

namespace {

    // The buttons that start or save the program: enabled by a successful
    // analysis, so a lock gives them back as it found them or as the run's
    // analysis left them (a go-to with no program must not enable "Cycle").
    Controle* const BoutonsProgramme[]
        = { &Form1.BitBtnEnregistrer, &Form1.BitBtnCycle, &Form1.BitBtnPasPas };
    bool verrouille = false;
    bool avantVerrou[std::size(BoutonsProgramme)];

    // The controls a run locks: whatever starts a run or moves an axis.
    void Verrouiller(bool actif)
    {
        for (Controle* c : { &Form1.XPlus, &Form1.XMoins, &Form1.YPlus, &Form1.YMoins, &Form1.XY_Zero,
                 &Form1.ZPlus, &Form1.ZMoins, &Form1.Z_Zero, &Form1.BtOrigine, &Form1.BtPalpage, &Form1.Raz_X,
                 &Form1.Raz_Y, &Form1.Raz_Z, &Form1.GoXYZ, &Form1.BitBtnCharger, &Form1.BitBtnPiece,
                 &Form1.BitBtnParcoursOutil, &Form1.EditVitAv })
            c->Actif = actif;
        Form1.TrackBarVitAv.Actif = actif;
        for (size_t i = 0; i < std::size(BoutonsProgramme); ++i) {
            if (!actif && !verrouille)
                avantVerrou[i] = BoutonsProgramme[i]->Actif;
            if (!actif)
                BoutonsProgramme[i]->Actif = false;
            else if (verrouille)
                BoutonsProgramme[i]->Actif = avantVerrou[i] || ProgAnalyse;
        }
        verrouille = !actif;
    }

} // namespace

void CheckBoxSuiviPrgClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    Form1.CheckBoxSuiviPrg.Cochee = cochee;
    SuiviPrg = cochee;
}

void BitBtnCycleClick()
{
    VERIFIER_FIL_MACHINE();
    if (ModePasAPas) {
        ModePasAPas = false;
        CycleEnCours = true;
        return;
    }
    ModePasAPas = false;
    DefinirMesEtat(TexteCycleLance);
    MsgHistorique("DEPART cycle par bouton fenetre principale.");
    if (!StopFinBloc) {
        CycleEnCours = true;
        CycleUsinage();
    } else {
        StopFinBloc = false;
        CycleEnCours = true;
    }
}

namespace {

    // The end of the current block asked during a continuous run; the
    // pause asks it too, and more.
    bool ArretFinBloc(const char* etat, const char* historique)
    {
        VERIFIER_FIL_MACHINE();
        if (!CycleEnCours)
            return false;
        DefinirMesEtat(etat);
        MsgHistorique(historique);
        StopFinBloc = true;
        CycleEnCours = false;
        return true;
    }

} // namespace

void BitBtnBlocClick()
{
    ArretFinBloc(TexteStopFinBloc, "STOP FIN BLOC demandé par bouton fenetre principale.");
}

void BitBtnBlocMouseDown()
{
    BitBtnBlocClick();
}

void BitBtnPauseClick()
{
    // Outside a run there is nothing to lift: the flags are left alone.
    if (!CycleUsinageEnCours())
        return;
    if (ArretFinBloc(TextePauseDemandee, "PAUSE demandée par bouton fenetre principale."))
        PauseDemandee = true;
}

void BitBtnPasPasClick()
{
    VERIFIER_FIL_MACHINE();
    DefinirMesEtat(TextePasAPas);
    if (ModePasAPas) {
        PasSuivant = true;
    } else if (CycleEnCours) {
        ModePasAPas = true;
        CycleEnCours = false;
    } else {
        ModePasAPas = true;
        MsgHistorique("Mode PAS A PAS demandé par bouton fenetre principale.");
        StopFinBloc = false;
        CycleEnCours = false;
        CycleUsinage();
    }
}

void BoutonArretClick()
{
    VERIFIER_FIL_MACHINE();
    // The request that brought this press, if any, is taken with it.
    Entrees().PrendreUrgence();
    // Mended: a press while the stop is engaged changes nothing. A second
    // press released it, while the axis could still be moving; only RAZ does.
    if (Form1.BoutonArretTag == 1)
        return;
    Form1.BoutonArretTag = 1;
    Form1.BoutonArret.Actif = false;
    CycleEnCours = ModePasAPas = StopFinBloc = false;
    PasSuivant = true;
    DefinirMesEtat(TexteArretUrgenceBouton);
    MsgHistorique("ARRET URGENCE bouton fenetre principale");
    ArretUrgence = true;
    BtBrocheClick();
}

void BoutonArretMouseDown()
{
    BoutonArretClick();
}

void MesRazClick()
{
    VERIFIER_FIL_MACHINE();
    Form1.MesEtat.Texte.clear();
    VueActive().Repeindre("MesEtat");
    Form1.BoutonArret.Actif = true;
    Form1.BoutonArretTag = 0;
    Entrees().PrendreUrgence();
    ArretUrgence = false;
    // Decided: during a run the controls stay locked until it ends.
    if (!CycleUsinageEnCours())
        ModeManuel();
    ScruterEntrees();
}

void ModeAutomatique()
{
    Verrouiller(false);
    // Decided: the list and the line field take no edit during a run, so
    // the cycle never reads a line that no longer exists.
    Form1.EditLigneProg.Actif = Form1.ListBoxProg1.Actif = false;
}

void ModeManuel()
{
    Verrouiller(true);
    Form1.EditLigneProg.Actif = Form1.ListBoxProg1.Actif = true;
    for (Voyant* v :
        { &Form1.LedG41, &Form1.LedG42, &Form1.LedG43, &Form1.LedG81, &Form1.LedG82, &Form1.LedG83 })
        v->Allume = false;
}

} // namespace virmak
