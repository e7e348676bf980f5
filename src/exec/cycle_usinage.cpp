#include "exec/cycle_usinage.h"

#include "apercu/cn_dessins.h"
#include "exec/cn_cycles.h"
#include "exec/conduite.h"
#include "exec/plan_cycle.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"
#include "iso/courses.h"
#include "iso/reprise.h"
#include "iso/trace_prog.h"
#include "iso/traite_prog.h"
#include "machine/cn_algos.h"
#include "machine/cn_pilot.h"
#include "machine/planificateur.h"
#include "machine/temporisation.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace virmak {

bool PauseDemandee = false;
void (*BlocTermine)(size_t bloc) = nullptr;

namespace {

    constexpr size_t DuDebut = static_cast<size_t>(-1);

    bool enCours = false;

    // The run's ends that leave the gauge and the flags as they are.
    FinCycle FinArret(FinCycle fin)
    {
        Form1.Timer1.Actif = true;
        Form1.LedCycle.Allume = false;
        DefinirMesEtat(fin == FinCycle::Butee ? TexteFinButee : TexteFinUrgence);
        ModeManuel();
        Form1.PanelInfo.Texte.clear();
        return fin;
    }

    bool Arret(FinCycle& fin)
    {
        if (ArretUrgence)
            fin = FinCycle::Urgence;
        else if (ButeeActivee)
            fin = FinCycle::Butee;
        else
            return false;
        return true;
    }

    // Decided: a trace that cannot be written ends the run before any
    // motion, with the file named, and the window is given back.
    bool EcrireTraces()
    {
        // The command-line dry run writes nothing.
        if (LectureSeule)
            return true;
        const struct {
            const char* nom;
            std::span<const LigneProg> table;
            size_t nb;
        } traces[] = { { NomFichierProgramme, TabProg, NbLignesProg },
            { NomFichierParcours, TabProgCorr, NbLignesCorr } };
        for (const auto& t : traces) {
            const std::string chemin = RepExe + t.nom;
            if (!EcrireFichierAtomique(chemin, TexteTrace(t.table, t.nb))) {
                VueActive().Message(
                    "Impossible d'écrire le fichier de trace " + chemin + " : le cycle n'est pas lancé.");
                return false;
            }
        }
        return true;
    }

    void Rendre()
    {
        Form1.Timer1.Actif = true;
        Form1.LedCycle.Allume = false;
        ModeManuel();
    }

    // Rapid (0), feed (1), clockwise (2) and counter-clockwise (3) arcs;
    // the slider shows the feed, the override keeps the focus.
    void Mouvement(const LigneProg& b)
    {
        const int32_t g = b.CodeG[0];
        if (g < 0 || g > 3)
            return;
        const double dX = b.X - PosMm[0], dY = b.Y - PosMm[1], dZ = b.Z - PosMm[2];
        const int32_t correction = Form1.TrackBarTAv.Position;
        Form1.TrackBarVitAv.DefinirPosition(Arrondi(g == 0 ? AvanceMax : b.Avance));
        if (g <= 1)
            PeriodePas = CalculPeriode(
                dX, dY, dZ, g == 0 ? AvanceMax * AvRap * correction / 10 : correction * b.Avance / 10);
        VueActive().DonnerFocus("TrackBarTAv");
        if (g <= 1)
            LigneXYZ(OctetSortie, PasDe(dX, 0), PasDe(dY, 1), PasDe(dZ, 2));
        else
            ArcXY(OctetSortie, g == 2 ? 0 : 1, PosMm[0], PosMm[1], b.X, b.Y, b.I, b.J, b.Avance);
    }

    // What the run watches while the operator has the hand (the M0 box,
    // the step-by-step and block-stop waits): the stops asked from the
    // window, then the inputs, as the monitor would.
    bool ArretEnAttente()
    {
        if (PrendreArrets())
            return true;
        ScruterEntrees();
        return ArretUrgence;
    }

    void FonctionM(int32_t m)
    {
        if (m == 0) {
            VueActive().MessageInterruptible(TexteArretProgramme, ArretEnAttente);
        } else if (m == 3 || m == 5) {
            BrocheEnMarche = m == 3;
            ScruterEntrees();
            OctetSortie
                = static_cast<uint8_t>(m == 3 ? OctetSortie | MasqueBroche : OctetSortie & ~MasqueBroche);
        }
    }

    void Attendre(const char* texte, bool (*fin)())
    {
        DefinirMesEtat(texte);
        while (!fin() && !ArretEnAttente())
            VueActive().AttendreMessages();
        DefinirMesEtat("");
        ModeAutomatique();
    }

