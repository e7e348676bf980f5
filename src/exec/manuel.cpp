#include "exec/manuel.h"

#include "exec/conduite.h"
#include "exec/cycle_usinage.h"
#include "exec/origine.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "machine/cn_algos.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/planificateur.h"
#include "machine/temporisation.h"

#include <cmath>
#include <optional>
#include <string>

namespace virmak {

namespace {

    // A manual motion in progress: a second one reached at one of its
    // message points (a right click on another jog button while the left
    // one is held, a go-to clicked meanwhile) is refused, never nested.
    bool mouvementManuel = false;

    // Mended: with no feed the period of the last move stood, or none at
    // all; no manual move starts without a speed.
    bool AvanceDonnee()
    {
        if (AvanceCourante > 0)
            return true;
        DefinirMesEtat(TexteAvanceNulle);
        return false;
    }

    const char* const Lettres[3] = { "X", "Y", "Z" };
    Controle Pupitre::*const ChampsGo[3] = { &Pupitre::EditGoX, &Pupitre::EditGoY, &Pupitre::EditGoZ };

    const Controle& BoutonJog(int32_t axe, int32_t sens)
    {
        static Controle Pupitre::*const boutons[3][2] = { { &Pupitre::XMoins, &Pupitre::XPlus },
            { &Pupitre::YMoins, &Pupitre::YPlus }, { &Pupitre::ZMoins, &Pupitre::ZPlus } };
        return Form1.*boutons[axe][sens > 0 ? 1 : 0];
    }

    // A coordinate the operator typed: a finite decimal number whose steps
    // the counters can hold. Anything else moves and presets nothing.
    std::optional<double> LireCoordonnee(const std::string& texte, int32_t axe)
    {
        const std::optional<double> v = LireReelTexte(texte);
        if (!v || !(std::fabs(*v / ValPas[axe]) <= 1e9))
            return std::nullopt;
        return v;
    }

    std::string CoordonneeIncorrecte(const std::string& texte, int32_t axe)
    {
        return "'" + texte + "' n'est pas une coordonnée " + Lettres[axe] + " correcte.";
    }

    uint8_t MotifJog(int32_t axe, int32_t sens)
    {
        // Mended: the spindle bit goes with every step pattern, so a running
        // spindle keeps running through a jog.
        return static_cast<uint8_t>(OctetSortie | (sens > 0 ? MasquePasDir[axe] : MasquePas[axe]));
    }

