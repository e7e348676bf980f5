#include "pupitre/demarrage.h"

#include "apercu/cn_dessins.h"
#include "exec/conduite.h"
#include "exec/manuel.h"
#include "exec/origine.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "iso/cn_outils.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/temporisation.h"
#include "pupitre/a_propos.h"
#include "pupitre/dialogue_outils.h"
#include "pupitre/page_entrees_sorties.h"
#include "pupitre/parametrage.h"
#include "pupitre/test_latence.h"

namespace virmak {

void AfficherPositions()
{
    Controle* visues[3] = { &Form1.StaticTextX, &Form1.StaticTextY, &Form1.StaticTextZ };
    for (int i = 0; i < 3; ++i) {
        visues[i]->Texte = FormatFixe(PosMm[i], 8, 3);
        PublierVisue(i, PosMm[i]);
    }
}

void MemoriserBornes(int left, int top, int width, int height)
{
    VERIFIER_FIL_MACHINE();
    Form1.Left = left;
    Form1.Top = top;
    Form1.Width = width;
    Form1.Height = height;
}

void ChargerConfiguration(Usage usage)
{
    LireConfiguration();
    LireParamOrigine();
    OublierOrigines();
    MajAvanceCourante();
    if (usage == Usage::Machine)
        CalibrerTemporisation();
    OublierRetards();
    ReinitialiserEtatMachine();
    ChargerOutils();
    InitialiserApercu();
}

void OuvrirPort()
{
    // A port chosen but refused is said once, and the program runs on
    // without it.
    const std::string refus = OuvrirPortConfigure();
    if (!refus.empty())
        VueActive().Message(refus);
}

void FormCreate(Usage usage)
{
    VERIFIER_FIL_MACHINE();
    Form1.Initialiser();
    Form1.TrackBarVitAv.SurChangement = TrackBarVitAvChange;
    Form1.TrackBarTAv.SurChangement = TrackBarTAvChange;
    // The keyboard jog of the monitor tick, and Escape during a move as a
    // click of the emergency-stop button.
    BrancherManuel();

    ChargerConfiguration(usage);

    Form1.RepOuverture = RepExe;
    Form1.RepSauvegarde = RepExe;
    Form1.Top = IniParam.LireEntier("FORM1", "Top", 5);
    Form1.Left = IniParam.LireEntier("FORM1", "Left", 5);
    Form1.Width = IniParam.LireEntier("FORM1", "Width", 800);
    Form1.Height = IniParam.LireEntier("FORM1", "Height", 575);
    ConstruireIncrements();
    for (Controle* c : { &Form1.EditX, &Form1.EditY, &Form1.EditZ })
        c->Visible = false;
    for (Controle* c : { &Form1.StaticTextX, &Form1.StaticTextY, &Form1.StaticTextZ })
        c->Visible = true;
    AfficherPositions();
    Form1.Timer1.Intervalle = 250;
    Form1.Timer1.Actif = true;
    // On the virtual machine a fresh configuration steps at once, on the
    // usual wiring held in memory only.
    CablageUsuelPermis = MachineVirtuelleDemandee;
    LireParamEntreeSortie();
    // The command-line program neither takes the port nor writes to it,
    // unless it asks (a dry run on the virtual machine).
    if (!LectureSeule || MachineVirtuelleDemandee) {
        OuvrirPort();
        EffacerSorties();
    }
    Form1.MesEtat.Texte = CablageUsuelPris ? TexteCablageUsuel : "";
    Form1.LabelGaugeProg.Texte.clear();
    Form1.GaugeProg.Visible = false;
    for (Controle* c : { &Form1.BitBtnCycle, &Form1.BitBtnPasPas, &Form1.BitBtnEnregistrer, &Form1.BitBtnBloc,
             &Form1.BitBtnPause })
        c->Actif = false;
    Form1.ImageProg.Conseil = "Bouton gauche sourie = déplacement\r\nBouton droite sourie = zoom";
}

void CreerFenetresSecondaires()
{
    CreerDialogueParametres();
    CreerDialogueOutils();
    CreerHistorique();
    CreerAProposDe();
    CreerTestLatence();
    SignalerConflitsEntreeSortie();
}

void FormActivate()
{
    VERIFIER_FIL_MACHINE();
    LireParamEntreeSortie();
    if (!LectureSeule || MachineVirtuelleDemandee)
        OuvrirPort();
    Form1.RepOuverture = NomRepProg;
    AfficherPositions();
}

void FormClose()
{
    VERIFIER_FIL_MACHINE();
    SauveParametres();
    EffacerSorties();
    // The late steps a minute held back are not lost.
    SignalerRetards(true);
    // The history window is destroyed as the application ends.
    DetruireHistorique();
}

void Quitter1Click()
{
    VERIFIER_FIL_MACHINE();
    SauveParametres();
}

} // namespace virmak