    // Mended: an analysis made before the machine moved (a jog, a go-to, a
    // preset, an earlier run) starts from the old position, and the first
    // block would rapid there. The run analyses again from where the tool is.
    void OublierAnalyseSiDeplace()
    {
        AfficherX();
        AfficherY();
        AfficherZ();
        if (ProgAnalyse && !TabProg.empty()
            && (TabProg[0].X != PosMm[0] || TabProg[0].Y != PosMm[1] || TabProg[0].Z != PosMm[2]))
            ProgAnalyse = false;
    }

    // The approach of a start from a line: each move watched for a stop,
    // the spindle started, after the operator's OK, before the tool goes
    // down into the part.
    bool Approcher(const Reprise& r, FinCycle& fin)
    {
        for (size_t i = 0; i <= r.approche.size(); ++i) {
            if (i == r.descente && r.broche && !BrocheEnMarche) {
                VueActive().MessageInterruptible(TexteConfirmerBroche, ArretEnAttente);
                if (Arret(fin) || !DemarrerBroche())
                    return !Arret(fin);
            }
            if (i == r.approche.size())
                break;
            if (Arret(fin))
                return false;
            DebutMouvement();
            Mouvement(r.approche[i]);
            FinMouvement();
        }
        AfficherX();
        AfficherY();
        AfficherZ();
        return !Arret(fin);
    }

    // The pause's lift: Z up at rapid to the safe height, the spindle at
    // rest; Cycle brings it back and the tool down at the feed in force.
    bool Pause(const LigneProg& b, FinCycle& fin)
    {
        PauseDemandee = false;
        const double z = PosMm[2];
        const bool broche = BrocheEnMarche;
        LigneProg l = b;
        l.CodeG[0] = 0;
        l.Z = std::max(HauteurSure(), z);
        DebutMouvement();
        Mouvement(l);
        FinMouvement();
        ArreterBroche();
        AfficherZ();
        if (Arret(fin))
            return false;
        MsgHistorique("PAUSE : outil dégagé à Z " + FormatFixe(PosMm[2], 0, 3) + ", broche arrêtée.");
        Form1.BitBtnCycle.Actif = true;
        Attendre(TexteAttentePause, [] { return CycleEnCours || ArretUrgence; });
        StopFinBloc = false;
        if (Arret(fin) || (broche && !DemarrerBroche()))
            return !Arret(fin);
        l.CodeG[0] = b.Avance > 0 ? 1 : 0;
        l.Z = z;
        DebutMouvement();
        Mouvement(l);
        FinMouvement();
        AfficherZ();
        return !Arret(fin);
    }