    void RetourZero(const Controle& bouton, bool xy)
    {
        VERIFIER_FIL_MACHINE();
        if (!MachineLibre() || !bouton.Actif || !AvanceDonnee())
            return;
        Occupation occupation;
        ModeAutomatique();
        PeriodePas = xy ? CalculPeriode(-PosMm[0], -PosMm[1], 0, AvanceCourante)
                        : CalculPeriode(0, 0, -PosMm[2], AvanceCourante);
        Positionner([xy] {
            if (xy)
                LigneXY(OctetSortie, -PosPas[0], -PosPas[1]);
            else
                LigneZ(OctetSortie, -PosPas[2]);
        });
    }

} // namespace

Occupation::Occupation()
{
    mouvementManuel = true;
}

Occupation::~Occupation()
{
    mouvementManuel = false;
}

bool MachineLibre()
{
    return !mouvementManuel && !CycleUsinageEnCours();
}

void Deplacer(const std::function<void()>& mouvement)
{
    Form1.Timer1.Actif = false;
    ButeeActivee = false;
    DebutMouvement();
    mouvement();
    FinMouvement();
    Form1.Timer1.Actif = true;
}

void Positionner(const std::function<void()>& mouvement)
{
    Form1.LedCycle.Allume = true;
    DefinirMesEtat("");
    Deplacer(mouvement);
    if (ArretUrgence)
        DefinirMesEtat(TexteArretDeclenche);
    Form1.LedCycle.Allume = false;
    AfficherX();
    AfficherY();
    AfficherZ();
    ModeManuel();
}

void Jog(int32_t axe, int32_t sens, const std::function<bool()>& tenu)
{
    VERIFIER_FIL_MACHINE();
    if (axe < 0 || axe > 2 || !MachineLibre() || !BoutonJog(axe, sens).Actif || !AvanceDonnee())
        return;
    Occupation occupation;
    double d[3] = { 0, 0, 0 };
    d[axe] = 10;
    PeriodePas = CalculPeriode(d[0], d[1], d[2], AvanceCourante);
    const int k = Form1.CmbIncrement.Selection;
    if (k > 0 && k < static_cast<int>(Form1.CmbIncrement.Lignes.size()) && k <= MaxIncrements) {
        AxeAffiche = axe;
        const int32_t n = PasDe(sens * ValIncrement[k], axe);
        Deplacer([axe, n] {
            if (axe == 2)
                LigneZ(OctetSortie, n);
            else
                LigneXY(OctetSortie, axe == 0 ? n : 0, axe == 1 ? n : 0);
        });
        return;
    }
    const uint8_t motif = MotifJog(axe, sens);
    Deplacer([&] {
        DebutLigneOuverte(axe, sens);
        // With ramps, released, the axis brakes down to AvMax before it
        // stops. A stop or a limit ends the jog at once, key held or not.
        bool relache = false;
        do {
            if (axe == 2) {
                PasZ(motif, sens);
            } else {
                AxeAffiche = axe;
                PasXY(motif, axe == 0 ? sens : 0, axe == 1 ? sens : 0);
            }
            relache = relache || !tenu();
        } while ((!relache || Freiner()) && !ArretUrgence && !ButeeActivee);
        FinLigne();
        if (axe == 2)
            SoutienZ(sens);
    });
}

void JogBouton(int32_t axe, int32_t sens)
{
    Jog(axe, sens, [] { return PlateformeActive().BoutonEnfonce(BoutonSouris::Gauche); });
}

void JogClavierTick()
{
    static const struct {
        Touche touche;
        int32_t axe, sens;
    } touches[] = { { Touche::Droite, 0, 1 }, { Touche::Gauche, 0, -1 }, { Touche::Haut, 1, 1 },
        { Touche::Bas, 1, -1 }, { Touche::PagePrecedente, 2, 1 }, { Touche::PageSuivante, 2, -1 } };
    Plateforme& p = PlateformeActive();
    for (const auto& t : touches) {
        if (!p.ToucheFrappee(t.touche))
            continue;
        VueActive().DonnerFocus("GroupBox3");
        Jog(t.axe, t.sens, [&p, touche = t.touche] { return p.ToucheEnfoncee(touche); });
    }
    // Each tap is one notch, however short and however many in a tick; a
    // key held, one notch a tick.
    const auto crans = [&p](Touche t) { return std::max(p.Frappes(t), p.ToucheEnfoncee(t) ? 1 : 0); };
    CranCorrection(crans(Touche::F2) - crans(Touche::F1));
}

void CmbIncrementClick(int entree)
{
    VERIFIER_FIL_MACHINE();
    const int nb = static_cast<int>(Form1.CmbIncrement.Lignes.size());
    if (entree >= 0 && entree < nb)
        Form1.CmbIncrement.Selection = entree;
    VueActive().DonnerFocus("GroupBox3");
}

void FormKeyDownEchap()
{
    VERIFIER_FIL_MACHINE();
    if (Form1.BoutonArret.Actif)
        BoutonArretClick();
}

void XY_ZeroClick()
{
    RetourZero(Form1.XY_Zero, true);
}

void Z_ZeroClick()
{
    RetourZero(Form1.Z_Zero, false);
}

void GoXYZClick()
{
    VERIFIER_FIL_MACHINE();
    if (!MachineLibre() || !Form1.GoXYZ.Actif || !AvanceDonnee())
        return;
    double cible[3];
    for (int32_t i = 0; i < 3; ++i) {
        const std::string& texte = (Form1.*ChampsGo[i]).Texte;
        const std::optional<double> v = LireCoordonnee(texte, i);
        if (!v) {
            DefinirMesEtat("Aller à : " + CoordonneeIncorrecte(texte, i) + " Aucun déplacement.");
            return;
        }
        cible[i] = *v;
    }
    Occupation occupation;
    ModeAutomatique();
    Form1.GoXYZ.Sablier = true;
    double d[3];
    for (int32_t i = 0; i < 3; ++i) {
        (Form1.*ChampsGo[i]).Texte = FormatFixe(cible[i], 8, 3);
        d[i] = cible[i] - PosMm[i];
    }
    VueActive().Repeindre("GroupBox6");
    // AvanceCourante holds the override already: it counts twice here.
    PeriodePas = CalculPeriode(d[0], d[1], d[2], Form1.TrackBarTAv.Position * AvanceCourante / 10);
    VueActive().DonnerFocus("TrackBarTAv");
    Positionner([&d] { LigneXYZ(OctetSortie, PasDe(d[0], 0), PasDe(d[1], 1), PasDe(d[2], 2)); });
    Form1.GoXYZ.Sablier = false;
}

void StaticTextClick(int32_t axe)
{
    VERIFIER_FIL_MACHINE();
    if (axe < 0 || axe > 2 || !MachineLibre() || !(Form1.*ControlesAxes[axe].raz).Actif)
        return;
    Controle& champ = Form1.*ControlesAxes[axe].preset;
    (Form1.*ControlesAxes[axe].visue).Visible = false;
    champ.Visible = true;
    champ.Texte = FormatFixe(PosMm[axe], 8, 3);
    VueActive().Repeindre(ControlesAxes[axe].nomPreset);
    VueActive().DonnerFocus(ControlesAxes[axe].nomPreset);
}

void Preset(int32_t axe)
{
    VERIFIER_FIL_MACHINE();
    // Enter then the focus leaving the field come both: the first presets.
    if (axe < 0 || axe > 2 || !(Form1.*ControlesAxes[axe].preset).Visible)
        return;
    Controle& champ = Form1.*ControlesAxes[axe].preset;
    const std::optional<double> v = LireCoordonnee(champ.Texte, axe);
    if (!v)
        DefinirMesEtat(std::string("Origine ") + Lettres[axe]
            + " inchangée : " + CoordonneeIncorrecte(champ.Texte, axe));
    else if (MachineLibre()) {
        const int32_t avant = PosPas[axe];
        PosMm[axe] = *v;
        PosPas[axe] = Arrondi(*v / ValPas[axe]);
        NoterDecalage(axe, static_cast<int64_t>(PosPas[axe]) - avant);
    }
    Controle& visue = Form1.*ControlesAxes[axe].visue;
    visue.Texte = FormatFixe(PosMm[axe], 8, 3);
    PublierVisue(axe, PosMm[axe]);
    visue.Visible = true;
    champ.Visible = false;
}

void EditKeyPress(int32_t axe, int touche)
{
    if (touche != 13)
        return;
    Preset(axe);
    // Decided: back to the jog group, where the arrows jog, rather than to
    // the next control, a "RAZ" that Space would press.
    VueActive().DonnerFocus("GroupBox3");
}

void Reset(int32_t axe)
{
    VERIFIER_FIL_MACHINE();
    if (axe < 0 || axe > 2 || !MachineLibre() || !(Form1.*ControlesAxes[axe].raz).Actif)
        return;
    NoterDecalage(axe, -static_cast<int64_t>(PosPas[axe]));
    PosMm[axe] = 0;
    PosPas[axe] = 0;
    AfficherAxe(axe);
}

void BtBrocheClick()
{
    VERIFIER_FIL_MACHINE();
    BrocheEnMarche = !BrocheEnMarche;
    if (ArretUrgence) {
        BrocheEnMarche = false;
        OctetSortie = static_cast<uint8_t>(OctetSortie & ~MasqueBroche);
    } else {
        OctetSortie = static_cast<uint8_t>(OctetSortie ^ MasqueBroche);
    }
    ScruterEntrees();
    if (!SimulationEnForce() && PortEnService())
        EcrireSortiesA(OctetPort(OctetSortie));
    SignalerDefautPort();
}

void MajAvanceCourante()
{
    // While the operator is still typing, the feed in force is the slider's.
    const double champ = LireEntierTexte(Form1.EditVitAv.Texte).value_or(Form1.TrackBarVitAv.Position);
    AvanceCourante = champ * Form1.TrackBarTAv.Position / 10.0;
    Form1.RapTextAv.Texte = FormatFixe(AvanceCourante, 4, 0);
}

void TrackBarVitAvChange()
{
    VERIFIER_FIL_MACHINE();
    Form1.EditVitAv.Texte = FormatEntier(Form1.TrackBarVitAv.Position, 4);
    VueActive().Repeindre("EditVitAv");
    MajAvanceCourante();
}

void TrackBarTAvChange()
{
    VERIFIER_FIL_MACHINE();
    const int position = Form1.TrackBarTAv.Position;
    Form1.LabelTAv.Texte = FormatEntier(static_cast<int64_t>(position) * 10, 3) + "%";
    MajAvanceCourante();
    // F1 and F2 move it during a move too: the operator sees it at once.
    VueActive().Repeindre("LabelTAv");
    // The running move takes the new override at its very next step.
    if (position > 0) {
        PeriodePas = Arrondi64(static_cast<double>(PeriodePas) * CorrAvance / position);
        CorrAvance = position;
    }
}

void EditVitAvExit()
{
    VERIFIER_FIL_MACHINE();
    const std::string texte = Form1.EditVitAv.Texte;
    Curseur& avance = Form1.TrackBarVitAv;
    const std::optional<int32_t> v = LireEntierTexte(texte);
    if (!v) {
        // Mended: the field shows the feed still in force again, so no
        // later override change reads the refused text as a feed of 0.
        Form1.EditVitAv.Texte = FormatEntier(avance.Position, 4);
        VueActive().Message("'" + texte + "' n'est pas une valeur entière correcte");
        return;
    }
    const int avant = avance.Position;
    avance.DefinirPosition(*v);
    // Mended: a value clamped back to the same position leaves the
    // slider's handler silent; the field must still show what is in force.
    if (avance.Position == avant)
        TrackBarVitAvChange();
    VueActive().Repeindre("TrackBarVitAv");
    MajAvanceCourante();
}

void EditVitAvKeyPress(int touche)
{
    if (touche == 13)
        EditVitAvExit();
}

void BrancherManuel()
{
    JogClavier = JogClavierTick;
    ClicBoutonArret = FormKeyDownEchap;
}

} // namespace virmak