    FinCycle Executer(size_t depart)
    {
        Form1.Timer1.Actif = false;
        Form1.LedCycle.Allume = true;
        ModeAutomatique();
        OublierAnalyseSiDeplace();
        DessinePiece();
        // Decided: a tool path that cannot be computed stops the run before
        // any motion; the compensation said why.
        if (!CorrectionOutils() || !ProgAnalyse) {
            Rendre();
            return FinCycle::Refus;
        }
        // The offsets may make a block move that did not: no feed move
        // without a feed, whatever the path. Mended: a move beyond the step
        // counters was skipped as if it had been made.
        const size_t sansAvance = AvanceManquante(TabProgCorr, NbLignesCorr);
        std::string refus = sansAvance ? TexteAvanceManquante(TabProgCorr[sansAvance])
                                       : MouvementHorsCompteurs(TabProgCorr, NbLignesCorr);
        // The origin may have moved since the load: the travel is judged
        // again from where it is now.
        if (refus.empty())
            refus = ControleCourses();
        Reprise reprise;
        reprise.premier = 1;
        if (refus.empty() && depart != DuDebut) {
            reprise = PreparerReprise(depart, PosMm, HauteurSure());
            refus = reprise.refus;
        }
        if (!refus.empty()) {
            VueActive().Message(refus);
            Rendre();
            return FinCycle::Refus;
        }
        DessineParcours();
        VueActive().TraiterMessages();
        if (!EcrireTraces()) {
            Rendre();
            return FinCycle::Refus;
        }
        Form1.GaugeProg.Max = NbLignesCorr;
        Form1.GaugeProg.Progression = 0;
        Form1.GaugeProg.Visible = true;
        Form1.LabelGaugeProg.Texte = "Exécution";

        FinCycle fin = FinCycle::Normale;
        if (depart != DuDebut) {
            // The program has the spindle at rest there.
            if (!reprise.broche && BrocheEnMarche)
                ArreterBroche();
            MsgHistorique("DEPART cycle à la ligne " + std::to_string(depart + 1) + " (Démarrer à ce bloc).");
            if (!reprise.texte.empty())
                VueActive().MessageInterruptible(reprise.texte, ArretEnAttente);
            if (!Approcher(reprise, fin))
                return FinArret(fin);
        }
        const auto& lignes = Form1.ListBoxProg1.Lignes;
        for (size_t i = reprise.premier; i <= NbLignesCorr && i < TabProgCorr.size(); ++i) {
            const LigneProg& b = TabProgCorr[i];
            const LigneProg& p = TabProgCorr[i - 1];
            if (Arret(fin))
                return FinArret(fin);
            Form1.EditLigneProg.Texte = b.IndexLigne < lignes.size() ? lignes[b.IndexLigne] : std::string();
            Form1.PanelInfo.Texte = std::string(" Com : ").append(b.Commentaire);
            if (SuiviPrg && b.IndexLigne < lignes.size())
                Form1.ListBoxProg1.Selection = b.IndexLigne;
            Form1.LedG43.Allume = b.CorLongueur != 0;
            Form1.LedG41.Allume = b.CorRayon < 0;
            Form1.LedG42.Allume = b.CorRayon > 0;
            FonctionM(b.CodeM[1]);
            // A stop taken in the M0 box, or the input seen by M3 or M5.
            if (Arret(fin))
                return FinArret(fin);
            const bool bouge = b.X != PosMm[0] || b.Y != PosMm[1] || b.Z != PosMm[2];
            const bool outilValide = b.NumOutil >= 0 && b.NumOutil < NbOutils;
            if (b.NumOutil != p.NumOutil && b.NumOutil != 0 && outilValide)
                DefinirMesEtat(TabOutils[b.NumOutil].Designation);
            const TOutil outil = outilValide ? TabOutils[b.NumOutil] : TOutil {};
            DessineOutil(CoulOutil, b.X, b.Y, outil.Jauge[0] / 2 + outil.CorDyn[0]);
            VueActive().TraiterMessages();
            if (bouge) {
                PlanifierCycle(i);
                DebutMouvement();
                Mouvement(b);
                FinMouvement();
            }
            if (Arret(fin))
                return FinArret(fin);
            const int32_t cycle = b.CodeG[1];
            Form1.LedG81.Allume = cycle == 81;
            Form1.LedG82.Allume = cycle == 82;
            Form1.LedG83.Allume = cycle == 83;
            if (cycle == 81 || cycle == 82 || cycle == 83) {
                VueActive().Repeindre("LedG8" + std::to_string(cycle - 80));
                DebutMouvement();
                CyclePercage(cycle, OctetSortie, b.ZCycle, b.R, cycle == 81 ? 0 : b.P, cycle == 83 ? b.Q : 0,
                    b.Avance);
                FinMouvement();
                // Mended: a stop or a limit during the cycle ends the run here,
                // not at the next block, which the last one does not have.
                if (Arret(fin))
                    return FinArret(fin);
            }
            Form1.LedG81.Allume = Form1.LedG82.Allume = Form1.LedG83.Allume = false;
            AfficherX();
            AfficherY();
            AfficherZ();
            Form1.GaugeProg.Progression = static_cast<int>(i);
            VueActive().Repeindre("GaugeProg");
            if (BlocTermine)
                BlocTermine(i);
            // With ramps the machine may be unable to stop here any more: it
            // stops at the end of a later block.
            if (MachineLancee())
                continue;
            if (ModePasAPas) {
                PasSuivant = false;
                CycleEnCours = false;
                Form1.BitBtnCycle.Actif = Form1.BitBtnPasPas.Actif = true;
                Attendre(TexteAttentePasAPas, [] { return CycleEnCours || PasSuivant || ArretUrgence; });
            }
            if (StopFinBloc && PauseDemandee) {
                OublierPlan();
                if (!Pause(b, fin))
                    return FinArret(fin);
            } else if (StopFinBloc) {
                Form1.BitBtnCycle.Actif = true;
                Attendre(TexteAttenteBloc, [] { return CycleEnCours || ArretUrgence; });
            }
        }
        // Mended: a stop in the wait after the last block is no success.
        if (Arret(fin))
            return FinArret(fin);

        Form1.GaugeProg.Visible = false;
        Form1.LabelGaugeProg.Texte.clear();
        Form1.Timer1.Actif = true;
        Form1.LedCycle.Allume = false;
        ModePasAPas = false;
        DefinirMesEtat(TexteCycleTermine);
        MsgHistorique("CYCLE TERMINE avec succès.");
        Form1.PanelInfo.Texte.clear();
        ModeManuel();
        return FinCycle::Normale;
    }

} // namespace

namespace {

    FinCycle Lancer(size_t depart)
    {
        VERIFIER_FIL_MACHINE();
        // The handlers of the waits never start a run inside a run.
        if (enCours)
            return FinCycle::Refus;
        enCours = true;
        PauseDemandee = false;
        OuvrirBilanCycle();
        OublierPlan();
        const FinCycle fin = Executer(depart);
        OublierPlan();
        FermerBilanCycle();
        enCours = false;
        return fin;
    }

} // namespace

FinCycle CycleUsinage()
{
    return Lancer(DuDebut);
}

FinCycle CycleDepuisLigne(size_t ligne)
{
    return Lancer(ligne);
}

bool CycleUsinageEnCours()
{
    return enCours;
}

} // namespace virmak
